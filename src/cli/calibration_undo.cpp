#include "cli/calibration_undo.h"

#include "cli/calibration_record.h"
#include "cli/local_time.h"
#include "cli/machine_text.h"
#include "cli/record_file.h"
#include "cli/setting_writes.h"
#include "cli/text_files.h"
#include "core/number_text.h"
#include "core/readout.h"

#include <cstring>

namespace {

// The three values of a calibration as the record gives them, as raw bits.
struct RecordedPair {
    bool Known = false;
    uint32_t Raw[3] = {}; // offset, sensitivity, date
};

const char* const PairKeys[3] = {"offset", "sensitivity", "date"};

RecordedPair PairOf(const RecordRow& row, RecordColumn first) {
    RecordedPair pair;
    float value;
    if (!ParseNumber(row[first].c_str(), value) || !IsFiniteNumber(value)) return pair;
    pair.Raw[0] = BitsOfFloat(value);
    if (!ParseNumber(row[RecordColumn(first + 1)].c_str(), value) || !IsFiniteNumber(value))
        return pair;
    pair.Raw[1] = BitsOfFloat(value);
    pair.Known = ParseDate(row[RecordColumn(first + 2)].c_str(), pair.Raw[2]);
    return pair;
}

bool IsWritten(const RecordRow& row) {
    return row[RecOutcome] == OutcomeWritten || row[RecOutcome] == OutcomeFailed;
}

HeldPair HeldOf(const uint32_t (&raw)[3], const bool (&known)[3]) {
    HeldPair held;
    held.HasOffset = known[0];
    held.Offset = FloatWithBits(raw[0]);
    held.HasSensitivity = known[1];
    held.Sensitivity = FloatWithBits(raw[1]);
    held.HasDate = known[2];
    held.Date = raw[2];
    return held;
}

class Undo {
public:
    Undo(CommandContext& context, const std::string& port, const CalibrationOptions& options)
        : Context(context), PortName(port), Options(options), Path(*options.RecordPath) {}

    int Run() {
        std::vector<RecordRow> rows;
        if (int status = OpenRecordFile(Context, Path, Record, &rows)) return status;
        if (int status = Session.Open(Context, PortName)) return status;
        if (int status = ReadTransmitter()) return status;
        const RecordRow* last = LastCalibration(rows);
        if (!last)
            return Refuse("no calibration of production number " +
                          IntegerText(Line.ProductionNumber) + " was written in " + Path);
        if (int status = Undone(rows, *last)) return status;
        const RecordedPair left = PairOf(*last, RecLeftOffset);
        Found = PairOf(*last, RecFoundOffset);
        if (!left.Known || !Found.Known)
            return Refuse("the record of " + (*last)[RecTime] +
                          " does not say what the transmitter held before and after");
        if (int status = CompareHeld(*last, left)) return status;
        if (int status = Confirm(*last)) return status;
        return Finish(WriteBack());
    }

private:
    int Refuse(const std::string& why) {
        return Context.Fail(ExitFailed, Session.Port, why + "; nothing written");
    }

    int ReadTransmitter() {
        LONG production;
        WORD firmware;
        if (!Session.Link.GetProductionNumber(production) ||
            !Session.Link.GetFirmwareVersion(firmware) ||
            !Session.Link.GetProbeType(Line.ProbeType))
            return Session.NoAnswer(Context, "reading the transmitter; nothing written");
        Line.ProductionNumber = production;
        Line.Firmware = VersionText(firmware);
        Line.Port = Session.Port;
        Line.Identification = Session.Identification;
        Line.Technician = Options.Technician;
        return ExitDone;
    }

    const RecordRow* LastCalibration(const std::vector<RecordRow>& rows) const {
        const std::string unit = IntegerText(Line.ProductionNumber);
        const RecordRow* last = nullptr;
        for (const RecordRow& row : rows)
            if (row[RecProductionNumber] == unit && IsWritten(row)) last = &row;
        return last;
    }

    // An undo puts back one calibration once.
    int Undone(const std::vector<RecordRow>& rows, const RecordRow& last) {
        for (const RecordRow& row : rows)
            if (row.Line > last.Line && row[RecProductionNumber] == last[RecProductionNumber] &&
                row[RecOutcome] == OutcomeUndo)
                return Refuse("the calibration of " + last[RecTime] + " was undone on " +
                              row[RecTime]);
        return ExitDone;
    }

