#include "app/main_window.h"

#include "app/calibration_dialog.h"
#include "app/port_combo_box.h"
#include "app/probe_type_dialog.h"
#include "app/recorded_calibration_dialog.h"
#include "app/texts.h"
#include "app/value_fields.h"
#include "calibration/calibration_history.h"
#include "core/damping.h"
#include "core/language.h"
#include "core/local_time.h"
#include "core/number_text.h"
#include "core/text_encoding.h"
#include "devlink/transmitter_names.h"
#include "documents/history_report.h"
#include "files/text_files.h"
#include "framework/application.h"
#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/shell_calls.h"
#include "framework/wide_text.h"
#include "vl4_version.h"

namespace {

constexpr int IconResource = 1;
constexpr float PercentPerFraction = 100.0f;

// Group origins in the client area.
constexpr int InputX = 10;
constexpr int InputY = 165;
constexpr int InternalX = 270;
constexpr int InternalY = 165;

// The "Zápis" buttons, from WriteOffsetId on, with the edit each one writes.
struct ParameterWrite {
    ValueEdit* MainWindow::*Edit;
    MainWindow::FloatSetter Set;
};
const ParameterWrite ParameterWrites[] = {
    {&MainWindow::OffsetEdit, &TransmitterLink::SetOffset},
    {&MainWindow::SensitivityEdit, &TransmitterLink::SetSensitivity},
    {&MainWindow::DepthEdit, &TransmitterLink::SetDepth},
    {&MainWindow::LowerRangeEdit, &TransmitterLink::SetLowerRange},
    {&MainWindow::UpperRangeEdit, &TransmitterLink::SetUpperRange},
};
constexpr int ParameterWriteCount = sizeof ParameterWrites / sizeof ParameterWrites[0];

} // namespace

MainWindow::MainWindow(WindowObject* parent, const char* title) : Window(parent, title) {
    Style = FixedFrameStyle;
    Width = OuterWidth;
    Height = OuterHeight;
    BuildTopRows();
    BuildInputGroup();
    BuildInternalValuesGroup();
    Link = new TransmitterLink;
    SetFlags(KeyboardNav);
}

MainWindow::~MainWindow() {
    Link->Free();
}

void MainWindow::Free() {
    StopPolling();
    Window::Free();
}

// --- layout: children are created in this order, which is also the TAB order

void MainWindow::BuildTopRows() {
    new Static(this, Text::PortLabel, 340, 14, 35, 20, 0, 0);
    PortBox = new PortComboBox(this, 385, 10, 85, 160, PortBoxId);
    DeviceDisplay = AddFactRow(Text::DeviceLabel, 10);
    FirmwareDisplay = AddFactRow(Text::FirmwareLabel, 35);
    ProductionNumberDisplay = AddFactRow(Text::ProductionNumberLabel, 60);
    OutputDisplay = AddFactRow(Text::OutputLabel, 85);
    TypeDisplay = AddFactRow(Text::ProbeLabel, 110);
    new Button(this, Text::MoreButton, 270, 110, 32, 20, ProbeButtonId);
    DateDisplay = AddFactRow(Text::CalibrationLabel, 135);
    new Button(this, Text::MoreButton, 270, 135, 32, 20, CalibrationButtonId);
}

// The decimals of these displays are never used: they show texts, integers,
// versions and dates only.
ValueDisplay* MainWindow::AddFactRow(const char* label, int y) {
    new Static(this, label, 10, y, 100, 20, 0, 0);
    return new ValueDisplay(this, nullptr, 120, y, 140, 20, 2);
}

