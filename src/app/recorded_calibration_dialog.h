#pragma once

#include "app/calibration_form.h"
#include "app/dialog_targets.h"
#include "app/grey_dialog.h"
#include "app/settling_picture.h"
#include "calibration/calibration_front_end.h"
#include "calibration/calibration_run.h"
#include "framework/coroutine.h"

#include <string>

class ProgressBar;

// What the main window lends the dialog: the open link, the transmitter it
// identified, the fields that show what a calibration wrote, the record file
// of this run (asked for once, kept until the program ends) and where the
// damping taken off while a point samples is known, for a fatal error.
struct RecordedCalibrationContext {
    TransmitterLink& Link;
    std::string Port;
    std::string Identification; // UTF-8
    CalibrationTargets Targets;
    std::string& RecordPath;
    DampingPause*& Pause;
    bool Verify;
};

// The ends of a wait: the dialog's timer, or a stop. The calibration waits on
// it between readings; its fiber gives the thread back meanwhile.
class DialogWaits : public StopSignal {
public:
    DialogWaits(HWND& dialog, Coroutine& work) : Dialog(dialog), Work(work) {}
    static constexpr UINT_PTR TimerId = 3;

    bool Requested() const override { return Stop; }
    bool Wait(DWORD ms) const override;
    // From the dialog's timer.
    void TimerFired() const;
    void Request();
    void Clear() { Stop = false; }

private:
    HWND& Dialog;
    Coroutine& Work;
    bool Stop = false;
};

// A calibration with a record, or a verification without adjusting, run by
// the calibration of vl4 with this dialog as its front-end: the conditions
// are typed here, each point is drawn as it settles, the result is judged in
// the calibration's words, and the record and the certificate are vl4's.
class RecordedCalibrationDialog : public GreyDialog, private CalibrationFrontEnd {
public:
    static constexpr int TemplateId = 5; // in vl4config.rc
    enum Item {
        UnitId = 201,
        ProbeId = 202,
        HeldId = 203,
        ChoiceId = 210,
        OnePointId = 211,
        KeepSlopeId = 212,
        Standard1Id = 213,
        Standard2Id = 214,
        TableButtonId = 215,
        TableNameId = 216,
        TemperatureId = 217,
        PressureId = 218,
        AltitudeId = 219,
        SalinityId = 220,
        WaterPhId = 221,
        CheckId = 222,
        TechnicianId = 223,
        TagId = 224,
        DueDaysId = 225,
        ToleranceId = 226,
        GrabId = 227,
        PictureId = 230,
        DriftId = 231,
        SpreadId = 232,
        SecondsId = 233,
        FoundId = 234,
        SettledId = 235,
        ProgressId = 236,
        StepsId = 240,
        StatusId = 241,
        NextId = 250,
        WriteId = 251,
        InterruptId = 252,
        CertificateId = 253,
    };

    RecordedCalibrationDialog(WindowObject* parent, RecordedCalibrationContext& context);

    void Dispatch(MessageRecord& msg) override;
    void OnChildNotify(MessageRecord& msg, int childId) override;
    void Setup() override;
    // Zavřít, Escape and the close box: a calibration under way ends first,
    // writing nothing, its damping put back.
    void Cancel() override;

protected:
    ~RecordedCalibrationDialog() override = default;

private:
    // What the calibration waits for from the person.
    enum class Awaiting { Nothing, ProbeReady, GrabValue, Write };

    // --- the form
    void ShowUnit();
    void FillChoices();
    void UpdateFields();
    CalibrationForm ReadForm();
    void ChooseTable();
    void RefuseField(FormField field, PlanProblem problem);

    // --- the run
    void Next();
    void Start();
    static void RunBody(void* self);
    void Run();
    // Back to the fiber until it waits again; Finish once it has ended.
    void Continue();
    void AfterResume();
    void Finish();
    void Interrupt();
    void Answer(Reply reply);
    Reply AwaitAnswer(Awaiting what);
    void ShowButtons();
    void SaveCertificate();

    // --- what the calibration says
    void Step(CalibrationStep step, const CalibrationRecord& record,
              const std::string& line) override;
    void Note(const std::string& what) override;
    void Warn(const std::string& where, const std::string& what) override;
    void Fail(int status, const std::string& where, const std::string& what) override;
    void LineForTheRecord(const std::string& line) override;
    Reply ProbeReady(const std::string& point, const std::string& standard) override;
    void Reading(const PointProgress& progress) override;
    Reply GrabValue(const std::string& point, double& value) override;
    Reply Ask(Question question, const std::string& context) override;
    bool OutputLost(std::string& why) override;
    const StopSignal& Stop() override;
    void DampingPaused(DampingPause* pause) override;

    void AddLine(const std::wstring& line);
    void SetStatus(const char* text);
    void SetStatus(const std::wstring& text);
    std::wstring GetCaption() const;
    void ShowHeld(const HeldPair& held);
    void ShowLeft(const HeldPair& left);
    void OnDrawItem(MessageRecord& msg);
    HWND Item(int id) const { return GetDlgItem(Handle, id); }

    RecordedCalibrationContext& Context;
    CalibrationUnit Unit;
    CalibrationForm Form;
    CalibrationPlan Plan;
    CalibrationRecord Result;
    CalibrationRecord Recorded; // the last line the record took
    bool HasRecorded = false;
    bool UnitRead = false;
    Coroutine Work;
    DialogWaits Waits;
    Awaiting Waiting = Awaiting::Nothing;
    Reply Answered = Reply::No;
    double GrabTaken = 0.0;
    int Status = 0;
    bool WriteConfirmed = false;
    bool CloseWhenDone = false;
    SettlingPicture Picture;
    const PointResult* Sampled = nullptr; // the point whose readings come now
    ProgressBar* Progress = nullptr;
};
