#include "cli/calibration_steps.h"

#include "calibration/record_layout.h"
#include "core/machine_text.h"
#include "core/transmitter_settings.h"
#include "documents/calibration_certificate.h"
#include "files/text_files.h"

namespace {

int ValueIndex(const CalibrationWrite& write) {
    return static_cast<int>(write.Value);
}

// What stands after a failure, in front of its reason.
std::string After(const std::string& done, const std::string& why) {
    return done.empty() ? why : done + ", " + why;
}

} // namespace

int ReadUnit(CommandContext& context, TransmitterSession& session, CalibrationRecord& record) {
    LONG production;
    WORD firmware;
    if (!session.Link.GetProductionNumber(production))
        return session.NoAnswer(context, "reading the production number");
    if (!session.Link.GetFirmwareVersion(firmware))
        return session.NoAnswer(context, "reading the firmware version");
    if (!session.Link.GetProbeType(record.ProbeType))
        return session.NoAnswer(context, "reading the probe type");
    record.ProductionNumber = production;
    record.Firmware = VersionText(firmware);
    record.Port = session.Port;
    record.Identification = session.Identification;
    return ExitDone;
}

int ReadHeld(CommandContext& context, TransmitterSession& session, HeldPair& held) {
    for (int i = 0; i < HeldPair::Values; ++i) {
        uint32_t raw;
        if (!ReadSetting(session.Link, HeldPair::SettingOf(i), raw))
            return session.NoAnswer(context, "reading the calibration it holds; nothing written");
        held.Set(i, raw);
    }
    return ExitDone;
}

void WarnSkipped(CommandContext& context, const RecordBook& book) {
    for (const RecordWarning& warning : book.Warnings)
        context.Warn(LinePlace(warning.File, warning.Line), "line passed over: " + warning.Problem);
}

int ReportWrites(CommandContext& context, TransmitterSession& session,
                 const CalibrationWrites& writes, HeldPair& left) {
    int status = ExitDone;
    for (int i = 0; i < writes.Count; ++i) {
        const CalibrationWrite& write = writes.Writes[i];
        const int value = ValueIndex(write);
        const Setting& setting = HeldPair::SettingOf(value);
        if (!write.Done) {
            status = session.NoAnswer(context, std::string("writing ") + setting.Key);
            continue;
        }
        left.Set(value, write.Returned);
        if (write.Confirmed()) continue;
        status =
            context.Fail(ExitFailed, session.Port,
                         std::string(setting.Key) + ": wrote " + SettingText(setting, write.Sent) +
                             ", transmitter holds " + SettingText(setting, write.Returned));
    }
    return status;
}

std::string WrittenText(const CalibrationWrites& writes) {
    std::string text;
    for (int i = 0; i < writes.Count; ++i) {
        const CalibrationWrite& write = writes.Writes[i];
        if (!write.Done) continue;
        const Setting& setting = HeldPair::SettingOf(ValueIndex(write));
        text += (text.empty() ? "" : ", ") + std::string(setting.Key) + " " +
                SettingText(setting, write.Returned);
    }
    return text;
}

int RecordLine(CommandContext& context, const std::string* path, const CalibrationRecord& line,
               const std::string& done, int status, RecordKind layout) {
    if (!path) return status;
    std::string problem;
    if (AppendRecordLine(*path, line, problem, layout)) {
        context.Say("recorded in " + *path + ": " + line.Outcome);
        return status;
    }
    context.Fail(ExitFailed, *path, After(done, "record not written: " + problem));
    context.Err.Write("the line for the record, to add by hand:\n" +
                      RecordLineText(RecordFields(line)));
    return status == ExitDone ? ExitFailed : status;
}

int WriteCertificate(CommandContext& context, const std::string* path,
                     const CalibrationRecord& line, const std::string& done, int status) {
    if (!path) return status;
    // The page is made from what the record holds, as vl4 certificate makes it.
    CalibrationRecord recorded;
    std::string problem;
    if (!RecordOfFields(RecordFields(line), false, recorded, problem)) {
        context.Fail(ExitFailed, *path, After(done, "certificate not written: " + problem));
        return status == ExitDone ? ExitFailed : status;
    }
    if (ReplaceFileContent(*path, CalibrationCertificate(recorded), problem)) {
        context.Say("certificate in " + *path);
        return status;
    }
    context.Fail(ExitFailed, *path, After(done, "certificate not written: " + problem));
    return status == ExitDone ? ExitFailed : status;
}
