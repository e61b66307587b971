#include "cli/calibration_history.h"

#include "core/machine_text.h"
#include "core/number_text.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

const char* const Outcomes[] = {OutcomeWritten, OutcomeRefused, OutcomeDeclined, OutcomeFailed,
                                OutcomeUndo};

bool KnownOutcome(const std::string& outcome) {
    for (const char* known : Outcomes)
        if (outcome == known) return true;
    return false;
}

// A number the record may leave empty: then it is not a number.
bool OptionalNumber(const RecordRow& row, RecordColumn column, float& value, std::string& problem) {
    const std::string& text = row[column];
    value = std::nanf("");
    if (text.empty() || ParseNumber(text.c_str(), value)) return true;
    problem = std::string(RecordColumnNames[column]) + " is not a number: " + text;
    return false;
}

bool ReadCalibration(const RecordRow& row, HistoryCalibration& calibration, int32_t& unit,
                     std::string& problem) {
    calibration.Line = row.Line;
    calibration.Time = row[RecTime];
    if (!ParseIsoTime(row[RecTime], calibration.At)) {
        problem = "time is not a local time YYYY-MM-DDTHH:MM:SS with its offset: " + row[RecTime];
        return false;
    }
    if (!ParseInteger(row[RecProductionNumber].c_str(), unit) || unit < 0) {
        problem = "production_number is not a whole number: " + row[RecProductionNumber];
        return false;
    }
    calibration.Outcome = row[RecOutcome];
    if (!KnownOutcome(calibration.Outcome)) {
        problem =
            "outcome is none of written, refused, declined, failed, undo: " + calibration.Outcome;
        return false;
    }
    float found, used;
    if (!OptionalNumber(row, RecSlopePercent, calibration.SlopePercent, problem) ||
        !OptionalNumber(row, RecOffsetPh7, calibration.OffsetPh7Mv, problem) ||
        !OptionalNumber(row, RecFoundValue1, found, problem) ||
        !OptionalNumber(row, RecStandardUsed1, used, problem))
        return false;
    calibration.FoundError = static_cast<float>(double(found) - double(used));
    calibration.DueDate = row[RecDueDate];
    int32_t day;
    if (!calibration.DueDate.empty() && !ParseIsoDay(calibration.DueDate, day)) {
        problem = "due_date is not a date YYYY-MM-DD: " + calibration.DueDate;
        return false;
    }
    calibration.Probe = row[RecProbe];
    calibration.CheckResult = row[RecCheckResult];
    calibration.Health = row[RecHealth];
    calibration.Technician = row[RecTechnician];
    return true;
}

// Each undo puts back what its unit held before the last calibration that
// is not yet undone.
void FindHeldCalibration(UnitHistory& unit) {
    std::vector<int> held;
    for (size_t i = 0; i < unit.Calibrations.size(); ++i) {
        HistoryCalibration& calibration = unit.Calibrations[i];
        if (LeftInTransmitter(calibration.Outcome)) {
            held.push_back(static_cast<int>(i));
        } else if (calibration.Outcome == OutcomeUndo && !held.empty()) {
            unit.Calibrations[held.back()].Undone = true;
            held.pop_back();
        }
    }
    unit.LastWritten = held.empty() ? -1 : held.back();
}

void FindDueDate(UnitHistory& unit, const DueRule& rule) {
    if (unit.LastWritten < 0) return;
    const HistoryCalibration& held = unit.Calibrations[unit.LastWritten];
    if (!held.DueDate.empty()) {
        unit.HasDue = ParseIsoDay(held.DueDate, unit.DueDay);
    } else if (rule.IntervalDays > 0) {
        unit.HasDue = true;
        unit.DueDay = held.At.Day + rule.IntervalDays;
    }
    unit.Overdue = unit.HasDue && unit.DueDay < rule.Today;
}

// A calibration with the line it was read from.
struct Entry {
    HistoryCalibration Calibration;
    const RecordRow* Row;
};

// The newest text the unit's lines give for a column.
std::string Newest(const std::vector<Entry>& entries, RecordColumn column) {
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
        if (!(*entry->Row)[column].empty()) return (*entry->Row)[column];
    return std::string();
}

bool NeedsCalibratingSooner(const UnitHistory& a, const UnitHistory& b) {
    if (a.HasDue != b.HasDue) return a.HasDue;
    if (a.HasDue && a.DueDay != b.DueDay) return a.DueDay < b.DueDay;
    return a.ProductionNumber < b.ProductionNumber;
}

} // namespace

bool LeftInTransmitter(const std::string& outcome) {
    return outcome == OutcomeWritten || outcome == OutcomeFailed;
}

bool ReadHistory(const std::vector<RecordRow>& rows, const DueRule& rule,
                 std::vector<UnitHistory>& units, int& line, std::string& problem) {
    std::map<int32_t, std::vector<Entry>> found;
    for (const RecordRow& row : rows) {
        Entry entry = {{}, &row};
        int32_t number;
        if (!ReadCalibration(row, entry.Calibration, number, problem)) {
            line = row.Line;
            return false;
        }
        found[number].push_back(entry);
    }
    units.clear();
    for (auto& unitEntries : found) {
        std::vector<Entry>& entries = unitEntries.second;
        // Time order, whatever the offset from UTC was; the file's order where equal.
        std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
            return a.Calibration.At.UtcMilliseconds() < b.Calibration.At.UtcMilliseconds();
        });
        UnitHistory unit;
        unit.ProductionNumber = unitEntries.first;
        for (const Entry& entry : entries) unit.Calibrations.push_back(entry.Calibration);
        unit.Identification = Newest(entries, RecIdentification);
        unit.Tag = Newest(entries, RecTag);
        FindHeldCalibration(unit);
        FindDueDate(unit, rule);
        units.push_back(unit);
    }
    std::stable_sort(units.begin(), units.end(), NeedsCalibratingSooner);
    return true;
}

std::string Shown(float value, int decimals) {
    return std::isfinite(value) ? FixedText(value, decimals) : "-";
}

std::string Shown(const std::string& text) {
    return text.empty() ? "-" : text;
}

std::string DueDistance(const UnitHistory& unit, int32_t today) {
    if (!unit.HasDue) return unit.LastWritten < 0 ? "no written calibration" : "no due date";
    const int32_t days = unit.DueDay - today;
    if (days == 0) return "today";
    const int32_t count = days < 0 ? -days : days;
    const std::string span = IntegerText(count) + (count == 1 ? " day" : " days");
    return (days < 0 ? "by " : "in ") + span;
}
