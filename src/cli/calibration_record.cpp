#include "cli/calibration_record.h"

#include "cli/command.h"
#include "cli/record_file.h"
#include "cli/transmitter_session.h"
#include "cli/transmitter_settings.h"
#include "core/english_names.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "files/text_files.h"

namespace {

std::string Exact(double value) {
    return ExactText(static_cast<float>(value));
}

void PutPoint(std::vector<std::string>& fields, int first, const PointResult& p) {
    if (!p.Taken) return;
    const std::string values[] = {
        ExactText(p.Standard),     ExactText(p.StandardUsed),
        ExactText(p.Voltage),      Exact(p.SpreadMv),
        Exact(p.DriftMvPerMinute), IntegerText(p.Readings),
        Exact(p.SettleSeconds),    p.HasFoundValue ? Exact(p.FoundValue) : ""};
    for (int i = 0; i < 8; ++i) fields[first + i] = values[i];
}

void PutHeld(std::vector<std::string>& fields, int first, const HeldPair& held) {
    const bool known[HeldPair::Values] = {held.HasOffset, held.HasSensitivity, held.HasDate};
    for (int i = 0; i < HeldPair::Values; ++i)
        if (known[i]) fields[first + i] = held.Text(i);
}

} // namespace

const char* const HeldPair::SettingKeys[Values] = {"offset", "sensitivity", "date"};

const Setting& HeldPair::SettingOf(int value) {
    return *FindSetting(SettingKeys[value]);
}

uint32_t HeldPair::Raw(int value) const {
    return value == 0 ? BitsOfFloat(Offset) : value == 1 ? BitsOfFloat(Sensitivity) : Date;
}

std::string HeldPair::Text(int value) const {
    return SettingText(SettingOf(value), Raw(value));
}

void HeldPair::Set(int value, uint32_t raw) {
    if (value == 0) {
        HasOffset = true;
        Offset = FloatWithBits(raw);
    } else if (value == 1) {
        HasSensitivity = true;
        Sensitivity = FloatWithBits(raw);
    } else {
        HasDate = true;
        Date = raw;
    }
}

bool CalibrationRecord::IsPh() const {
    return CalibrationLaw(ProbeType) == ProbePH;
}

double CalibrationRecord::IdealSlope() const {
    return IdealPhSlopeAt(Temperature);
}

std::string CalibrationRecord::Health() const {
    return HasComputed ? HealthWords(ProbeType, Computed, Slope, IdealSlope()) : "";
}

std::string StandardText(const PointResult& point, bool buffers, double temperature) {
    std::string text = ExactText(point.Standard);
    if (buffers)
        text += " at " + CelsiusText(temperature) + ": " + FixedText(point.StandardUsed, 3);
    return text;
}

std::string DateText(uint32_t bcd) {
    NumberText text;
    FormatDate(text, bcd);
    return text;
}

std::vector<std::string> RecordFields(const CalibrationRecord& r) {
    std::vector<std::string> f(RecordColumnCount);
    f[RecTime] = r.Time;
    f[RecPort] = r.Port;
    f[RecIdentification] = r.Identification;
    f[RecProductionNumber] = IntegerText(r.ProductionNumber);
    f[RecFirmware] = r.Firmware;
    f[RecProbe] = ProbeTypeEnglishName(r.ProbeType);
    f[RecTechnician] = r.Technician;
    f[RecTag] = r.Tag;
    f[RecTemperature] = Exact(r.Temperature);
    if (r.Points) f[RecPoints] = IntegerText(r.Points);
    PutPoint(f, RecStandard1, r.Point[0]);
    PutPoint(f, RecStandard2, r.Point[1]);
    PutHeld(f, RecFoundOffset, r.Found);
    if (r.HasComputed) {
        f[RecComputedOffset] = ExactText(r.Computed.Offset);
        f[RecComputedSensitivity] = ExactText(r.Computed.Sensitivity);
        // The offset of a pH pair is the voltage at pH 7; a slope that was
        // assumed was not measured and has no percentage.
        if (r.IsPh() && r.Slope != SlopeSource::Assumed)
            f[RecSlopePercent] = Exact(PhSlopePercent(r.Computed.Sensitivity, r.IdealSlope()));
        if (r.IsPh()) f[RecOffsetPh7] = ExactText(r.Computed.Offset);
    }
    PutHeld(f, RecLeftOffset, r.Left);
    if (r.HasCheck && r.Check.Taken) {
        f[RecCheckStandard] = ExactText(r.Check.Standard);
        f[RecCheckStandardUsed] = ExactText(r.Check.StandardUsed);
        if (r.Check.HasFoundValue) f[RecCheckValue] = Exact(r.Check.FoundValue);
        f[RecCheckResult] = r.CheckPassed ? "pass" : "fail";
    }
    f[RecHealth] = r.Health();
    f[RecOutcome] = r.Outcome;
    f[RecDueDate] = r.DueDate;
    return f;
}

// A record grows by a line per calibration; far beyond what a bench makes in years.
constexpr size_t MaxRecordSize = 64 * 1024 * 1024;

int OpenRecordFile(CommandContext& context, const std::string& path, AppendingFile& file,
                   std::vector<RecordRow>* rows) {
    std::string content, problem;
    const FileRead read = ReadWholeFile(path, MaxRecordSize, content, problem);
    if (read == FileRead::TooLarge)
        return context.Fail(ExitUsage, path, "larger than 64 MiB; start a new record");
    std::vector<RecordRow> lines;
    int line = 0;
    if (read == FileRead::Done && !ParseRecord(content, lines, line, problem))
        return context.Fail(ExitUsage, path + ":" + IntegerText(line), problem);
    if (rows) *rows = lines;
    if (!file.Open(path, problem))
        return context.Fail(ExitUsage, path, "cannot write the record: " + problem);
    if (file.IsEmpty() && !file.Append(RecordHeader()))
        return context.Fail(ExitUsage, path, "cannot write the record: " + file.Problem());
    return ExitDone;
}

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

bool HeldOfRecord(const RecordRow& row, int first, HeldPair& held) {
    for (int i = 0; i < HeldPair::Values; ++i) {
        uint32_t raw;
        std::string problem;
        if (!ParseSetting(HeldPair::SettingOf(i), row.Fields[first + i], raw, problem))
            return false;
        held.Set(i, raw);
    }
    return true;
}