    // Only a transmitter that still holds what the calibration left gets the
    // old values back: anything else would overwrite a later change.
    int CompareHeld(const RecordRow& last, const RecordedPair& left) {
        uint32_t raw[3];
        CalibrationDate date;
        float offset, sensitivity;
        if (!Session.Link.GetOffset(offset) || !Session.Link.GetSensitivity(sensitivity) ||
            !Session.Link.GetCalibrationDate(date))
            return Session.NoAnswer(Context, "reading the calibration it holds; nothing written");
        raw[0] = BitsOfFloat(offset);
        raw[1] = BitsOfFloat(sensitivity);
        raw[2] = DateBits(date);
        const bool known[3] = {true, true, true};
        Line.Found = HeldOf(raw, known);
        std::string changed;
        for (int i = 0; i < 3; ++i) {
            if (raw[i] == left.Raw[i]) continue;
            const Setting& setting = *FindSetting(PairKeys[i]);
            changed += (changed.empty() ? "" : ", ") + std::string(PairKeys[i]) + " " +
                       SettingText(setting, raw[i]) + " (the calibration left " +
                       SettingText(setting, left.Raw[i]) + ")";
        }
        if (changed.empty()) return ExitDone;
        return Refuse("the transmitter no longer holds what the calibration of " + last[RecTime] +
                      " left: " + changed);
    }

    std::string FoundText() const {
        std::string text;
        for (int i = 0; i < 3; ++i)
            text += (i ? ", " : "") + std::string(PairKeys[i]) + " " +
                    SettingText(*FindSetting(PairKeys[i]), Found.Raw[i]);
        return text;
    }

    int Confirm(const RecordRow& last) {
        Context.Say("the calibration of " + last[RecTime] + " found " + FoundText());
        if (Options.Unattended) return ExitDone;
        TextOutput& asking = Context.Out.IsConsole() ? Context.Out : Context.Err;
        Context.In.DiscardTypedAhead();
        asking.Write("put it back? [y/N] ");
        std::string answer;
        const InputEvent event = Context.In.WaitForLine(Context.Stop, answer);
        if (event == InputEvent::Interrupted) return ExitInterrupted;
        if (event == InputEvent::Line && (answer == "y" || answer == "yes" || answer == "Y"))
            return ExitDone;
        return Context.Fail(ExitFailed, Session.Port, "not written");
    }

    // Each value tried whatever became of the others, each checked against
    // the reply.
    int WriteBack() {
        if (Context.Stop.Requested()) return ExitInterrupted;
        int status = ExitDone;
        uint32_t returned[3] = {};
        bool done[3] = {};
        for (int i = 0; i < 3; ++i) {
            SettingWrite write = {FindSetting(PairKeys[i]), Found.Raw[i]};
            if (!WriteChecked(Context, Session, write, status)) {
                status = Session.NoAnswer(Context, std::string("writing ") + PairKeys[i]);
                continue;
            }
            returned[i] = write.Returned;
            done[i] = true;
        }
        Line.Left = HeldOf(returned, done);
        Line.HasComputed = true;
        Line.Computed = {FloatWithBits(Found.Raw[1]), FloatWithBits(Found.Raw[0])};
        if (done[0] || done[1] || done[2]) Context.Say("put back " + FoundText());
        return status;
    }

    int Finish(int status) {
        if (status == ExitInterrupted)
            return Context.Fail(status, Session.Port, "interrupted; nothing written");
        Line.Time = LocalTime::Now().IsoWithMilliseconds();
        Line.Outcome = OutcomeUndo;
        std::vector<std::string> fields = RecordFields(Line);
        fields[RecHealth] = "";
        if (Record.Append(RecordLine(fields))) {
            Context.Say("recorded in " + Path + ": undo");
            return status;
        }
        Context.Fail(ExitFailed, Path,
                     "calibration put back, record not written: " + Record.Problem());
        return ExitFailed;
    }

    CommandContext& Context;
    const std::string& PortName;
    const CalibrationOptions& Options;
    const std::string& Path;
    TransmitterSession Session;
    AppendingFile Record;
    CalibrationRecord Line;
    RecordedPair Found;
};

} // namespace

int UndoCalibration(CommandContext& context, const std::string& port,
                    const CalibrationOptions& options) {
    Undo undo(context, port, options);
    return undo.Run();
}
