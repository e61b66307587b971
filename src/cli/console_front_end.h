#pragma once

#include "calibration/calibration_front_end.h"
#include "cli/command.h"

#include <memory>

// The console as a calibration's front-end: its steps are lines on standard
// output, notes, warnings and failures lines on standard error, its
// questions asked at the console, and a point's readings one line that each
// reading updates where a person watches.
class ConsoleFrontEnd : public CalibrationFrontEnd {
public:
    explicit ConsoleFrontEnd(CommandContext& context);
    ~ConsoleFrontEnd() override;

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

private:
    CommandContext& Context;
    std::unique_ptr<StatusLine> Progress;
};
