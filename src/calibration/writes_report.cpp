#include "calibration/writes_report.h"

#include "calibration/record_file.h"
#include "calibration/record_layout.h"
#include "core/exit_status.h"
#include "core/transmitter_settings.h"

namespace {

const Setting& SettingOf(const CalibrationWrite& write) {
    return HeldPair::SettingOf(static_cast<int>(write.Value));
}

} // namespace

int ReportWrites(const std::string& port, const CalibrationWrites& writes,
                 CalibrationFrontEnd& frontEnd, HeldPair& left) {
    int status = ExitDone;
    for (int i = 0; i < writes.Count; ++i) {
        const CalibrationWrite& write = writes.Writes[i];
        const Setting& setting = SettingOf(write);
        if (!write.Done) {
            frontEnd.Fail(ExitFailed, port, std::string("no answer writing ") + setting.Key);
            status = ExitFailed;
            continue;
        }
        left.Set(static_cast<int>(write.Value), write.Returned);
        if (write.Confirmed()) continue;
        frontEnd.Fail(ExitFailed, port,
                      std::string(setting.Key) + ": wrote " + SettingText(setting, write.Sent) +
                          ", transmitter holds " + SettingText(setting, write.Returned));
        status = ExitFailed;
    }
    return status;
}

std::string WrittenText(const CalibrationWrites& writes) {
    std::string text;
    for (int i = 0; i < writes.Count; ++i) {
        const CalibrationWrite& write = writes.Writes[i];
        if (!write.Done) continue;
        text += (text.empty() ? "" : ", ") + std::string(SettingOf(write).Key) + " " +
                SettingText(SettingOf(write), write.Returned);
    }
    return text;
}

int AppendToRecord(const std::string& path, const CalibrationRecord& line, const std::string& done,
                   CalibrationFrontEnd& frontEnd, int status, bool previousLayout) {
    std::string problem;
    const RecordKind layout = previousLayout ? RecordKind::Previous : RecordKind::Current;
    if (AppendRecordLine(path, line, problem, layout)) {
        frontEnd.Step(CalibrationStep::Recorded, line, "recorded in " + path + ": " + line.Outcome);
        return status;
    }
    const std::string why = "record not written: " + problem;
    frontEnd.Fail(ExitFailed, path, done.empty() ? why : done + ", " + why);
    frontEnd.LineForTheRecord(RecordLineText(RecordFields(line)));
    return status == ExitDone ? ExitFailed : status;
}

int StatusOfAnswer(Reply reply) {
    switch (reply) {
    case Reply::Yes:
        return ExitDone;
    case Reply::Interrupted:
        return ExitInterrupted;
    case Reply::No:
    case Reply::Ended:
        break;
    }
    return ExitFailed;
}

int TellRecordRead(CalibrationFrontEnd& frontEnd, const std::vector<RecordWarning>& passedOver,
                   bool usable, const std::string& problem) {
    for (const RecordWarning& warning : passedOver)
        frontEnd.Warn(LinePlace(warning.File, warning.Line),
                      "line passed over: " + warning.Problem);
    if (usable) return ExitDone;
    frontEnd.Fail(ExitUsage, "", problem);
    return ExitUsage;
}
