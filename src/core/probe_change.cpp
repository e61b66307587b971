#include "core/probe_change.h"

#include "core/number_text.h"
#include "devlink/probe_defaults.h"

namespace {

bool Write(TransmitterLink& link, ProbeChangeWrite& write) {
    uint32_t value = write.Sent;
    bool done;
    if (write.Step == ProbeChangeStep::Type) {
        BYTE type = static_cast<BYTE>(value);
        done = link.SetProbeType(type);
        value = type;
    } else {
        done = link.SetDword(write.Command, value);
    }
    write.Done = done;
    if (done) write.Returned = value;
    return done;
}

} // namespace

ProbeChange PlanProbeChange(BYTE probeType) {
    const ProbeParameters& defaults = ProbeDefaults[probeType % ProbeTypeCount];
    return {{
        {ProbeChangeStep::Type, CmdProbeType, probeType},
        {ProbeChangeStep::Offset, CmdOffset, BitsOfFloat(defaults.Offset)},
        {ProbeChangeStep::Sensitivity, CmdSensitivity, BitsOfFloat(defaults.Sensitivity)},
        {ProbeChangeStep::LowerRange, CmdLowerRange, BitsOfFloat(defaults.LowerRange)},
        {ProbeChangeStep::UpperRange, CmdUpperRange, BitsOfFloat(defaults.UpperRange)},
        {ProbeChangeStep::Date, CmdCalibrationDate, 0},
    }};
}

bool WriteProbeChange(TransmitterLink& link, ProbeChange& change) {
    bool all = true;
    for (ProbeChangeWrite& write : change.Writes) all &= Write(link, write);
    return all;
}
