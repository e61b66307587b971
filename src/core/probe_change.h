#pragma once

#include "devlink/transmitter_link.h"

#include <cstdint>

// A change of the probe type, as the window's probe dialog and vl4 load make
// it: the type, then the new probe's defaults and no calibration date, so
// that nothing of the old probe's calibration stays behind (a chlorine probe
// with a pH electrode's negative slope measures nonsense).

enum class ProbeChangeStep { Type, Offset, Sensitivity, LowerRange, UpperRange, Date };
constexpr int ProbeChangeStepCount = 6;

struct ProbeChangeWrite {
    ProbeChangeStep Step;
    BYTE Command;
    uint32_t Sent;         // a byte, a float's bits or a BCD date
    uint32_t Returned = 0; // what the transmitter's reply carried
    bool Done = false;     // a reply came
};

struct ProbeChange {
    ProbeChangeWrite Writes[ProbeChangeStepCount];
};

// The writes for a type of the four, in the transmitter's order.
ProbeChange PlanProbeChange(BYTE probeType);

// Every write is tried, in order, whatever became of the others: a write that
// got no reply must not keep the rest of the old probe's values in place.
// Answers whether every write got a reply.
bool WriteProbeChange(TransmitterLink& link, ProbeChange& change);
