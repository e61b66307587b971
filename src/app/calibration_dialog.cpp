#include "app/calibration_dialog.h"

#include "app/target_writes.h"
#include "app/texts.h"
#include "core/calibration_policy.h"
#include "core/number_text.h"
#include "devlink/transmitter_names.h"

#include <cmath>

namespace {

// The question's text: a slope of N % of the ideal one and an offset of M mV
// is two lines with a Czech letter or two; 23 characters each number at most.
constexpr size_t QuestionSize = 160;

void Append(char* text, const char* piece) {
    AppendString(text, QuestionSize, piece);
}

// Rounded half away from zero; a negative value that rounds to zero shows 0.
void AppendWhole(char* text, double value) {
    NumberText number;
    FormatFloat(number, static_cast<float>(std::round(value)), 0);
    Append(text, number);
}

} // namespace

CalibrationDialog::CalibrationDialog(WindowObject* parent, TransmitterLink& link,
                                     const CalibrationTargets& targets)
    : GreyDialog(parent, TemplateId),
      ProbeNameDisplay(new ValueDisplay(this, TemplateItem{ProbeNameId}, 2)),
      VoltageDisplay(new ValueDisplay(this, TemplateItem{VoltageId}, 3)),
      SinglePointBox(new CheckBox(this, TemplateItem{SinglePointId})),
      Standard1Edit(new ValueEdit(this, TemplateItem{Standard1Id}, 2)),
      Value1Display(new ValueDisplay(this, TemplateItem{Value1Id}, 2)),
      Voltage1Display(new ValueDisplay(this, TemplateItem{Voltage1Id}, 3)),
      Point1Button(new Button(this, TemplateItem{Point1Id})),
      Standard2Edit(new ValueEdit(this, TemplateItem{Standard2Id}, 2)),
      Value2Display(new ValueDisplay(this, TemplateItem{Value2Id}, 2)),
      Voltage2Display(new ValueDisplay(this, TemplateItem{Voltage2Id}, 3)),
      Point2Button(new Button(this, TemplateItem{Point2Id})),
      Progress(new ProgressBar(this, TemplateItem{ProgressId})), Link(link), Targets(targets) {}

// Every tick samples, whatever the timer's id.
void CalibrationDialog::Dispatch(MessageRecord& msg) {
    if (msg.Msg == WM_TIMER)
        OnSampleTimer(msg);
    else
        GreyDialog::Dispatch(msg);
}

void CalibrationDialog::OnChildNotify(MessageRecord& msg, int childId) {
    switch (childId) {
    case SinglePointId:
        UpdateSecondPointRow();
        break;
    case Point1Id:
        StartPoint(1);
        break;
    case Point2Id:
        StartPoint(2);
        break;
    default:
        GreyDialog::OnChildNotify(msg, childId);
    }
}

// Without the probe type no point can be measured: the point buttons and the
// mode stay disabled and nothing is sampled.
void CalibrationDialog::Setup() {
    GreyDialog::Setup();
    if (!Link.GetProbeType(ProbeType)) {
        ProbeNameDisplay->SetText(CommunicationErrorText.Text);
        SinglePointBox->Disable();
        Point1Button->Disable();
        Point2Button->Disable();
        return;
    }
    ProbeNameDisplay->ShowProbeType(ProbeType);
    float voltage;
    if (Link.GetProbeVoltage(voltage)) VoltageDisplay->ShowFloat(voltage);
    // A Redox probe has no slope to measure: one point only.
    if (CalibrationLaw(ProbeType) == ProbeRedox) {
        SinglePointBox->SetChecked();
        SinglePointBox->Disable();
        UpdateSecondPointRow();
    }
    Progress->SetRange(0, SamplesPerPoint);
    TimerStarted = SetTimer(Handle, SampleTimerId, SampleIntervalMs, nullptr);
}

// The timer goes with the window, which in a modal run is destroyed before
// the object is freed.
void CalibrationDialog::OnDestroy(MessageRecord& msg) {
    StopSampling();
    GreyDialog::OnDestroy(msg);
}

void CalibrationDialog::StopSampling() {
    if (TimerStarted != 0 && Handle) KillTimer(Handle, SampleTimerId);
    TimerStarted = 0;
}

CalibrationDialog::PointRow CalibrationDialog::Row(int point) {
    if (point == 1)
        return {*Standard1Edit, *Value1Display, *Voltage1Display, *Point1Button,
                Standard1,      Voltage1,       Point1Valid};
    return {*Standard2Edit, *Value2Display, *Voltage2Display, *Point2Button,
            Standard2,      Voltage2,       Point2Valid};
}

