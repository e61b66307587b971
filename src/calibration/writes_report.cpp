#include "calibration/writes_report.h"

#include "calibration/record_file.h"
#include "calibration/record_layout.h"
#include "core/exit_status.h"
#include "core/language.h"
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
            frontEnd.Fail(ExitFailed, port, Format(_("no answer writing {0}"), {_(setting.Key)}));
            status = ExitFailed;
            continue;
        }
        left.Set(static_cast<int>(write.Value), write.Returned);
        if (write.Confirmed()) continue;
        const int value = static_cast<int>(write.Value);
        frontEnd.Fail(ExitFailed, port,
                      Format(_("{0}: wrote {1}, transmitter holds {2}"),
                             {_(setting.Key), HeldPair::Shown(value, write.Sent),
                              HeldPair::Shown(value, write.Returned)}));
        status = ExitFailed;
    }
    return status;
}

std::string WrittenText(const CalibrationWrites& writes) {
    std::string text;
    for (int i = 0; i < writes.Count; ++i) {
        const CalibrationWrite& write = writes.Writes[i];
        if (!write.Done) continue;
        const int value = static_cast<int>(write.Value);
        text += (text.empty() ? "" : ", ") + std::string(_(HeldPair::SettingKeys[value])) + " " +
                HeldPair::Shown(value, write.Returned);
    }
    return text;
}

int AppendToRecord(const std::string& path, const CalibrationRecord& line, const std::string& done,
                   CalibrationFrontEnd& frontEnd, int status, bool previousLayout) {
    std::string problem;
    const RecordKind layout = previousLayout ? RecordKind::Previous : RecordKind::Current;
    if (AppendRecordLine(path, line, problem, layout)) {
        frontEnd.Step(CalibrationStep::Recorded, line,
                      Format(_("recorded in {0}: {1}"), {path, _(line.Outcome.c_str())}));
        return status;
    }
    const std::string why = Format(_("record not written: {0}"), {problem});
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
                      Format(_("line passed over: {0}"), {warning.Problem}));
    if (usable) return ExitDone;
    frontEnd.Fail(ExitUsage, "", problem);
    return ExitUsage;
}
