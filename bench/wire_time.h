#pragma once

#include "core/readout.h"

// How long bytes take on a real line at 9600 baud: the floor the transmitter
// itself sets, against which the benchmarks measure.

constexpr double BitsPerByte = 10; // start bit, 8 data bits, stop bit
constexpr double BaudRate = 9600;
constexpr int RequestBytes = 4;  // a read request carries no data
constexpr int ReplyOverhead = 3; // start, length, checksum
constexpr int IdentificationSize = 8;

inline double WireMs(int bytes) {
    return bytes * BitsPerByte * 1000.0 / BaudRate;
}

// A read: its request and the reply with the value.
inline double ReadWireMs(int valueSize) {
    return WireMs(RequestBytes + ReplyOverhead + valueSize);
}

// The reads of a full read-out, without the identification before them.
inline double ReadoutWireMs() {
    double sum = 0;
    for (const ReadoutStep& step : ReadoutSteps) sum += ReadWireMs(step.ValueSize);
    return sum;
}
