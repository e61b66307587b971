#include "devlink/transmitter_link.h"

bool TransmitterLink::GetProbeVoltage(float& value) {
    return GetDword(CmdProbeVoltage, value);
}
bool TransmitterLink::GetMeasuredValue(float& value) {
    return GetDword(CmdMeasuredValue, value);
}
bool TransmitterLink::GetRatio(float& value) {
    return GetDword(CmdRatio, value);
}
bool TransmitterLink::GetOutputWiring(BYTE& value) {
    return GetByte(CmdOutputWiring, value);
}
bool TransmitterLink::GetProbeType(BYTE& value) {
    return GetByte(CmdProbeType, value);
}
bool TransmitterLink::SetProbeType(BYTE& value) {
    return SetByte(CmdProbeType, value);
}
bool TransmitterLink::GetDamping(BYTE& value) {
    return GetByte(CmdDamping, value);
}
bool TransmitterLink::SetDamping(BYTE value) {
    return SetByte(CmdDamping, value);
}
bool TransmitterLink::GetCalibrationDate(CalibrationDate& value) {
    return GetDword(CmdCalibrationDate, value);
}
bool TransmitterLink::SetCalibrationDate(CalibrationDate& value) {
    return SetDword(CmdCalibrationDate, value);
}
bool TransmitterLink::GetLowerRange(float& value) {
    return GetDword(CmdLowerRange, value);
}
bool TransmitterLink::SetLowerRange(float& value) {
    return SetDword(CmdLowerRange, value);
}
bool TransmitterLink::GetUpperRange(float& value) {
    return GetDword(CmdUpperRange, value);
}
bool TransmitterLink::SetUpperRange(float& value) {
    return SetDword(CmdUpperRange, value);
}
bool TransmitterLink::GetOffset(float& value) {
    return GetDword(CmdOffset, value);
}
bool TransmitterLink::SetOffset(float& value) {
    return SetDword(CmdOffset, value);
}
bool TransmitterLink::GetSensitivity(float& value) {
    return GetDword(CmdSensitivity, value);
}
bool TransmitterLink::SetSensitivity(float& value) {
    return SetDword(CmdSensitivity, value);
}
bool TransmitterLink::GetDepth(float& value) {
    return GetDword(CmdDepth, value);
}
bool TransmitterLink::SetDepth(float& value) {
    return SetDword(CmdDepth, value);
}
