#include "app/target_writes.h"

#include "app/value_fields.h"
#include "core/number_text.h"

void ShowReplies(const CalibrationWrites& writes, const CalibrationTargets& targets) {
    for (int i = 0; i < writes.Count; ++i) {
        const CalibrationWrite& write = writes.Writes[i];
        if (!write.Done) continue;
        switch (write.Value) {
        case CalibrationValue::Offset:
            targets.OffsetEdit.ShowFloat(FloatWithBits(write.Returned));
            break;
        case CalibrationValue::Sensitivity:
            targets.SensitivityEdit.ShowFloat(FloatWithBits(write.Returned));
            break;
        case CalibrationValue::Date:
            targets.DateDisplay.ShowDate(CalibrationDateOf(write.Returned));
            break;
        }
    }
}

CalibrationDate CalibrationDateOf(uint32_t bcdDate) {
    return CalibrationDate{static_cast<BYTE>(bcdDate & 0xFF),
                           static_cast<BYTE>(bcdDate >> 8 & 0xFF),
                           static_cast<WORD>(bcdDate >> 16)};
}
