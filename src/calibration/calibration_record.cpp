#include "calibration/calibration_record.h"

#include "calibration/record_layout.h"
#include "core/calendar_time.h"
#include "core/english_names.h"
#include "core/language.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "core/transmitter_settings.h"
#include "vl4_version.h"

#include <cmath>

namespace {

const char* const KindWords[] = {"value", "buffer", "table", "air", "zero", "grab"};
const char SettledRule[] = "settled";
const std::string FirstReadingsRule = "first " + IntegerText(SettlingWindow::Size);

std::string Exact(double value) {
    return ExactText(static_cast<float>(value));
}

std::string TraceText(const std::vector<float>& trace) {
    std::string text;
    for (float voltage : trace)
        text += (text.empty() ? "" : " ") + (std::isnan(voltage) ? "-" : ExactText(voltage));
    return text;
}

const char* SlopeWord(SlopeSource slope) {
    switch (slope) {
    case SlopeSource::Assumed:
        return "assumed";
    case SlopeSource::Kept:
        return "kept";
    case SlopeSource::Measured:
        break;
    }
    return "measured";
}

void PutPoint(std::vector<std::string>& fields, int first, int kind, int readings,
              const PointResult& p) {
    fields[kind] = StandardKindWord(p.Kind);
    fields[readings] = TraceText(p.Trace);
    if (!p.Taken) return;
    const std::string values[] = {
        ExactText(p.Standard),     ExactText(p.StandardUsed),
        ExactText(p.Voltage),      Exact(p.SpreadMv),
        Exact(p.DriftMvPerMinute), IntegerText(p.Readings),
        Exact(p.SettleSeconds),    p.HasFoundValue ? Exact(p.FoundValue) : ""};
    for (int i = 0; i < 8; ++i) fields[first + i] = values[i];
}

void PutHeld(std::vector<std::string>& fields, int first, const HeldPair& held) {
    for (int i = 0; i < HeldPair::Values; ++i)
        if (held.Has(i)) fields[first + i] = held.Text(i);
}

// Reads a line's fields one by one; the first that cannot be read stops it
// and says why.
class FieldReader {
public:
    FieldReader(const std::vector<std::string>& fields, std::string& problem)
        : Fields(fields), Problem(problem) {}

    const std::string& Text(int column) const { return Fields[column]; }
    bool Empty(int column) const { return Fields[column].empty(); }

