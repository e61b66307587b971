#include "app/recorded_calibration_dialog.h"

#include "app/texts.h"
#include "app/value_fields.h"
#include "core/buffer_table.h"
#include "core/exit_status.h"
#include "core/language.h"
#include "core/machine_text.h"
#include "core/text_encoding.h"
#include "devlink/transmitter_names.h"
#include "documents/calibration_certificate.h"
#include "files/text_files.h"
#include "framework/shell_calls.h"
#include "framework/wide_text.h"

namespace {

// The tool's own texts (Windows-1250) and the calibration's (UTF-8), put
// together for the one Unicode window they end up in.
std::wstring W(const char* text) {
    return std::wstring(static_cast<const wchar_t*>(WideText(text)));
}
std::wstring U(const std::string& utf8) {
    return WideFromUtf8(utf8);
}

// The fields a form field is typed in, and the label for its fault.
const struct {
    FormField Field;
    int Id;
    const char* Name;
} FieldItems[] = {
    {FormField::Standard1, RecordedCalibrationDialog::Standard1Id, Text::StandardField},
    {FormField::Standard2, RecordedCalibrationDialog::Standard2Id, Text::StandardField},
    {FormField::OnePoint, RecordedCalibrationDialog::OnePointId, nullptr},
    {FormField::KeepSlope, RecordedCalibrationDialog::KeepSlopeId, nullptr},
    {FormField::Table, RecordedCalibrationDialog::TableButtonId, Text::TableOpenCaption},
    {FormField::Temperature, RecordedCalibrationDialog::TemperatureId, Text::TemperatureField},
    {FormField::Pressure, RecordedCalibrationDialog::PressureId, Text::PressureField},
    {FormField::Altitude, RecordedCalibrationDialog::AltitudeId, Text::AltitudeField},
    {FormField::Salinity, RecordedCalibrationDialog::SalinityId, Text::SalinityField},
    {FormField::WaterPh, RecordedCalibrationDialog::WaterPhId, Text::WaterPhField},
    {FormField::Check, RecordedCalibrationDialog::CheckId, Text::CheckField},
    {FormField::Tolerance, RecordedCalibrationDialog::ToleranceId, Text::ToleranceField},
    {FormField::DueDays, RecordedCalibrationDialog::DueDaysId, Text::DueDaysField},
    {FormField::Grab, RecordedCalibrationDialog::GrabId, Text::GrabField},
};

// The fields that stay usable whatever the choice, while nothing runs.
const int AlwaysUsed[] = {RecordedCalibrationDialog::ChoiceId,
                          RecordedCalibrationDialog::TechnicianId,
                          RecordedCalibrationDialog::TagId};

// "0,12 / 0,60": a figure against its limit.
std::string Against(double value, double limit, int decimals) {
    return Decimal(value, decimals) + " / " + Decimal(limit, decimals) + " ";
}

// The file name alone, for the record's name of a bottle's table.
std::string FileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

// --- waits

// A wait outside the fiber (there is none in this dialog) would block the
// window; inside it, the thread goes back to the dialog until the timer or
// a stop resumes it.
bool DialogWaits::Wait(DWORD ms) const {
    if (Stop) return false;
    if (ms == 0 || !Work.Inside()) return true;
    SetTimer(Dialog, TimerId, ms < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : ms, nullptr);
    Work.Suspend();
    KillTimer(Dialog, TimerId);
    return !Stop;
}

void DialogWaits::Request() {
    Stop = true;
    if (Dialog) KillTimer(Dialog, TimerId);
}

// --- the dialog

RecordedCalibrationDialog::RecordedCalibrationDialog(WindowObject* parent,
                                                     RecordedCalibrationContext& context)
    : GreyDialog(parent, TemplateId),
      Context(context), Unit{context.Link, context.Port, context.Identification},
      Waits(Handle, Work), Progress(new ProgressBar(this, TemplateItem{ProgressId})) {
    // The window speaks Czech; so do the calibration's lines and its certificate.
    SetLanguage(Language::Czech);
}

void RecordedCalibrationDialog::Setup() {
    GreyDialog::Setup();
    if (Context.Verify) SetWindowTextW(Handle, WideText(Text::VerificationCaption));
    Progress->SetRange(0, static_cast<WORD>(SettlingWindow::Size));
    ShowUnit();
    FillChoices();
    SetStatus(UnitRead ? Text::ReadyToStart : Text::NoUnit);
    ShowButtons();
}

void RecordedCalibrationDialog::Dispatch(MessageRecord& msg) {
    switch (msg.Msg) {
    case WM_TIMER:
        if (msg.WParam != DialogWaits::TimerId) break;
        KillTimer(Handle, DialogWaits::TimerId);
        Continue();
        break;
    case WM_DRAWITEM:
        OnDrawItem(msg);
        break;
    default:
        GreyDialog::Dispatch(msg);
    }
}

void RecordedCalibrationDialog::OnChildNotify(MessageRecord& msg, int childId) {
    const WORD code = HIWORD(msg.WParam);
    switch (childId) {
    case ChoiceId:
        if (code == CBN_SELCHANGE) UpdateFields();
        return;
    case OnePointId:
    case KeepSlopeId:
        UpdateFields();
        return;
    case CheckId:
        if (code == EN_CHANGE) UpdateFields();
        return;
    case TableButtonId:
        ChooseTable();
        return;
    case NextId:
        Next();
        return;
    case WriteId:
        if (Waiting == Awaiting::Write) Answer(Reply::Yes);
        return;
    case InterruptId:
        Interrupt();
        return;
    case CertificateId:
        SaveCertificate();
        return;
    default:
        GreyDialog::OnChildNotify(msg, childId);
    }
}

// The modal loop is the dialog's: it ends only once the calibration has,
// so that its damping is back and nothing half-done is left.
void RecordedCalibrationDialog::Cancel() {
    if (Work.Inside()) {
        CloseWhenDone = true;
        Waits.Request();
        return;
    }
    if (Work.Running()) {
        CloseWhenDone = true;
        Interrupt();
        return;
    }
    GreyDialog::Cancel();
}

// --- the form

// What the transmitter is and holds, read before anything is asked.
void RecordedCalibrationDialog::ShowUnit() {
    CalibrationRecord unit;
    UnitRead = ReadUnit(Unit, *this, unit) == ExitDone;
    if (!UnitRead) return;
    Form.ProbeType = unit.ProbeType;
    Form.Verify = Context.Verify;
    SetWindowTextW(Item(UnitId), (U(Context.Identification) + W(Text::UnitNumber) +
                                  U(IntegerText(unit.ProductionNumber)) + W(Text::UnitFirmware) +
                                  U(unit.Firmware))
                                     .c_str());
    SetWindowTextW(Item(ProbeId), WideText(ProbeTypeName(unit.ProbeType)));
    HeldPair held;
    if (ReadHeld(Unit, *this, held) == ExitDone) ShowHeld(held);
}

void RecordedCalibrationDialog::FillChoices() {
    int count = 0;
    const StandardChoice* choices = ChoicesOf(Form.ProbeType, count);
    for (int i = 0; i < count; ++i)
        SendDlgItemMessageW(Handle, ChoiceId, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(static_cast<const wchar_t*>(
                                WideText(Text::ChoiceNames[static_cast<int>(choices[i])]))));
    SendDlgItemMessageW(Handle, ChoiceId, CB_SETCURSEL, 0, 0);
    UpdateFields();
}

// A field the choice does not use is greyed, not emptied: a choice changed
// back finds what was typed.
void RecordedCalibrationDialog::UpdateFields() {
    const bool editable = UnitRead && !Work.Running();
    Form = ReadForm();
    for (const auto& item : FieldItems)
        EnableWindow(Item(item.Id), editable && FieldUsed(Form, item.Field));
    for (int id : AlwaysUsed) EnableWindow(Item(id), editable);
    EnableWindow(Item(GrabId), Waiting == Awaiting::GrabValue);
    // Verification has no check of its own: its standards are the check.
    if (Context.Verify) EnableWindow(Item(CheckId), FALSE);
}

CalibrationForm RecordedCalibrationDialog::ReadForm() {
    CalibrationForm form = Form;
    int count = 0;
    const StandardChoice* choices = ChoicesOf(form.ProbeType, count);
    const LRESULT index = SendDlgItemMessageW(Handle, ChoiceId, CB_GETCURSEL, 0, 0);
    form.Choice = choices[index >= 0 && index < count ? index : 0];
    form.OnePoint = IsDlgButtonChecked(Handle, OnePointId) == BST_CHECKED;
    form.KeepSlope = IsDlgButtonChecked(Handle, KeepSlopeId) == BST_CHECKED;
    const struct {
        std::string CalibrationForm::*Text;
        int Id;
    } texts[] = {
        {&CalibrationForm::Standard1, Standard1Id},     {&CalibrationForm::Standard2, Standard2Id},
        {&CalibrationForm::Temperature, TemperatureId}, {&CalibrationForm::Pressure, PressureId},
        {&CalibrationForm::Altitude, AltitudeId},       {&CalibrationForm::Salinity, SalinityId},
        {&CalibrationForm::WaterPh, WaterPhId},         {&CalibrationForm::Check, CheckId},
        {&CalibrationForm::Tolerance, ToleranceId},     {&CalibrationForm::DueDays, DueDaysId},
        {&CalibrationForm::Technician, TechnicianId},   {&CalibrationForm::Tag, TagId},
    };
    for (const auto& text : texts) form.*text.Text = Utf8TextOf(Item(text.Id));
    if (Context.Verify) form.Check.clear();
    return form;
}

// A bottle's table of pH buffers or Redox solutions, read now, so that a
// table that cannot be used is said before anything starts.
void RecordedCalibrationDialog::ChooseTable() {
    std::string path, content, problem;
    if (!AskOpenPath(Handle, Text::TableOpenCaption, Text::TableFilter, path)) return;
    int line = 0;
    const FileRead read = ReadWholeFile(path, MaxBufferTableSize, content, problem);
    if (read == FileRead::TooLarge) problem = Utf8FromWindows1250(Text::TableTooLarge);
    if (read != FileRead::Done || !ParseSolutionTable(content, Form.Table, line, problem)) {
        Form.HasTable = false;
        SetWindowTextW(Item(TableNameId), L"");
        const std::string where = line > 0 ? ":" + IntegerText(line) : std::string();
        SetStatus(W(Text::TableUnreadable) + U(FileNameOf(path) + where + ": " + problem));
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    Form.HasTable = true;
    Form.TableName = FileNameOf(path);
    SetUtf8TextOf(Item(TableNameId), Form.TableName);
}

// The field is focused with its text selected, and the status says which
// it is; nothing has gone to the transmitter.
void RecordedCalibrationDialog::RefuseField(FormField field, PlanProblem) {
    for (const auto& item : FieldItems) {
        if (item.Field != field) continue;
        SetStatus(W(Text::BadValue) + W(item.Name ? item.Name : ""));
        SendMessageW(Handle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(item.Id)), TRUE);
        SendDlgItemMessageW(Handle, item.Id, EM_SETSEL, 0, -1);
    }
    MessageBeep(MB_ICONEXCLAMATION);
}

// --- the run

// Enter: the step the dialog waits for, or the start.
void RecordedCalibrationDialog::Next() {
    if (Waiting == Awaiting::ProbeReady) {
        Answer(Reply::Yes);
    } else if (Waiting == Awaiting::GrabValue) {
        double value;
        if (!ReadFormNumber(Utf8TextOf(Item(GrabId)), value) || value < GrabValueRange.Low ||
            value > GrabValueRange.High)
            RefuseField(FormField::Grab, PlanProblem::GrabValue);
        else
            Answer((GrabTaken = value, Reply::Yes));
    } else if (Waiting == Awaiting::Nothing && !Work.Running()) {
        Start();
    }
}

// The plan from the form, the record file (asked for once a run), then the
// calibration on its fiber.
void RecordedCalibrationDialog::Start() {
    if (!UnitRead) return;
    Form = ReadForm();
    if (FormFault fault = PlanOfForm(Form, Plan)) {
        RefuseField(fault.Field, fault.Problem);
        return;
    }
    std::string& record = Context.RecordPath;
    if (record.empty() && !AskAppendPath(Handle, Text::RecordSaveCaption, Text::RecordFilter, "csv",
                                         "kalibrace.csv", record))
        return;
    Plan.RecordPath = record;
    if (PrepareCalibrationRecord(Plan, *this) != ExitDone) {
        // Another file may take it.
        record.clear();
        SetStatus(W(Text::ErrorPrefix));
        return;
    }
    Waits.Clear();
    WriteConfirmed = false;
    Result = CalibrationRecord();
    AddLine(L"");
    if (!Work.Start(RunBody, this)) {
        SetStatus(W(Text::ErrorPrefix));
        return;
    }
    AfterResume();
}

void RecordedCalibrationDialog::RunBody(void* self) {
    static_cast<RecordedCalibrationDialog*>(self)->Run();
}

void RecordedCalibrationDialog::Run() {
    Status = RunCalibration(Unit, Plan, *this, Result);
}

void RecordedCalibrationDialog::Continue() {
    Work.Resume();
    AfterResume();
}

void RecordedCalibrationDialog::AfterResume() {
    if (Work.Running()) return;
    Finish();
}

void RecordedCalibrationDialog::Finish() {
    Waiting = Awaiting::Nothing;
    ShowLeft(Result.Left);
    const bool interrupted = Status == ExitInterrupted || Waits.Requested();
    SetStatus(interrupted ? Text::Interrupted : Text::Finished);
    SetWindowTextW(Item(SettledId), L"");
    ShowButtons();
    if (CloseWhenDone) GreyDialog::Cancel();
}

// Přerušit: the calibration ends where it is and writes nothing; a wait or a
// question under way ends at once.
void RecordedCalibrationDialog::Interrupt() {
    if (!Work.Running()) return;
    Waits.Request();
    Answered = Reply::Interrupted;
    Waiting = Awaiting::Nothing;
    Continue();
}

void RecordedCalibrationDialog::Answer(Reply reply) {
    Answered = reply;
    Waiting = Awaiting::Nothing;
    Continue();
}

Reply RecordedCalibrationDialog::AwaitAnswer(Awaiting what) {
    if (Waits.Requested()) return Reply::Interrupted;
    Waiting = what;
    ShowButtons();
    Work.Suspend();
    Waiting = Awaiting::Nothing;
    ShowButtons();
    return Answered;
}

// The buttons say what can be done now, and Enter does the step awaited.
void RecordedCalibrationDialog::ShowButtons() {
    const bool running = Work.Running();
    const bool next =
        running ? Waiting == Awaiting::ProbeReady || Waiting == Awaiting::GrabValue : UnitRead;
    EnableWindow(Item(NextId), next);
    EnableWindow(Item(WriteId), Waiting == Awaiting::Write);
    EnableWindow(Item(InterruptId), running);
    EnableWindow(Item(CertificateId), HasRecorded && !running);
    UpdateFields();
    const int step = Waiting == Awaiting::Write       ? WriteId
                     : Waiting == Awaiting::GrabValue ? GrabId
                     : next                           ? NextId
                     : running                        ? InterruptId
                                                      : IDCANCEL;
    SendMessageW(Handle, DM_SETDEFID, step == GrabId ? NextId : step, 0);
    SendMessageW(Handle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(step)), TRUE);
}

