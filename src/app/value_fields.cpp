#include "app/value_fields.h"

#include "core/number_text.h"
#include "devlink/transmitter_names.h"

#include <commctrl.h>

namespace {

// Registers the common control classes while the module initialises, before
// the main window or any dialog template can use one.
const bool CommonControlsReady = (InitCommonControls(), true);

constexpr COLORREF ProgressBackground = RGB(192, 192, 192);

// Both kinds of value field show a float the same way.
void SetFloatText(Static& field, int decimals, float value) {
    NumberText text;
    FormatFloat(text, value, decimals);
    field.SetText(text);
}

} // namespace

ValueDisplay::ValueDisplay(WindowObject* parent, const char* title, int x, int y, int width,
                           int height, int decimals)
    : Static(parent, title, x, y, width, height, 0, 0), Decimals(decimals) {
    Style = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_RIGHT;
    ExStyle = WS_EX_CLIENTEDGE;
}

ValueDisplay::ValueDisplay(WindowObject* parent, TemplateItem item, int decimals)
    : Static(parent, item, 0), Decimals(decimals) {}

void ValueDisplay::ShowFloat(float value) {
    SetFloatText(*this, Decimals, value);
}

void ValueDisplay::ShowReading(bool read, float value) {
    if (read)
        ShowFloat(value);
    else
        ClearText();
}

void ValueDisplay::ShowInteger(int32_t value) {
    NumberText text;
    FormatInteger(text, value);
    SetText(text);
}

void ValueDisplay::ShowVersion(WORD version) {
    NumberText text;
    FormatVersion(text, version);
    SetText(text);
}

void ValueDisplay::ShowDate(DWORD bcdDate) {
    NumberText text;
    FormatDate(text, bcdDate);
    SetText(text);
}

void ValueDisplay::ShowDate(const CalibrationDate& date) {
    ShowDate(static_cast<DWORD>(date.Year) << 16 | static_cast<DWORD>(date.Month) << 8 | date.Day);
}

void ValueDisplay::ShowProbeType(BYTE probeType) {
    SetText(ProbeTypeName(probeType));
}

void ValueDisplay::ShowOutputWiring(BYTE outputWiring) {
    SetText(OutputWiringName(outputWiring));
}

ValueEdit::ValueEdit(WindowObject* parent, const char* title, int x, int y, int width, int height,
                     int id, int decimals)
    : Edit(parent, title, x, y, width, height, id, 0, false), Decimals(decimals) {
    // Right-aligned, without the automatic scrolling of a plain edit field.
    Style = WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | ES_RIGHT;
}

ValueEdit::ValueEdit(WindowObject* parent, TemplateItem item, int decimals)
    : Edit(parent, item, 0), Decimals(decimals) {}

void ValueEdit::ShowFloat(float value) {
    SetFloatText(*this, Decimals, value);
}

// Reads one character more than maxLength, so that a longer text is seen as
// such instead of being read by its first characters.
bool ValueEdit::ReadNumber(int maxLength, float& value) {
    char text[FullNumberLength + 2];
    GetText(text, maxLength + 2);
    return ParseNumber(text, maxLength, value);
}

float ValueEdit::ReadFloat() {
    float value;
    return ReadNumber(FullNumberLength, value) ? value : 0.0f;
}

bool ValueEdit::TryReadFloat(float& value) {
    return ReadNumber(ShortNumberLength, value);
}

bool ValueEdit::ReadFiniteFloat(float& value) {
    float number;
    if (!ReadNumber(FullNumberLength, number) || !IsFiniteNumber(number)) return false;
    value = number;
    return true;
}

void ValueEdit::SelectForCorrection() {
    SetFocus(Handle);
    SendMessageW(Handle, EM_SETSEL, 0, -1);
}

ProgressBar::ProgressBar(WindowObject* parent, TemplateItem item) : Control(parent, item.Id) {}

const char* ProgressBar::ClassName() {
    return PROGRESS_CLASSA;
}

void ProgressBar::Setup() {
    Control::Setup();
    SendMessageW(Handle, PBM_SETBKCOLOR, 0, ProgressBackground);
    SetRange(0, 100);
    SetStep(1);
}

void ProgressBar::SetRange(WORD low, WORD high) {
    SendMessageW(Handle, PBM_SETRANGE, 0, MAKELPARAM(low, high));
}

void ProgressBar::SetStep(int step) {
    SendMessageW(Handle, PBM_SETSTEP, static_cast<WPARAM>(step), 0);
}

void ProgressBar::SetPosition(int position) {
    SendMessageW(Handle, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

void ProgressBar::StepIt() {
    SendMessageW(Handle, PBM_STEPIT, 0, 0);
}
