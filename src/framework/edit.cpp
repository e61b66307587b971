#include "framework/edit.h"

Edit::Edit(WindowObject* parent, const char* title, int x, int y, int width, int height, int id,
           int textLimit, bool multiline)
    : Static(parent, title, x, y, width, height, id, textLimit) {
    Style = multiline ? WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | WS_GROUP | WS_TABSTOP |
                            ES_MULTILINE | ES_WANTRETURN
                      : WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_AUTOHSCROLL;
    ExStyle = WS_EX_CLIENTEDGE;
}

Edit::Edit(WindowObject* parent, TemplateItem item, int textLimit)
    : Static(parent, item, textLimit) {}

const char* Edit::ClassName() {
    return "Edit";
}

void Edit::Setup() {
    Static::Setup();
    // For a TextLimit of 1 this sends 0, which the system reads as its own
    // maximum: such a field has no typing limit and transfers only the zero.
    if (TextLimit != 0) SendMessageW(Handle, EM_LIMITTEXT, static_cast<WPARAM>(TextLimit - 1), 0);
}

void Edit::OnCommandId(MessageRecord& msg, int id) {
    using Response = void (Edit::*)(MessageRecord&);
    static const Response Responses[] = {&Edit::OnCut,       &Edit::OnCopy,
                                         &Edit::OnPaste,     &Edit::OnDeleteSelection,
                                         &Edit::OnClearText, &Edit::OnUndo};
    const int index = id - CommandEditCut;
    if (index >= 0 && index < static_cast<int>(sizeof Responses / sizeof Responses[0]))
        (this->*Responses[index])(msg);
    else
        Static::OnCommandId(msg, id);
}

void Edit::OnCut(MessageRecord&) {
    Cut();
}

void Edit::OnCopy(MessageRecord&) {
    Copy();
}

void Edit::OnPaste(MessageRecord&) {
    Paste();
}

void Edit::OnDeleteSelection(MessageRecord&) {
    DeleteSelection();
}

void Edit::OnClearText(MessageRecord&) {
    ClearText();
}

void Edit::OnUndo(MessageRecord&) {
    Undo();
}

void Edit::Cut() {
    Send(WM_CUT);
}

void Edit::Copy() {
    Send(WM_COPY);
}

void Edit::Paste() {
    Send(WM_PASTE);
}

void Edit::DeleteSelection() {
    Send(WM_CLEAR);
}

void Edit::Undo() {
    Send(WM_UNDO);
}

void Edit::Send(UINT message) {
    SendMessageW(Handle, message, 0, 0);
}