    bool Float(int column, float& value) {
        if (ParseNumber(Fields[column].c_str(), value)) return true;
        return Fail(column, _("{0} is not a number: {1}"));
    }
    bool Double(int column, double& value) {
        float number;
        if (!Float(column, number)) return false;
        value = number;
        return true;
    }
    // An empty field leaves the value as it is.
    bool Optional(int column, double& value) { return Empty(column) || Double(column, value); }
    bool Integer(int column, int32_t& value) {
        if (ParseInteger(Fields[column].c_str(), value)) return true;
        return Fail(column, _("{0} is not a whole number: {1}"));
    }
    bool Word(int column, const char* const* words, int count, int& which) {
        for (which = 0; which < count; ++which)
            if (Fields[column] == words[which]) return true;
        return Fail(column, _("{0} is none of the words it may be: {1}"));
    }
    bool Trace(int column, std::vector<float>& trace) {
        trace.clear();
        const std::string& text = Fields[column];
        for (size_t at = 0; at < text.size();) {
            size_t end = text.find(' ', at);
            if (end == std::string::npos) end = text.size();
            const std::string reading = text.substr(at, end - at);
            float voltage = std::nanf("");
            if (reading != "-" && !ParseNumber(reading.c_str(), voltage))
                return Fail(column, _("{0} holds a reading that is not a number: {1}"));
            trace.push_back(voltage);
            at = end + 1;
        }
        return true;
    }
    bool Held(int first, HeldPair& held) {
        for (int i = 0; i < HeldPair::Values; ++i) {
            if (Empty(first + i)) continue;
            uint32_t raw;
            std::string why;
            if (!ParseSetting(HeldPair::SettingOf(i), Fields[first + i], raw, why))
                return Fail(first + i, _("{0} is not a value: {2}: {1}"), why);
            held.Set(i, raw);
        }
        return true;
    }
    // `what` names the column {0} and holds its text {1}, and `why` {2}.
    bool Fail(int column, const char* what, const std::string& why = "") {
        Problem = Format(what, {RecordColumnNames[column], Fields[column], why});
        return false;
    }

private:
    const std::vector<std::string>& Fields;
    std::string& Problem;
};

bool ReadPoint(FieldReader& read, int first, PointResult& point) {
    point.Taken = !read.Empty(first + 2);
    point.HasFoundValue = !read.Empty(first + 7);
    if ((!read.Empty(first) && !read.Float(first, point.Standard)) ||
        (!read.Empty(first + 1) && !read.Float(first + 1, point.StandardUsed)) ||
        (point.HasFoundValue && !read.Double(first + 7, point.FoundValue)))
        return false;
    if (!point.Taken) return true;
    int32_t readings;
    if (!read.Float(first + 2, point.Voltage) || !read.Double(first + 3, point.SpreadMv) ||
        !read.Double(first + 4, point.DriftMvPerMinute) || !read.Integer(first + 5, readings) ||
        !read.Double(first + 6, point.SettleSeconds))
        return false;
    point.Readings = readings;
    return true;
}

// The columns only this layout has.
bool ReadCurrentLayout(FieldReader& read, CalibrationRecord& r) {
    r.Version = read.Text(RecVersion);
    r.TemperatureGiven = read.Text(RecTemperatureGiven) == "yes";
    r.Buffers = read.Text(RecBuffers);
    r.Settle = read.Text(RecSettleRule) != FirstReadingsRule;
    if (r.Settle && !read.Empty(RecMaxDrift) &&
        (!read.Double(RecMaxDrift, r.Limits.MaxDriftMvPerMinute) ||
         !read.Double(RecMaxSpread, r.Limits.MaxSpreadMv)))
        return false;
    const char* const slopes[] = {"measured", "assumed", "kept"};
    int slope = 0;
    if (!read.Empty(RecSlopeSource) && !read.Word(RecSlopeSource, slopes, 3, slope)) return false;
    r.Slope = static_cast<SlopeSource>(slope);
    if (!read.Optional(RecCheckTolerance, r.CheckTolerance) ||
        !read.Optional(RecPressure, r.PressureHpa) ||
        !read.Optional(RecSalinity, r.SalinityGPerKg) || !read.Optional(RecSamplePh, r.SamplePh) ||
        !read.Optional(RecHoclPercent, r.HoclPercent) ||
        !read.Optional(RecGrabDelay, r.GrabDelaySeconds))
        return false;
    const int kinds[] = {RecStandardKind1, RecStandardKind2, RecCheckKind};
    PointResult* points[] = {&r.Point[0], &r.Point[1], &r.Check};
    const int traces[] = {RecReadingsMv1, RecReadingsMv2, RecCheckReadingsMv};
    for (int i = 0; i < 3; ++i) {
        int kind = 0;
        if (!read.Empty(kinds[i]) && !read.Word(kinds[i], KindWords, 6, kind)) return false;
        points[i]->Kind = static_cast<StandardKind>(kind);
        if (!read.Trace(traces[i], points[i]->Trace)) return false;
    }
    // The check's figures are those of its readings.
    if (r.Check.Taken && !r.Check.Trace.empty()) r.Check.SummariseTrace();
    return true;
}

} // namespace

const char* CheckResultWord(CheckResult result) {
    const char* const words[] = {"", N_("pass"), N_("fail"), N_("interrupted")};
    return words[static_cast<int>(result)];
}

const char* StandardKindWord(StandardKind kind) {
    return KindWords[static_cast<int>(kind)];
}

int PointResult::WindowStart() const {
    int good = 0;
    for (int i = static_cast<int>(Trace.size()); i-- > 0;)
        if (!std::isnan(Trace[i]) && ++good == SettlingWindow::Size) return i;
    return 0;
}

