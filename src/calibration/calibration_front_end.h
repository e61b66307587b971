#pragma once

#include "calibration/calibration_record.h"
#include "core/stop_signal.h"

class DampingPause;

#include <string>

// What a calibration tells the person running it and asks them, through the
// front-end that runs it: vl4 prints on the console and asks there, the
// window draws and asks in its dialog. The calibration itself never writes
// to a console or a window.

// The steps a person follows; each comes with the line a console shows for
// it, and the record holds what is known so far.
enum class CalibrationStep {
    Unit,        // "probe pH on COM5 (VL4 2403117, firmware 1.02)"
    Found,       // what the transmitter holds before anything changes
    PointBegins, // "point 1: standard 6.86 at 15.0 °C: 6.900"
    PointTaken,  // its figures
    PointFound,  // the transmitter's reading there before the calibration
    GrabNow,     // a grab sample's reading is held: take the sample now
    Pair,        // the computed sensitivity and offset
    Judgement,   // the slope against the ideal electrode, the health
    Written,     // what the transmitter returned to the writes
    CheckVerdict,
    Recorded,
    UndoFound, // what an undo would put back
};

// The questions only a person answers.
enum class Question {
    Write,        // the pair is judged: write it? (a console has said so by running)
    WriteUnusual, // a pair beyond the usual limits: write it anyway?
    PutBack,      // an undo: put back what the calibration found?
};

// Each reading of a point, for a progress line or a live picture.
struct PointProgress {
    enum State { Sampling, Taken, Ended };
    const std::string& Name;  // "point 1", "check"
    const PointResult& Point; // its readings so far
    bool Read;                // this reading came
    float Voltage;            // the last that came, mV
    double DriftMvPerMinute, SpreadMv;
    int WindowCount; // readings in the window, of SettlingWindow::Size
    double Seconds;  // since the point began
    State Now;
};

// A person's answer.
enum class Reply { Yes, No, Ended, Interrupted };

// What a yes/no answer makes of a run: ExitDone for yes, ExitInterrupted
// for an interruption, ExitFailed for no or for nobody there to answer.
int StatusOfAnswer(Reply reply);

class CalibrationFrontEnd {
public:
    virtual ~CalibrationFrontEnd() = default;

    virtual void Step(CalibrationStep step, const CalibrationRecord& record,
                      const std::string& line) = 0;
    virtual void Note(const std::string& what) = 0;
    // A warning about the transmitter on `where`; nothing ends.
    virtual void Warn(const std::string& where, const std::string& what) = 0;
    // What ended the calibration (or lost its record), with the status it
    // ends with.
    virtual void Fail(int status, const std::string& where, const std::string& what) = 0;
    // A record line that could not be written, for the record by hand.
    virtual void LineForTheRecord(const std::string& line) = 0;

    // The probe goes into the standard: Yes when it is there.
    virtual Reply ProbeReady(const std::string& point, const std::string& standard) = 0;
    virtual void Reading(const PointProgress& progress) = 0;
    // A grab sample's value in mg/L, measured while its reading was held.
    virtual Reply GrabValue(const std::string& point, double& value) = 0;
    // A yes/no question whose default is no; `context` says what it is about.
    virtual Reply Ask(Question question, const std::string& context) = 0;
    // Whether the output a person reads is lost (a closed pipe): nothing is
    // written then.
    virtual bool OutputLost(std::string& why) = 0;

    // A request to stop, which ends waits at once.
    virtual const StopSignal& Stop() = 0;

    // The damping the calibration took off while it samples (null once it
    // is back), for a front-end that must put it back should the program
    // end meanwhile.
    virtual void DampingPaused(DampingPause* pause) { (void)pause; }
};