void MainWindow::BuildInputGroup() {
    new GroupBox(this, Text::InputGroup, InputX, InputY, 250, 210, 0);
    new Static(this, Text::DampingLabel, InputX + 10, InputY + 29, 70, 20, 0, 0);
    DampingList = new ComboBox(this, InputX + 90, InputY + 25, 80, 200, DampingListId, 0, false);
    OffsetEdit = AddParameterRow(Text::OffsetLabel, 0, 3, WriteOffsetId);
    SensitivityEdit = AddParameterRow(Text::SensitivityLabel, 1, 3, WriteSensitivityId);
    DepthEdit = AddParameterRow(Text::DepthLabel, 2, 3, WriteDepthId);
    LowerRangeEdit = AddParameterRow(Text::LowerRangeLabel, 3, 2, WriteLowerRangeId);
    UpperRangeEdit = AddParameterRow(Text::UpperRangeLabel, 4, 2, WriteUpperRangeId);
}

// The label sits 4 pixels lower than the taller edit and button, so that the
// texts line up.
ValueEdit* MainWindow::AddParameterRow(const char* label, int row, int decimals, int writeId) {
    const int y = InputY + 55 + 30 * row;
    new Static(this, label, InputX + 10, y + 4, 70, 20, 0, 0);
    auto* edit = new ValueEdit(this, nullptr, InputX + 90, y, 80, 24, 0, decimals);
    new Button(this, Text::WriteButton, InputX + 180, y, 60, 24, writeId);
    return edit;
}

void MainWindow::BuildInternalValuesGroup() {
    new GroupBox(this, Text::InternalValuesGroup, InternalX, InternalY, 200, 210, 0);
    ProbeVoltageDisplay = AddInternalValueRow(Text::ProbeVoltageLabel, InternalY + 25, 3);
    MeasuredValueDisplay = AddInternalValueRow(Text::MeasuredValueLabel, InternalY + 50, 2);
    RatioDisplay = AddInternalValueRow(Text::RatioLabel, InternalY + 75, 2);
    ReadCheckBox = new CheckBox(this, Text::ReadCheckBox, InternalX + 10, InternalY + 180, 90, 20,
                                ReadCheckBoxId);
}

ValueDisplay* MainWindow::AddInternalValueRow(const char* label, int y, int decimals) {
    new Static(this, label, InternalX + 10, y, 90, 20, 0, 0);
    return new ValueDisplay(this, nullptr, InternalX + 110, y, 80, 20, decimals);
}

void MainWindow::FillClass(WNDCLASSW& windowClass) {
    Window::FillClass(windowClass);
    windowClass.hIcon = LoadIconA(ModuleInstance(), MAKEINTRESOURCEA(IconResource));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
}

// Inserted rather than added: the list sorts what it is given as text, and
// item i must stand for damping i.
void MainWindow::Setup() {
    Window::Setup();
    for (int damping = 0; damping <= MaxDamping; ++damping) {
        NumberText text;
        FormatInteger(text, damping);
        DampingList->InsertItem(text, -1);
    }
    BuildSystemMenu();
}

void MainWindow::BuildSystemMenu() {
    HMENU menu = GetSystemMenu(Handle, FALSE);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, RecordedCalibrationCommand,
                WideText(Text::MenuRecordedCalibration));
    AppendMenuW(menu, MF_STRING, VerificationCommand, WideText(Text::MenuVerification));
    AppendMenuW(menu, MF_STRING, HistoryCommand, WideText(Text::MenuHistory));
    UpdateSystemMenu();
}

void MainWindow::UpdateSystemMenu() {
    HMENU menu = GetSystemMenu(Handle, FALSE);
    const UINT state = ConnectedPort.empty() ? MF_GRAYED : MF_ENABLED;
    EnableMenuItem(menu, RecordedCalibrationCommand, MF_BYCOMMAND | state);
    EnableMenuItem(menu, VerificationCommand, MF_BYCOMMAND | state);
}

// --- messages

void MainWindow::Dispatch(MessageRecord& msg) {
    switch (msg.Msg) {
    case WM_TIMER:
        // The calibration dialog samples the probe itself; a tick must not
        // put its own requests between them.
        if (!CalibrationRunning) ReadInternalValues();
        break;
    case WM_CTLCOLORSTATIC:
        OnCtlColorStatic(msg);
        break;
    default:
        Window::Dispatch(msg);
    }
}