void PointResult::SummariseTrace() {
    SettlingWindow window;
    Readings = 0;
    for (size_t i = 0; i < Trace.size(); ++i) {
        if (std::isnan(Trace[i])) continue;
        window.Add({static_cast<double>(i) * ReadingIntervalSeconds, Trace[i], false, 0.0f});
        ++Readings;
        SettleSeconds = static_cast<double>(i) * ReadingIntervalSeconds;
    }
    Voltage = window.MeanVoltage();
    SpreadMv = window.SpreadMv();
    DriftMvPerMinute = window.DriftMvPerMinute();
}

// The settings' names, which `vl4 set` takes; a person reads them translated.
const char* const HeldPair::SettingKeys[Values] = {N_("offset"), N_("sensitivity"), N_("date")};

const Setting& HeldPair::SettingOf(int value) {
    return *FindSetting(SettingKeys[value]);
}

bool HeldPair::Has(int value) const {
    return value == 0 ? HasOffset : value == 1 ? HasSensitivity : HasDate;
}

uint32_t HeldPair::Raw(int value) const {
    return value == 0 ? BitsOfFloat(Offset) : value == 1 ? BitsOfFloat(Sensitivity) : Date;
}

std::string HeldPair::Text(int value) const {
    return SettingText(SettingOf(value), Raw(value));
}

std::string HeldPair::Shown(int value, uint32_t raw) {
    return value == 2 ? PersonDate(DateText(raw)) : ExactDecimal(FloatWithBits(raw));
}

