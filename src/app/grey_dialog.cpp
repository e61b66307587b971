#include "app/grey_dialog.h"

namespace {

constexpr COLORREF LightGrey = RGB(192, 192, 192);

LRESULT LightGreyBrush() {
    return reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH));
}

} // namespace

// A dialog procedure answers the WM_CTLCOLOR messages with the brush itself.
void GreyDialog::Dispatch(MessageRecord& msg) {
    switch (msg.Msg) {
    case WM_CTLCOLORDLG:
        msg.Result = LightGreyBrush();
        break;
    case WM_CTLCOLORSTATIC:
        SetBkColor(reinterpret_cast<HDC>(msg.WParam), LightGrey);
        msg.Result = LightGreyBrush();
        break;
    default:
        Dialog::Dispatch(msg);
    }
}

void GreyDialog::OnCommandId(MessageRecord& msg, int id) {
    if (id == IDCANCEL)
        Cancel();
    else
        Dialog::OnCommandId(msg, id);
}

void GreyDialog::ShowError(const char* text, const char* caption) {
    ShowMessageBox(text, caption, MB_OK | MB_ICONERROR);
}
