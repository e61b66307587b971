#include "readout.h"

#include "app/texts.h"
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

uint32_t DateBits(const CalibrationDate& date) {
    uint32_t bits;
    std::memcpy(&bits, &date, sizeof bits);
    return bits;
}

} // namespace

const ReadoutStep ReadoutSteps[ReadoutStepCount] = {
    {"firmware version", Text::FirmwareLabel, 2,
     [](Link& l, Values& v) { return l.GetFirmwareVersion(v.FirmwareVersion); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatVersion, v.FirmwareVersion); }},
    {"production number", Text::ProductionNumberLabel, 4,
     [](Link& l, Values& v) { return l.GetProductionNumber(v.ProductionNumber); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatInteger, v.ProductionNumber); }},
    {"output wiring", Text::OutputLabel, 1,
     [](Link& l, Values& v) { return l.GetOutputWiring(v.OutputWiring); },
     [](const Values& v, NumberText&) { return OutputWiringName(v.OutputWiring); }},
    {"probe type", Text::ProbeLabel, 1,
     [](Link& l, Values& v) { return l.GetProbeType(v.ProbeType); },
     [](const Values& v, NumberText&) { return ProbeTypeName(v.ProbeType); }},
    {"calibration date", Text::CalibrationLabel, 4,
     [](Link& l, Values& v) { return l.GetCalibrationDate(v.Calibration); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatDate, DateBits(v.Calibration)); }},
    {"damping", Text::DampingLabel, 1, [](Link& l, Values& v) { return l.GetDamping(v.Damping); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatInteger, v.Damping); }},
    {"offset", Text::OffsetLabel, 4, [](Link& l, Values& v) { return l.GetOffset(v.Offset); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.Offset, 3); }},
    {"sensitivity", Text::SensitivityLabel, 4,
     [](Link& l, Values& v) { return l.GetSensitivity(v.Sensitivity); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.Sensitivity, 3); }},
    {"depth", Text::DepthLabel, 4, [](Link& l, Values& v) { return l.GetDepth(v.Depth); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.Depth, 3); }},
    {"lower range", Text::LowerRangeLabel, 4,
     [](Link& l, Values& v) { return l.GetLowerRange(v.LowerRange); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.LowerRange, 2); }},
    {"upper range", Text::UpperRangeLabel, 4,
     [](Link& l, Values& v) { return l.GetUpperRange(v.UpperRange); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.UpperRange, 2); }},
    {"probe voltage", Text::ProbeVoltageLabel, 4,
     [](Link& l, Values& v) { return l.GetProbeVoltage(v.ProbeVoltage); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.ProbeVoltage, 3); }},
    {"measured value", Text::MeasuredValueLabel, 4,
     [](Link& l, Values& v) { return l.GetMeasuredValue(v.MeasuredValue); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.MeasuredValue, 2); }},
    // The transmitter reports a fraction; the tool shows percent.
    {"ratio", Text::RatioLabel, 4, [](Link& l, Values& v) { return l.GetRatio(v.Ratio); },
     [](const Values& v, NumberText& t) { return Shown(t, FormatFloat, v.Ratio * 100.0f, 2); }},
};