// The certificate is made from the record's line, in Czech, and opened in
// the browser for printing.
void RecordedCalibrationDialog::SaveCertificate() {
    if (!HasRecorded) return;
    std::string path;
    const std::string name = "protokol-" + IntegerText(Recorded.ProductionNumber) + ".html";
    if (!AskSavePath(Handle, Text::CertificateSaveCaption, Text::CertificateFilter, "html",
                     name.c_str(), path))
        return;
    std::string problem;
    if (!ReplaceFileContent(path, CalibrationCertificate(Recorded), problem)) {
        SetStatus(W(Text::ErrorPrefix) + U(path + ": " + problem));
        return;
    }
    if (!OpenDocument(Handle, path)) SetStatus(W(Text::DocumentNotOpened) + U(path));
}

// --- what the calibration says

void RecordedCalibrationDialog::Step(CalibrationStep step, const CalibrationRecord& record,
                                     const std::string& line) {
    AddLine(U(line));
    ShowLeft(record.Left);
    switch (step) {
    case CalibrationStep::Found:
        ShowHeld(record.Found);
        break;
    case CalibrationStep::PointFound:
        if (Sampled && Sampled->HasFoundValue)
            SetUtf8TextOf(Item(FoundId), Decimal(Sampled->FoundValue, 3));
        break;
    case CalibrationStep::Recorded:
        Recorded = record;
        HasRecorded = true;
        break;
    default:
        break;
    }
}