std::string HeldPair::Named(int value) const {
    return std::string(_(SettingKeys[value])) + " " + Shown(value, Raw(value));
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

CalibrationRecord::CalibrationRecord()
    : PressureHpa(std::nan("")), SalinityGPerKg(std::nan("")), SamplePh(std::nan("")),
      HoclPercent(std::nan("")), GrabDelaySeconds(std::nan("")) {}

bool CalibrationRecord::IsPh() const {
    return CalibrationLaw(ProbeType) == ProbePH;
}

bool CalibrationRecord::IsUndo() const {
    return Outcome == OutcomeUndo || Outcome == OutcomeUndoFailed;
}

bool CalibrationRecord::IsVerification() const {
    return Outcome == OutcomeVerified || Outcome == OutcomeVerifyFailed;
}

double CalibrationRecord::IdealSlope() const {
    return IdealPhSlopeAt(Temperature);
}

ProbeJudgement CalibrationRecord::Judgement() const {
    return JudgeProbe(ProbeType, Computed, Slope, Points == 1,
                      ReferenceSlope(ProbeType, Temperature, Found.Sensitivity));
}

std::string CalibrationRecord::Health() const {
    if (!HasComputed || IsUndo()) return "";
    return ProbeHealthWords(ProbeType, Judgement());
}

// A write is confirmed by a reply that carries what was sent: the offset and
// sensitivity computed (a kept sensitivity is not written and stays as it
// was) and a date.
std::string CalibrationRecord::Unconfirmed() const {
    const bool wrote = Outcome == OutcomeWritten || Outcome == OutcomeFailed || IsUndo();
    if (!wrote || !HasComputed) return "";
    const uint32_t sent[] = {BitsOfFloat(Computed.Offset), BitsOfFloat(Computed.Sensitivity)};
    std::string missing;
    for (int i = 0; i < HeldPair::Values; ++i) {
        if (Left.Has(i) && (i == 2 || Left.Raw(i) == sent[i])) continue;
        missing += (missing.empty() ? "" : ", ") + std::string(HeldPair::SettingKeys[i]);
    }
    return missing;
}

std::string ValueNames(const std::string& keys) {
    std::string names;
    for (size_t from = 0; from < keys.size();) {
        size_t end = keys.find(", ", from);
        if (end == std::string::npos) end = keys.size();
        names +=
            (names.empty() ? "" : ", ") + std::string(_(keys.substr(from, end - from).c_str()));
        from = end + 2;
    }
    return names;
}

std::string ExactDecimal(float value) {
    std::string text = ExactText(value);
    const size_t point = text.find('.');
    if (point != std::string::npos) text[point] = Decimal(0, 1)[1]; // of "0.0" or "0,0"
    return text;
}

std::string StandardText(const PointResult& point, const CalibrationRecord& record) {
    const std::string celsius = Celsius(record.Temperature);
    switch (point.Kind) {
    case StandardKind::Air:
        return Format(_("air at {0}, {1} hPa, salinity {2}: {3} mg/L"),
                      {celsius, Decimal(record.PressureHpa, 1),
                       ExactDecimal(static_cast<float>(record.SalinityGPerKg)),
                       Decimal(point.StandardUsed, 3)});
    case StandardKind::Zero:
        return _("zero solution");
    case StandardKind::Grab:
        return Format(_("grab sample {0} mg/L"), {ExactDecimal(point.StandardUsed)});
    case StandardKind::Buffer:
    case StandardKind::Table:
        return Format(_("{0} at {1}: {2}"), {ExactDecimal(point.Standard), celsius,
                                             Decimal(point.StandardUsed, record.IsPh() ? 3 : 1)});
    case StandardKind::Value:
        break;
    }
    return ExactDecimal(point.Standard);
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
    f[RecVersion] = VL4_VERSION_TEXT;
    PutHeld(f, RecFoundOffset, r.Found);
    PutHeld(f, RecLeftOffset, r.Left);
    if (r.HasComputed) {
        f[RecComputedOffset] = ExactText(r.Computed.Offset);
        f[RecComputedSensitivity] = ExactText(r.Computed.Sensitivity);
    }
    f[RecOutcome] = r.Outcome;
    const std::string unconfirmed = r.Unconfirmed();
    f[RecHealth] = !unconfirmed.empty() ? "not confirmed: " + unconfirmed : r.Health();
    if (r.IsUndo()) return f;

    f[RecTemperature] = Exact(r.Temperature);
    f[RecTemperatureGiven] = r.TemperatureGiven ? "yes" : "no";
    f[RecPoints] = IntegerText(r.Points);
    f[RecBuffers] = r.Buffers;
    f[RecSettleRule] = r.Settle ? SettledRule : FirstReadingsRule;
    if (r.Settle) {
        f[RecMaxDrift] = Exact(r.Limits.MaxDriftMvPerMinute);
        f[RecMaxSpread] = Exact(r.Limits.MaxSpreadMv);
    }
    PutPoint(f, RecStandard1, RecStandardKind1, RecReadingsMv1, r.Point[0]);
    if (r.Points == 2) PutPoint(f, RecStandard2, RecStandardKind2, RecReadingsMv2, r.Point[1]);
    if (r.HasComputed) {
        f[RecSlopeSource] = SlopeWord(r.Slope);
        // The offset of a pH pair is the voltage at pH 7; a slope that was
        // not measured here has no percentage of its reference.
        const ProbeJudgement judgement = r.Judgement();
        if (judgement.SlopeJudged && r.Slope == SlopeSource::Measured)
            f[RecSlopePercent] = Exact(judgement.SlopePercent);
        if (r.IsPh()) f[RecOffsetPh7] = ExactText(r.Computed.Offset);
    }
    if (r.HasCheck) {
        f[RecCheckStandard] = ExactText(r.Check.Standard);
        f[RecCheckStandardUsed] = ExactText(r.Check.StandardUsed);
        if (r.Check.Taken && r.Check.HasFoundValue) f[RecCheckValue] = Exact(r.Check.FoundValue);
        f[RecCheckResult] = CheckResultWord(r.CheckOutcome);
        f[RecCheckKind] = StandardKindWord(r.Check.Kind);
        f[RecCheckReadingsMv] = TraceText(r.Check.Trace);
    }
    if (r.HasCheck || r.IsVerification()) f[RecCheckTolerance] = Exact(r.CheckTolerance);
    const std::pair<RecordColumn, double> conditions[] = {{RecPressure, r.PressureHpa},
                                                          {RecSalinity, r.SalinityGPerKg},
                                                          {RecSamplePh, r.SamplePh},
                                                          {RecHoclPercent, r.HoclPercent},
                                                          {RecGrabDelay, r.GrabDelaySeconds}};
    for (const auto& condition : conditions)
        if (!std::isnan(condition.second)) f[condition.first] = Exact(condition.second);
    f[RecDueDate] = r.DueDate;
    return f;
}

bool RecordOfFields(const std::vector<std::string>& fields, bool previousLayout,
                    CalibrationRecord& r, std::string& problem) {
    r = CalibrationRecord();
    r.PreviousLayout = previousLayout;
    FieldReader read(fields, problem);
    IsoTime time;
    r.Time = fields[RecTime];
    if (!ParseIsoTime(r.Time, time))
        return read.Fail(RecTime,
                         _("{0} is not a local time YYYY-MM-DDTHH:MM:SS with its offset: {1}"));
    if (!read.Integer(RecProductionNumber, r.ProductionNumber)) return false;
    if (!ParseProbeTypeName(fields[RecProbe].c_str(), r.ProbeType))
        return read.Fail(RecProbe, _("{0} is no probe type: {1}"));
    r.Outcome = fields[RecOutcome];
    if (!KnownOutcome(r.Outcome)) return read.Fail(RecOutcome, _("{0} is no outcome: {1}"));
    r.Port = fields[RecPort];
    r.Identification = fields[RecIdentification];
    r.Firmware = fields[RecFirmware];
    r.Technician = fields[RecTechnician];
    r.Tag = fields[RecTag];
    r.DueDate = fields[RecDueDate];
    r.RecordedHealth = fields[RecHealth];
    r.RecordedSlopePercent = r.RecordedOffsetPh7 = std::nanf("");
    if ((!read.Empty(RecSlopePercent) && !read.Float(RecSlopePercent, r.RecordedSlopePercent)) ||
        (!read.Empty(RecOffsetPh7) && !read.Float(RecOffsetPh7, r.RecordedOffsetPh7)))
        return false;
    int32_t day;
    if (!r.DueDate.empty() && !ParseIsoDay(r.DueDate, day))
        return read.Fail(RecDueDate, _("{0} is not a date YYYY-MM-DD: {1}"));
    if (!read.Held(RecFoundOffset, r.Found) || !read.Held(RecLeftOffset, r.Left)) return false;
    r.HasComputed = !read.Empty(RecComputedOffset);
    if (r.HasComputed && (!read.Float(RecComputedOffset, r.Computed.Offset) ||
                          !read.Float(RecComputedSensitivity, r.Computed.Sensitivity)))
        return false;
    if (r.IsUndo()) return true;

    int32_t points = 0;
    if (!read.Optional(RecTemperature, r.Temperature) ||
        (!read.Empty(RecPoints) && !read.Integer(RecPoints, points)))
        return false;
    if (points != 1 && points != 2) return read.Fail(RecPoints, _("{0} is neither 1 nor 2: {1}"));
    r.Points = points;
    if (!ReadPoint(read, RecStandard1, r.Point[0]) || !ReadPoint(read, RecStandard2, r.Point[1]))
        return false;
    // The previous layout wrote a slope percentage unless it was assumed.
    r.Slope =
        read.Empty(RecSlopePercent) && r.IsPh() ? SlopeSource::Assumed : SlopeSource::Measured;
    const char* const results[] = {"", "pass", "fail", "interrupted"};
    int result = 0; // in the order of CheckResult
    if (!read.Word(RecCheckResult, results, 4, result)) return false;
    r.CheckOutcome = static_cast<CheckResult>(result);
    r.HasCheck = !read.Empty(RecCheckStandard);
    if (r.HasCheck) {
        if (!read.Float(RecCheckStandard, r.Check.Standard) ||
            !read.Float(RecCheckStandardUsed, r.Check.StandardUsed))
            return false;
        // A check that gave no reading (it did not settle) was not taken.
        r.Check.HasFoundValue = !read.Empty(RecCheckValue);
        r.Check.Taken = r.Check.HasFoundValue && (r.CheckOutcome == CheckResult::Pass ||
                                                  r.CheckOutcome == CheckResult::Fail);
        if (r.Check.HasFoundValue && !read.Double(RecCheckValue, r.Check.FoundValue)) return false;
    }
    return previousLayout || ReadCurrentLayout(read, r);
}
