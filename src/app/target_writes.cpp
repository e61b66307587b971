#include "app/target_writes.h"

bool WriteAndShow(TransmitterLink& link, FloatSetter setter, float value, ValueEdit& field) {
    if (!(link.*setter)(value)) return false;
    field.ShowFloat(value);
    return true;
}

bool WriteAndShow(TransmitterLink& link, CalibrationDate date, ValueDisplay& field) {
    if (!link.SetCalibrationDate(date)) return false;
    field.ShowDate(date);
    return true;
}

CalibrationDate CalibrationDateOf(uint32_t bcdDate) {
    return CalibrationDate{static_cast<BYTE>(bcdDate & 0xFF),
                           static_cast<BYTE>(bcdDate >> 8 & 0xFF),
                           static_cast<WORD>(bcdDate >> 16)};
}
