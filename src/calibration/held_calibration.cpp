#include "calibration/held_calibration.h"

#include "calibration/record_layout.h"
#include "core/calendar_time.h"

#include <algorithm>
#include <map>

namespace {

int64_t UtcOf(const RecordEntry* entry) {
    IsoTime time;
    ParseIsoTime(entry->Record.Time, time); // read once already, when the line was
    return time.UtcMilliseconds();
}

void FindHeld(UnitLines& unit) {
    std::vector<int> held;
    unit.UndoneBy.assign(unit.Lines.size(), -1);
    for (size_t i = 0; i < unit.Lines.size(); ++i) {
        const CalibrationRecord& line = unit.Lines[i]->Record;
        const bool wrote =
            line.Outcome == OutcomeWritten || line.Outcome == OutcomeFailed || line.IsUndo();
        if (!wrote) continue;
        unit.Unconfirmed = !WritesConfirmed(line);
        if (unit.Unconfirmed) continue;
        if (!line.IsUndo()) {
            held.push_back(static_cast<int>(i));
        } else if (!held.empty()) {
            unit.UndoneBy[held.back()] = static_cast<int>(i);
            held.pop_back();
        }
    }
    unit.Held = held.empty() ? -1 : held.back();
}

} // namespace

bool WritesConfirmed(const CalibrationRecord& record) {
    return record.Outcome != OutcomeUndoFailed && record.Unconfirmed().empty();
}

std::vector<UnitLines> UnitsOf(const RecordBook& book) {
    std::map<int32_t, UnitLines> units;
    for (const RecordEntry& entry : book.Entries) {
        UnitLines& unit = units[entry.Record.ProductionNumber];
        unit.ProductionNumber = entry.Record.ProductionNumber;
        unit.Lines.push_back(&entry);
    }
    std::vector<UnitLines> list;
    for (auto& pair : units) {
        UnitLines& unit = pair.second;
        std::stable_sort(
            unit.Lines.begin(), unit.Lines.end(),
            [](const RecordEntry* a, const RecordEntry* b) { return UtcOf(a) < UtcOf(b); });
        FindHeld(unit);
        list.push_back(unit);
    }
    return list;
}
