#include "core/calibration_writes.h"

#include "core/clock.h"
#include "core/number_text.h"

namespace {

CalibrationWrite Planned(CalibrationValue value, uint32_t sent) {
    const BYTE commands[] = {CmdOffset, CmdSensitivity, CmdCalibrationDate};
    return {value, commands[static_cast<int>(value)], sent};
}

} // namespace

bool CalibrationWrites::AllConfirmed() const {
    for (int i = 0; i < Count; ++i)
        if (!Writes[i].Confirmed()) return false;
    return true;
}

CalibrationWrites PlanCalibrationWrites(const CalibrationResult& pair, bool keepSensitivity,
                                        uint32_t bcdDate) {
    CalibrationWrites plan;
    plan.Writes[plan.Count++] = Planned(CalibrationValue::Offset, BitsOfFloat(pair.Offset));
    if (!keepSensitivity)
        plan.Writes[plan.Count++] =
            Planned(CalibrationValue::Sensitivity, BitsOfFloat(pair.Sensitivity));
    plan.Writes[plan.Count++] = Planned(CalibrationValue::Date, bcdDate);
    return plan;
}

CalibrationWrites PlanRestoreWrites(float offset, float sensitivity, uint32_t bcdDate) {
    return PlanCalibrationWrites({sensitivity, offset}, false, bcdDate);
}

bool WriteCalibration(TransmitterLink& link, CalibrationWrites& writes) {
    bool all = true;
    for (int i = 0; i < writes.Count; ++i) {
        CalibrationWrite& write = writes.Writes[i];
        uint32_t value = write.Sent;
        write.Done = link.SetDword(write.Command, value);
        if (write.Done) write.Returned = value;
        all &= write.Done;
    }
    return all;
}

// The window links this without the texts of the local time.
uint32_t TodayBcd() {
    SYSTEMTIME local, utc;
    Clock::Current().LocalNow(local, utc);
    return BcdDate(local.wYear, local.wMonth, local.wDay);
}
