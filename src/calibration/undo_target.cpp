#include "calibration/undo_target.h"

#include "calibration/held_calibration.h"
#include "core/english_names.h"
#include "core/machine_text.h"

namespace {

bool Whole(const HeldPair& held) {
    return held.HasOffset && held.HasSensitivity && held.HasDate;
}

UndoTarget Refused(const std::string& why) {
    return {nullptr, why};
}

// The values the transmitter holds that are neither what the calibration
// left nor what it found (put back by an undo that was not confirmed).
std::string Changed(const CalibrationRecord& line, const HeldPair& now) {
    std::string changed;
    for (int i = 0; i < HeldPair::Values; ++i) {
        if (now.Raw(i) == line.Left.Raw(i) || now.Raw(i) == line.Found.Raw(i)) continue;
        changed += (changed.empty() ? "" : ", ") + std::string(HeldPair::SettingKeys[i]) + " " +
                   now.Text(i) + " (the calibration left " + line.Left.Text(i) + ")";
    }
    return changed;
}

} // namespace

std::string PairText(const HeldPair& held) {
    std::string text;
    for (int i = 0; i < HeldPair::Values; ++i)
        text += (i ? ", " : "") + std::string(HeldPair::SettingKeys[i]) + " " + held.Text(i);
    return text;
}

UndoTarget FindUndoTarget(const RecordBook& book, int32_t productionNumber, uint8_t probeTypeNow,
                          const HeldPair& heldNow) {
    const std::string unit = "production number " + IntegerText(productionNumber);
    for (const UnitLines& lines : UnitsOf(book)) {
        if (lines.ProductionNumber != productionNumber) continue;
        if (lines.Held < 0) {
            // The last calibration that was put back, and by which undo.
            for (int i = static_cast<int>(lines.Lines.size()); i-- > 0;)
                if (lines.UndoneBy[i] >= 0)
                    return Refused("the calibration of " + lines.Lines[i]->Record.Time +
                                   " was undone on " + lines.Lines[lines.UndoneBy[i]]->Record.Time);
            break;
        }
        const RecordEntry* held = lines.Lines[lines.Held];
        const CalibrationRecord& line = held->Record;
        if (!Whole(line.Found) || !Whole(line.Left))
            return Refused("the record of " + line.Time +
                           " does not say what the transmitter held before and after");
        if (PairFault(line.ProbeType, {line.Found.Sensitivity, line.Found.Offset}) !=
            CalibrationFault::None)
            return Refused("the record of " + line.Time + " says the transmitter held " +
                           PairText(line.Found) +
                           " before it, which no working probe of its kind has");
        if (CalibrationLaw(probeTypeNow) != CalibrationLaw(line.ProbeType))
            return Refused("the calibration of " + line.Time + " was of a " +
                           ProbeTypeEnglishName(line.ProbeType) + " probe; the transmitter has a " +
                           ProbeTypeEnglishName(probeTypeNow) + " probe now");
        const std::string changed = Changed(line, heldNow);
        if (!changed.empty())
            return Refused("the transmitter no longer holds what the calibration of " + line.Time +
                           " left: " + changed);
        return {held, ""};
    }
    return Refused("no calibration of " + unit + " was written in the record");
}
