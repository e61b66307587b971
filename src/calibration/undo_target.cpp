#include "calibration/undo_target.h"

#include "calibration/held_calibration.h"
#include "core/english_names.h"
#include "core/language.h"
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
        changed += (changed.empty() ? "" : ", ") +
                   Format(_("{0} (the calibration left {1})"),
                          {now.Named(i), HeldPair::Shown(i, line.Left.Raw(i))});
    }
    return changed;
}

} // namespace

std::string PairText(const HeldPair& held) {
    std::string text;
    for (int i = 0; i < HeldPair::Values; ++i) text += (i ? ", " : "") + held.Named(i);
    return text;
}

UndoTarget FindUndoTarget(const RecordBook& book, int32_t productionNumber, uint8_t probeTypeNow,
                          const HeldPair& heldNow) {
    for (const UnitLines& lines : UnitsOf(book)) {
        if (lines.ProductionNumber != productionNumber) continue;
        if (lines.Held < 0) {
            // The last calibration that was put back, and by which undo.
            for (int i = static_cast<int>(lines.Lines.size()); i-- > 0;)
                if (lines.UndoneBy[i] >= 0)
                    return Refused(Format(_("the calibration of {0} was undone on {1}"),
                                          {lines.Lines[i]->Record.Time,
                                           lines.Lines[lines.UndoneBy[i]]->Record.Time}));
            break;
        }
        const RecordEntry* held = lines.Lines[lines.Held];
        const CalibrationRecord& line = held->Record;
        if (!Whole(line.Found) || !Whole(line.Left))
            return Refused(Format(
                _("the record of {0} does not say what the transmitter held before and after"),
                {line.Time}));
        if (PairFault(line.ProbeType, {line.Found.Sensitivity, line.Found.Offset}) !=
            CalibrationFault::None)
            return Refused(Format(_("the record of {0} says the transmitter held {1} before it, "
                                    "which no working probe of its kind has"),
                                  {line.Time, PairText(line.Found)}));
        if (CalibrationLaw(probeTypeNow) != CalibrationLaw(line.ProbeType))
            return Refused(Format(_("the calibration of {0} was of a {1} probe; the transmitter "
                                    "has a {2} probe now"),
                                  {line.Time, _(ProbeTypeEnglishName(line.ProbeType)),
                                   _(ProbeTypeEnglishName(probeTypeNow))}));
        const std::string changed = Changed(line, heldNow);
        if (!changed.empty())
            return Refused(Format(_("the transmitter no longer holds what the calibration of {0} "
                                    "left: {1}"),
                                  {line.Time, changed}));
        return {held, ""};
    }
    return Refused(Format(_("no calibration of production number {0} was written in the record"),
                          {IntegerText(productionNumber)}));
}
