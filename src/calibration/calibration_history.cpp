#include "calibration/calibration_history.h"

#include "calibration/held_calibration.h"
#include "calibration/record_layout.h"
#include "core/english_names.h"
#include "core/language.h"
#include "core/machine_text.h"
#include "core/number_text.h"

#include <algorithm>
#include <cmath>

const char NotConfirmedWords[] = N_("not confirmed: read the unit");

namespace {

HistoryCalibration CalibrationOf(const RecordEntry& entry) {
    const CalibrationRecord& r = entry.Record;
    HistoryCalibration c;
    c.File = entry.File;
    c.Line = entry.Line;
    c.Time = r.Time;
    ParseIsoTime(r.Time, c.At);
    c.Outcome = r.Outcome;
    c.Probe = r.IsUndo() ? "" : ProbeTypeEnglishName(r.ProbeType);
    c.Health = r.RecordedHealth;
    c.Technician = r.Technician;
    c.DueDate = r.DueDate;
    c.Unconfirmed = !WritesConfirmed(r);
    c.CheckResult = CheckResultWord(r.CheckOutcome);
    c.ProbeType = r.ProbeType;
    c.SlopePercent = r.RecordedSlopePercent;
    c.OffsetPh7Mv = r.RecordedOffsetPh7;
    c.Zero = r.IsPh() ? r.RecordedOffsetPh7 : std::nanf("");
    if (!r.IsPh() && r.HasComputed && !r.IsUndo()) {
        const ProbeJudgement judgement = r.Judgement();
        if (judgement.ZeroJudged) c.Zero = static_cast<float>(judgement.Zero);
    }
    const PointResult& first = r.Point[0];
    c.FoundError = first.HasFoundValue
                       ? static_cast<float>(first.FoundValue - double(first.StandardUsed))
                       : std::nanf("");
    return c;
}

// The verification after the calibration the unit holds, the last one.
void FindVerification(UnitHistory& unit) {
    for (int i = static_cast<int>(unit.Calibrations.size()); i-- > unit.LastWritten + 1;) {
        const std::string& outcome = unit.Calibrations[i].Outcome;
        if (outcome != OutcomeVerified && outcome != OutcomeVerifyFailed) continue;
        unit.LastVerified = i;
        unit.VerifyFailed = outcome == OutcomeVerifyFailed;
        return;
    }
}

void FindDueDate(UnitHistory& unit, const DueRule& rule) {
    if (unit.Unconfirmed || unit.VerifyFailed) return;
    const int due = unit.LastVerified >= 0 ? unit.LastVerified : unit.LastWritten;
    if (due < 0) return;
    const HistoryCalibration& held = unit.Calibrations[due];
    if (!held.DueDate.empty()) {
        unit.HasDue = ParseIsoDay(held.DueDate, unit.DueDay);
    } else if (rule.IntervalDays > 0) {
        unit.HasDue = true;
        unit.DueDay = held.At.Day + rule.IntervalDays;
    }
    unit.Overdue = unit.HasDue && unit.DueDay < rule.Today;
}

// The newest text the unit's lines give for a field.
std::string Newest(const UnitLines& lines, std::string CalibrationRecord::*field) {
    for (auto line = lines.Lines.rbegin(); line != lines.Lines.rend(); ++line)
        if (!((*line)->Record.*field).empty()) return (*line)->Record.*field;
    return std::string();
}

bool NeedsAttentionSooner(const UnitHistory& a, const UnitHistory& b) {
    const bool aNow = a.Unconfirmed || a.VerifyFailed, bNow = b.Unconfirmed || b.VerifyFailed;
    if (aNow != bNow) return aNow;
    if (a.HasDue != b.HasDue) return a.HasDue;
    if (a.HasDue && a.DueDay != b.DueDay) return a.DueDay < b.DueDay;
    return a.ProductionNumber < b.ProductionNumber;
}

} // namespace

std::vector<UnitHistory> ReadHistory(const RecordBook& book, const DueRule& rule) {
    std::vector<UnitHistory> units;
    for (const UnitLines& lines : UnitsOf(book)) {
        UnitHistory unit;
        unit.ProductionNumber = lines.ProductionNumber;
        for (size_t i = 0; i < lines.Lines.size(); ++i) {
            unit.Calibrations.push_back(CalibrationOf(*lines.Lines[i]));
            unit.Calibrations.back().Undone = lines.UndoneBy[i] >= 0;
        }
        unit.Identification = Newest(lines, &CalibrationRecord::Identification);
        unit.Tag = Newest(lines, &CalibrationRecord::Tag);
        unit.LastWritten = lines.Held;
        unit.Unconfirmed = lines.Unconfirmed;
        unit.ProbeType = lines.Lines.back()->Record.ProbeType;
        FindVerification(unit);
        FindDueDate(unit, rule);
        units.push_back(unit);
    }
    std::stable_sort(units.begin(), units.end(), NeedsAttentionSooner);
    return units;
}

std::string Shown(float value, int decimals) {
    return std::isfinite(value) ? Decimal(value, decimals) : "-";
}

std::string Shown(const std::string& text) {
    return text.empty() ? "-" : text;
}

std::string DueDistance(const UnitHistory& unit, int32_t today) {
    if (unit.Unconfirmed) return _(NotConfirmedWords);
    if (unit.VerifyFailed) return _("verification failed: calibrate");
    if (!unit.HasDue)
        return unit.LastWritten < 0 && unit.LastVerified < 0 ? _("no written calibration")
                                                             : _("no due date");
    const int32_t days = unit.DueDay - today;
    if (days == 0) return _("today");
    const int32_t count = days < 0 ? -days : days;
    // TRANSLATORS: "by 3 days" follows "overdue".
    return Format(days < 0 ? Q_("by {0} day", "by {0} days", count)
                           : Q_("in {0} day", "in {0} days", count),
                  {IntegerText(count)});
}

std::string ShownHealth(const HistoryCalibration& calibration) {
    const std::string& health = calibration.Health;
    const std::string unconfirmed = "not confirmed: ";
    if (health.compare(0, unconfirmed.size(), unconfirmed) == 0)
        return Format(_("not confirmed: {0}"), {ValueNames(health.substr(unconfirmed.size()))});
    return health.empty() ? "-" : _(health.c_str());
}