void RecordedCalibrationDialog::Note(const std::string& what) {
    AddLine(W(Text::NotePrefix) + U(what));
}

void RecordedCalibrationDialog::Warn(const std::string& where, const std::string& what) {
    AddLine(W(Text::WarningPrefix) + U(where + ": " + what));
}

void RecordedCalibrationDialog::Fail(int, const std::string& where, const std::string& what) {
    const std::wstring line = W(Text::ErrorPrefix) + U(where + ": " + what);
    AddLine(line);
    SetStatus(line);
}

void RecordedCalibrationDialog::LineForTheRecord(const std::string& line) {
    AddLine(U(line));
}

Reply RecordedCalibrationDialog::ProbeReady(const std::string& point, const std::string& standard) {
    Picture.Begin();
    InvalidateRect(Item(PictureId), nullptr, FALSE);
    for (int id : {DriftId, SpreadId, SecondsId, FoundId, SettledId}) SetWindowTextW(Item(id), L"");
    Progress->SetPosition(0);
    SetStatus(U(point + ": ") + W(Text::PutProbeInto) + U(standard) + W(Text::PressNext));
    return AwaitAnswer(Awaiting::ProbeReady);
}

// Each reading redraws the point: the picture, its figures against their
// limits, the seconds, and the window's fill.
void RecordedCalibrationDialog::Reading(const PointProgress& progress) {
    Sampled = &progress.Point;
    const bool taken = progress.Now == PointProgress::Taken;
    Picture.Show(progress.Point.Trace, progress.WindowCount, taken);
    InvalidateRect(Item(PictureId), nullptr, FALSE);
    const bool judged = progress.WindowCount >= 2;
    SetUtf8TextOf(Item(DriftId),
                  judged ? Against(progress.DriftMvPerMinute, Plan.Limits.MaxDriftMvPerMinute, 2)
                         : std::string());
    SetUtf8TextOf(Item(SpreadId),
                  judged ? Against(progress.SpreadMv, Plan.Limits.MaxSpreadMv, 2) : std::string());
    SetUtf8TextOf(Item(SecondsId), Decimal(progress.Seconds, 0));
    Progress->SetPosition(progress.WindowCount);
    if (progress.Now == PointProgress::Sampling) SetStatus(Text::Sampling);
    SetWindowTextW(Item(SettledId), taken ? WideText(Text::Settled) : WideText(""));
}

