#include "core/readout.h"

#include "devlink/transmitter_names.h"

#include <cstring>

namespace {

using Values = Readout;
using Link = TransmitterLink;

// Formats into text and answers it, so that every step shows in one expression.
template <class Format, class... Args>
const char* Shown(NumberText& text, Format format, Args... args) {
    format(text, args...);
    return text;
}

} // namespace

uint32_t DateBits(const CalibrationDate& date) {
    uint32_t bits;
    std::memcpy(&bits, &date, sizeof bits);
    return bits;
}

const ReadoutStep ReadoutSteps[ReadoutStepCount] = {
    {"firmware version", 2,
     [](Link& l, Values& v) { return l.GetFirmwareVersion(v.FirmwareVersion); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatVersion, v.FirmwareVersion); }},
    {"production number", 4,
     [](Link& l, Values& v) { return l.GetProductionNumber(v.ProductionNumber); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatInteger, v.ProductionNumber); }},
    {"output wiring", 1, [](Link& l, Values& v) { return l.GetOutputWiring(v.OutputWiring); },
     [](const Values& v, NumberText&) { return OutputWiringName(v.OutputWiring); }},
    {"probe type", 1, [](Link& l, Values& v) { return l.GetProbeType(v.ProbeType); },
     [](const Values& v, NumberText&) { return ProbeTypeName(v.ProbeType); }},
    {"calibration date", 4, [](Link& l, Values& v) { return l.GetCalibrationDate(v.Calibration); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatDate, DateBits(v.Calibration)); }},
    {"damping", 1, [](Link& l, Values& v) { return l.GetDamping(v.Damping); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatInteger, v.Damping); }},
    {"offset", 4, [](Link& l, Values& v) { return l.GetOffset(v.Offset); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.Offset, 3); }},
    {"sensitivity", 4, [](Link& l, Values& v) { return l.GetSensitivity(v.Sensitivity); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.Sensitivity, 3); }},
    {"depth", 4, [](Link& l, Values& v) { return l.GetDepth(v.Depth); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.Depth, 3); }},
    {"lower range", 4, [](Link& l, Values& v) { return l.GetLowerRange(v.LowerRange); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.LowerRange, 2); }},
    {"upper range", 4, [](Link& l, Values& v) { return l.GetUpperRange(v.UpperRange); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.UpperRange, 2); }},
    {"probe voltage", 4, [](Link& l, Values& v) { return l.GetProbeVoltage(v.ProbeVoltage); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.ProbeVoltage, 3); }},
    {"measured value", 4, [](Link& l, Values& v) { return l.GetMeasuredValue(v.MeasuredValue); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.MeasuredValue, 2); }},
    // The transmitter reports a fraction; the tool shows percent.
    {"ratio", 4, [](Link& l, Values& v) { return l.GetRatio(v.Ratio); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.Ratio * 100.0f, 2); }},
};