// Also while a point is being sampled: the row's button then comes back
// only if the mode still has a second point when the sampling ends.
void CalibrationDialog::UpdateSecondPointRow() {
    const bool singlePoint = SinglePointBox->CheckState() != BST_UNCHECKED;
    WindowObject* const secondRow[] = {Standard2Edit, Value2Display, Voltage2Display, Point2Button};
    for (WindowObject* control : secondRow) {
        if (singlePoint)
            control->Disable();
        else
            control->Enable();
    }
}

void CalibrationDialog::StartPoint(int point) {
    if (SamplingPoint != 0) return;
    PointRow row = Row(point);
    const bool parsed = row.StandardEdit.TryReadFloat(row.Standard);
    // A Redox standard is a potential and may be negative.
    const bool negativeAllowed = point == 1 && CalibrationLaw(ProbeType) == ProbeRedox;
    if (!StandardAccepted(parsed, row.Standard, negativeAllowed)) {
        row.ValueField.SetText(Text::BadStandard);
        row.Valid = false;
        return;
    }
    row.ValueField.ShowFloat(row.Standard);
    // Focus leaves the button before it is disabled.
    SendMessageW(Handle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(Handle, IDOK)), TRUE);
    row.StartButton.Disable();
    Samples = VoltageSamples();
    SamplingPoint = point;
}

// A tick whose read fails adds nothing, so a silent transmitter holds the
// sampling where it is; its voltage is cleared as a live value is.
void CalibrationDialog::OnSampleTimer(MessageRecord&) {
    float voltage = 0.0f;
    const bool read = Link.GetProbeVoltage(voltage);
    VoltageDisplay->ShowReading(read, voltage);
    if (!read) return;
    if (SamplingPoint == 0) return;
    Samples.Add(voltage);
    Progress->StepIt();
    if (Samples.Count() >= SamplesPerPoint) FinishPoint();
}

void CalibrationDialog::FinishPoint() {
    PointRow row = Row(SamplingPoint);
    row.Voltage = Samples.Mean();
    row.VoltageField.ShowFloat(row.Voltage);
    // "Jeden bod" may have been checked while the second point was sampled.
    if (SamplingPoint == 1 || SinglePointBox->CheckState() == BST_UNCHECKED)
        row.StartButton.Enable();
    row.Valid = true;
    Progress->SetPosition(0);
    SamplingPoint = 0;
}

void CalibrationDialog::Ok() {
    if (SamplingPoint != 0) return;
    const CalibrationPoints points = {ProbeType,   SinglePointBox->CheckState() != BST_UNCHECKED,
                                      Point1Valid, Point2Valid,
                                      Standard1,   Standard2,
                                      Voltage1,    Voltage2};
    CalibrationResult result;
    const CalibrationVerdict verdict = JudgeCalibration(points, result, IdealPhSlope).Verdict;
    if (verdict == CalibrationVerdict::Refused) {
        ShowError(Text::BadCalibrationPoints, Text::CalibrationDialogCaption);
        return;
    }
    // Declined, the dialog stays as it is for another point or another OK.
    if (verdict == CalibrationVerdict::Unusual && !UnusualPairConfirmed(result)) return;
    if (!WriteCalibration(result)) {
        // What went through is shown; the points are kept for another OK.
        ShowError(CommunicationErrorText.Text, Text::CalibrationDialogCaption);
        return;
    }
    GreyDialog::Ok();
}

// A pH pair beyond what a healthy electrode gives is written only when the
// user says so: an old electrode may need it, a buffer mixed up does not.
bool CalibrationDialog::UnusualPairConfirmed(const CalibrationResult& result) {
    char question[QuestionSize] = "";
    Append(question, Text::UnusualSlopeLead);
    AppendWhole(question, PhSlopePercent(result.Sensitivity));
    Append(question, Text::UnusualOffsetLead);
    AppendWhole(question, result.Offset);
    Append(question, Text::UnusualCalibrationTail);
    return ShowMessageBox(question, Text::CalibrationDialogCaption,
                          MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

// Every write is tried, in order, whatever the others did.
bool CalibrationDialog::WriteCalibration(const CalibrationResult& result) {
    CalibrationWrites writes = PlanCalibrationWrites(result, false, TodayBcd());
    const bool replied = ::WriteCalibration(Link, writes);
    ShowReplies(writes, Targets);
    return replied;
}