Reply RecordedCalibrationDialog::GrabValue(const std::string& point, double& value) {
    SetStatus(U(point + ": ") + W(Text::TakeGrabValue));
    const Reply reply = AwaitAnswer(Awaiting::GrabValue);
    if (reply == Reply::Yes) value = GrabTaken;
    return reply;
}

// Zapsat writes; an unusual pair asks once more, with No as the default.
// The window offers no undo: vl4 does it from the record.
Reply RecordedCalibrationDialog::Ask(Question question, const std::string& context) {
    if (question == Question::PutBack) return Reply::No;
    if (question == Question::Write && WriteConfirmed) return Reply::Yes;
    SetStatus(Text::PressWrite);
    const Reply reply = AwaitAnswer(Awaiting::Write);
    if (reply != Reply::Yes || question == Question::Write) return reply;
    const std::wstring text = U(context) + L"\n" + W(Text::WriteAnyway);
    const std::wstring caption = GetCaption();
    WriteConfirmed = MessageBoxW(Handle, text.c_str(), caption.c_str(),
                                 MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
    return WriteConfirmed ? Reply::Yes : Reply::No;
}

bool RecordedCalibrationDialog::OutputLost(std::string&) {
    return false;
}

const StopSignal& RecordedCalibrationDialog::Stop() {
    return Waits;
}

void RecordedCalibrationDialog::DampingPaused(DampingPause* pause) {
    Context.Pause = pause;
}

// --- showing

void RecordedCalibrationDialog::AddLine(const std::wstring& line) {
    AddListLine(Item(StepsId), line);
}

void RecordedCalibrationDialog::SetStatus(const char* text) {
    SetStatus(W(text));
}

void RecordedCalibrationDialog::SetStatus(const std::wstring& text) {
    SetWindowTextW(Item(StatusId), text.c_str());
}

std::wstring RecordedCalibrationDialog::GetCaption() const {
    return W(Context.Verify ? Text::VerificationCaption : Text::RecordedCalibrationCaption);
}

// "Offset 1,234 mV, citlivost -59,160, kalibrace 8. 12. 2026"; what was not
// read says so.
void RecordedCalibrationDialog::ShowHeld(const HeldPair& held) {
    const std::wstring notRead = W(Text::NotRead);
    std::wstring text =
        W(Text::HeldOffset) + (held.HasOffset ? U(Decimal(held.Offset, 3)) : notRead);
    text += W(Text::HeldSensitivity) +
            (held.HasSensitivity ? U(Decimal(held.Sensitivity, 3)) : notRead);
    text += W(Text::HeldDate);
    if (!held.HasDate)
        text += notRead;
    else if (held.Date == 0)
        text += W(Text::NotCalibrated);
    else
        text += U(PersonDate(DateText(held.Date)));
    SetWindowTextW(Item(HeldId), text.c_str());
}

// What the transmitter returned to the writes shows here and in the main
// window's fields, as after the calibration dialog's writes, once it is known
// (the steps after the writes carry it).
void RecordedCalibrationDialog::ShowLeft(const HeldPair& left) {
    if (!(left.HasOffset || left.HasSensitivity || left.HasDate)) return;
    ShowHeld(left);
    if (left.HasOffset) Context.Targets.OffsetEdit.ShowFloat(left.Offset);
    if (left.HasSensitivity) Context.Targets.SensitivityEdit.ShowFloat(left.Sensitivity);
    if (left.HasDate) Context.Targets.DateDisplay.ShowDate(left.Date);
}

void RecordedCalibrationDialog::OnDrawItem(MessageRecord& msg) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(msg.LParam);
    if (!item || item->CtlID != PictureId) {
        GreyDialog::Dispatch(msg);
        return;
    }
    Picture.Draw(item->hDC, item->rcItem);
    msg.Result = TRUE;
}