// Labels and displays on the window's own grey.
void MainWindow::OnCtlColorStatic(MessageRecord& msg) {
    SetBkColor(reinterpret_cast<HDC>(msg.WParam), Background);
    msg.Result = reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH));
}

// The system keeps the low four bits of its own commands; ours are whole.
void MainWindow::OnSysCommand(MessageRecord& msg) {
    switch (msg.WParam) {
    case RecordedCalibrationCommand:
    case VerificationCommand:
        if (!ConnectedPort.empty()) OpenRecordedCalibration(msg.WParam == VerificationCommand);
        return;
    case HistoryCommand:
        ShowHistory();
        return;
    default:
        Window::OnSysCommand(msg);
    }
}

void MainWindow::OnChildNotify(MessageRecord& msg, int childId) {
    const bool selectionChanged = HIWORD(msg.WParam) == CBN_SELCHANGE;
    switch (childId) {
    case PortBoxId:
        if (selectionChanged) Connect();
        return;
    case DampingListId:
        if (selectionChanged) WriteDamping();
        return;
    case ProbeButtonId:
        OpenProbeDialog();
        return;
    case CalibrationButtonId:
        OpenCalibrationDialog();
        return;
    case ReadCheckBoxId:
        TogglePolling();
        return;
    }
    const int write = childId - WriteOffsetId;
    if (write >= 0 && write < ParameterWriteCount)
        WriteParameter(*(this->*ParameterWrites[write].Edit), ParameterWrites[write].Set);
    else
        Window::OnChildNotify(msg, childId);
}

// --- the transmitter

// Whatever damping an earlier transmitter reported is not this one's.
void MainWindow::Connect() {
    ReportedDamping = -1;
    char port[PortNameList::MaxNameLength + 1] = {};
    PortBox->SelectedText(port, PortNameList::MaxNameLength);
    if (Link->Open(port)) {
        if (const char* ident = Link->Identify()) {
            if (IsAcceptedIdentification(ident)) {
                DeviceDisplay->SetText(ident);
                ConnectedPort = port;
                ConnectedIdentification = IdentificationText(ident);
                UpdateSystemMenu();
                ReadAll();
                return;
            }
            ShowError(Text::IncompatibleDevice, ident);
        }
        Link->Close();
    }
    ClearIdentity();
}

// Whatever else a previous transmitter left on screen stays.
void MainWindow::ClearIdentity() {
    ConnectedPort.clear();
    ConnectedIdentification.clear();
    UpdateSystemMenu();
    DeviceDisplay->ClearText();
    FirmwareDisplay->ClearText();
    ProductionNumberDisplay->ClearText();
}

template <class Field> void MainWindow::ShowRead(FloatGetter get, Field& field) {
    float value;
    if ((Link->*get)(value)) field.ShowFloat(value);
}

// One transaction a value; a value that does not arrive leaves its field as
// it was, and the next one is still read.
void MainWindow::ReadAll() {
    WORD version;
    if (Link->GetFirmwareVersion(version)) FirmwareDisplay->ShowVersion(version);
    LONG number;
    if (Link->GetProductionNumber(number)) ProductionNumberDisplay->ShowInteger(number);
    BYTE wiring;
    if (Link->GetOutputWiring(wiring)) OutputDisplay->ShowOutputWiring(wiring);
    BYTE probeType;
    if (Link->GetProbeType(probeType)) TypeDisplay->ShowProbeType(probeType);
    CalibrationDate date;
    if (Link->GetCalibrationDate(date)) DateDisplay->ShowDate(date);
    BYTE damping;
    if (ReadDamping(damping)) ShowDamping(damping);
    ShowRead(&TransmitterLink::GetOffset, *OffsetEdit);
    ShowRead(&TransmitterLink::GetSensitivity, *SensitivityEdit);
    ShowRead(&TransmitterLink::GetDepth, *DepthEdit);
    ShowRead(&TransmitterLink::GetLowerRange, *LowerRangeEdit);
    ShowRead(&TransmitterLink::GetUpperRange, *UpperRangeEdit);
    ReadInternalValues();
}

// The transmitter reports the ratio as a fraction; the window shows percent.
// A fraction whose hundredfold leaves the float range shows as an infinity.
void MainWindow::ReadInternalValues() {
    ShowLive(&TransmitterLink::GetProbeVoltage, *ProbeVoltageDisplay);
    ShowLive(&TransmitterLink::GetMeasuredValue, *MeasuredValueDisplay);
    ShowLive(&TransmitterLink::GetRatio, *RatioDisplay, PercentPerFraction);
}

// Unlike a setting, a live value that does not come is cleared.
void MainWindow::ShowLive(FloatGetter get, ValueDisplay& field, float factor) {
    float value = 0.0f;
    const bool read = (Link->*get)(value);
    field.ShowReading(read, value * factor);
}

// The list shows what the transmitter holds: its reply (which may differ
// from the pick when it limits the value) or, without one, the damping it
// last reported, so that a pick it did not take does not look taken.
void MainWindow::WriteDamping() {
    BYTE damping = static_cast<BYTE>(DampingList->SelectedIndex());
    if (::WriteDamping(*Link, damping))
        ReportedDamping = damping;
    else
        MessageBeep(MB_ICONEXCLAMATION);
    ShowDamping(ReportedDamping);
}

bool MainWindow::ReadDamping(BYTE& damping) {
    if (!Link->GetDamping(damping)) return false;
    ReportedDamping = damping;
    return true;
}

// A write of the pause that got a reply leaves it in Returned; one without
// leaves the value sent there.
void MainWindow::NotePauseWrite(const DampingPause& pause) {
    if (pause.Replied) ReportedDamping = pause.Returned;
}

void MainWindow::ShowDamping(int damping) {
    DampingList->SelectIndex(damping >= 0 && damping <= MaxDamping ? damping : -1);
}

// A text that is not a finite number is not sent: the user gets the field
// back to correct it, instead of a 0 or an infinity written into the
// transmitter. A write the transmitter does not answer gets the field back
// too, so that it does not look like one it took.
void MainWindow::WriteParameter(ValueEdit& edit, FloatSetter set) {
    float value;
    if (edit.ReadFiniteFloat(value) && (Link->*set)(value))
        edit.ShowFloat(value);
    else
        HandBack(edit);
}

void MainWindow::HandBack(ValueEdit& edit) {
    edit.SelectForCorrection();
    MessageBeep(MB_ICONEXCLAMATION);
}

// The dialog shows what it writes in the target fields itself; nothing is
// read back here.
void MainWindow::OpenProbeDialog() {
    ProbeTypeTargets targets{*TypeDisplay,     *DateDisplay,    *OffsetEdit,
                             *SensitivityEdit, *LowerRangeEdit, *UpperRangeEdit};
    CurrentApp->RunDialog(new ProbeTypeDialog(this, *Link, targets));
}

// The transmitter's damping would smooth the probe voltage the dialog
// samples, so it is off while the dialog runs and restored afterwards. A
// damping that cannot be read is left alone. A close request while the dialog
// runs is carried out once this has returned (see WindowObject), after the
// damping is restored; a fatal error restores it before its box shows.
void MainWindow::OpenCalibrationDialog() {
    CalibrationRunning = true;
    DampingPause pause(*Link);
    const DampingPause::Begun begun = pause.Begin();
    if (begun != DampingPause::Begun::NotRead) ReportedDamping = pause.Saved;
    if (begun != DampingPause::Begun::NotRead) NotePauseWrite(pause);
    CalibrationPause = &pause;
    CalibrationTargets targets{*DateDisplay, *OffsetEdit, *SensitivityEdit};
    RunningCalibration = new CalibrationDialog(this, *Link, targets);
    CurrentApp->RunDialog(RunningCalibration);
    RunningCalibration = nullptr;
    CalibrationPause = nullptr;
    if (pause.Pending()) RestoreDamping(pause);
    CalibrationRunning = false;
}

// As for the calibration dialog: no polling meanwhile, and a damping the
// calibration took off is known here until it is back, for a fatal error.
// The calibration puts it back itself however it ends.
void MainWindow::OpenRecordedCalibration(bool verify) {
    CalibrationRunning = true;
    RecordedCalibrationContext context{*Link,
                                       ConnectedPort,
                                       ConnectedIdentification,
                                       {*DateDisplay, *OffsetEdit, *SensitivityEdit},
                                       RecordPath,
                                       CalibrationPause,
                                       verify};
    CurrentApp->RunDialog(new RecordedCalibrationDialog(this, context));
    CalibrationPause = nullptr;
    CalibrationRunning = false;
    BYTE damping;
    if (ReadDamping(damping)) ShowDamping(damping);
}

// The report is written where passing pages go, and opened in the browser.
void MainWindow::ShowHistory() {
    std::string record;
    if (!AskOpenPath(Handle, Text::HistoryOpenCaption, Text::RecordFilter, record)) return;
    SetLanguage(Language::Czech);
    RecordBook book;
    RecordShape shape;
    std::string problem;
    HistoryReportSource source = {record, LocalTime::Now().ToMinute(),
                                  "vl4config " VL4_VERSION_TEXT, DueRule()};
    ParseIsoDay(LocalTime::Now().IsoDate(), source.Rule.Today);
    if (!ReadRecordFile(record, book, shape, problem)) {
        ShowUtf8Error(record + ": " + problem);
        return;
    }
    const std::string page = TemporaryFolder() + "vl4-historie.html";
    if (!ReplaceFileContent(page, HistoryReport(ReadHistory(book, source.Rule), source), problem))
        ShowUtf8Error(page + ": " + problem);
    else if (!OpenDocument(Handle, page))
        ShowUtf8Error(Utf8FromWindows1250(Text::DocumentNotOpened) + page);
}

void MainWindow::ShowUtf8Error(const std::string& text) {
    MessageBoxW(Handle, WideFromUtf8(text).c_str(), WideText(Text::AppName), MB_OK | MB_ICONERROR);
}

// A transmitter left without its damping would measure unsmoothed from now
// on; the user must know that the restore failed. The list shows what the
// transmitter holds as far as is known.
void MainWindow::RestoreDamping(DampingPause& pause) {
    const bool restored = pause.End();
    NotePauseWrite(pause);
    ShowDamping(ReportedDamping);
    if (!restored) ShowError(CommunicationErrorText.Text, Text::AppName);
}

// The program ends behind the fatal error's box: nothing may talk to the
// transmitter meanwhile, and a damping zeroed for a calibration goes back
// first.
void MainWindow::OnFatalError() {
    StopPolling();
    if (RunningCalibration) RunningCalibration->StopSampling();
    if (CalibrationPause) CalibrationPause->End();
}

void MainWindow::ShowError(const char* text, const char* caption) {
    ShowMessageBox(text, caption, MB_OK | MB_ICONERROR);
}

// --- polling

void MainWindow::TogglePolling() {
    if (ReadCheckBox->CheckState() == BST_UNCHECKED) {
        StopPolling();
    } else if (!PollTimer) {
        PollTimer = SetTimer(Handle, PollTimerId, PollPeriodMs, nullptr);
        ReadInternalValues();
    }
}

// A timer dies with its window; a window already gone has none to stop.
void MainWindow::StopPolling() {
    if (!PollTimer) return;
    if (Handle) KillTimer(Handle, PollTimerId);
    PollTimer = 0;
}
