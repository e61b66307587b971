#include "stress/link_values.h"

#include <chrono>
#include <cstring>

namespace {

template <class T, class L> bool Bits(TransmitterLink& link, bool (L::*get)(T&), uint32_t& bits) {
    static_assert(sizeof(T) <= 4, "a value of the command map");
    T value;
    if (!(link.*get)(value)) return false;
    bits = 0;
    std::memcpy(&bits, &value, sizeof value);
    return true;
}

using Link = TransmitterLink;

// Pins the probe voltage and gives the byte values and the ranges values
// of their own, so that no two reads of one size share a value.
void HoldDistinctValues(TransmitterModel& m) {
    m.Values.OutputWiring = 2;
    m.Values.ProbeType = 0;
    m.Values.Damping = 17;
    m.Values.LowerRange = -2.0f;
    m.Values.UpperRange = 16.0f;
    m.Values.Offset = 0.5f;
    m.Probe.Pinned = true;
    m.Probe.PinnedVoltage = 123.25f;
    m.Probe.NoiseMv = 0.0f;
}

} // namespace

const ValueRead ValueReads[ValueReadCount] = {
    {"firmware version", 2,
     [](Link& l, uint32_t& b) { return Bits(l, &Link::GetFirmwareVersion, b); }},
    {"production number", 4,
     [](Link& l, uint32_t& b) { return Bits(l, &Link::GetProductionNumber, b); }},
    {"output wiring", 1, [](Link& l, uint32_t& b) { return Bits(l, &Link::GetOutputWiring, b); }},
    {"probe type", 1, [](Link& l, uint32_t& b) { return Bits(l, &Link::GetProbeType, b); }},
    {"calibration date", 4,
     [](Link& l, uint32_t& b) { return Bits(l, &Link::GetCalibrationDate, b); }},
    {"damping", 1, [](Link& l, uint32_t& b) { return Bits(l, &Link::GetDamping, b); }},
    {"offset", 4, [](Link& l, uint32_t& b) { return Bits(l, &Link::GetOffset, b); }},
    {"sensitivity", 4, [](Link& l, uint32_t& b) { return Bits(l, &Link::GetSensitivity, b); }},
    {"depth", 4, [](Link& l, uint32_t& b) { return Bits(l, &Link::GetDepth, b); }},
    {"lower range", 4, [](Link& l, uint32_t& b) { return Bits(l, &Link::GetLowerRange, b); }},
    {"upper range", 4, [](Link& l, uint32_t& b) { return Bits(l, &Link::GetUpperRange, b); }},
    {"probe voltage", 4, [](Link& l, uint32_t& b) { return Bits(l, &Link::GetProbeVoltage, b); }},
    {"measured value", 4, [](Link& l, uint32_t& b) { return Bits(l, &Link::GetMeasuredValue, b); }},
    {"ratio", 4, [](Link& l, uint32_t& b) { return Bits(l, &Link::GetRatio, b); }},
};

int Tally::Total() const {
    int total = 0;
    for (int count : Count) total += count;
    return total;
}

std::string Tally::Text() const {
    static const char* const names[] = {"right", "failed", "own late", "stamp", "stale", "alien"};
    std::string text;
    for (int kind = 0; kind < static_cast<int>(Verdict::Kinds); ++kind) {
        text += text.empty() ? "" : ", ";
        text += std::string(names[kind]) + " " + std::to_string(Count[kind]);
    }
    return text;
}

bool IsStamp(uint32_t bits, int size) {
    for (int i = 0; i < size; ++i) {
        if ((bits >> (8 * i) & 0xF0) != 0xA0) return false;
    }
    return true;
}

void LinkAgainstSim::SetUp() {
    ASSERT_TRUE(Sim.Started);
    Model(HoldDistinctValues);
    ASSERT_TRUE(Link.Open("COM5"));
    Counter.Watched = Link.Port->Handle;
    for (const ValueRead& read : ValueReads) {
        uint32_t bits = 0;
        ASSERT_TRUE(read.Read(Link, bits)) << read.Name;
        ASSERT_FALSE(IsStamp(bits, read.Size)) << read.Name;
        for (size_t other = 0; other < Held.size(); ++other) {
            if (ValueReads[other].Size == read.Size) {
                ASSERT_NE(Held[other], bits) << read.Name << " and " << ValueReads[other].Name;
            }
        }
        Held.push_back(bits);
    }
    Model([](TransmitterModel& m) { m.Requests = 0; });
}

Verdict LinkAgainstSim::Judge(int read, bool ok, uint32_t bits, unsigned ownStamp) const {
    if (!ok) return Verdict::Failed;
    if (bits == Held[read]) return Verdict::Right;
    const int size = ValueReads[read].Size;
    if (IsStamp(bits, size)) {
        // A stamp carries as many digits of its number as the value has bytes.
        uint32_t digits = 0;
        for (int i = 0; i < size; ++i) digits |= (bits >> (8 * i) & 0x0F) << (4 * i);
        const uint32_t mask = (1u << (4 * size)) - 1; // sizes up to 4
        return ownStamp && digits == (ownStamp & mask) ? Verdict::OwnLate : Verdict::Stamp;
    }
    for (int other = 0; other < ValueReadCount; ++other) {
        if (ValueReads[other].Size == size && Held[other] == bits) return Verdict::Stale;
    }
    return Verdict::Alien;
}

bool LinkAgainstSim::Read(int read, uint32_t& bits) {
    ++Sent;
    return ValueReads[read].Read(Link, bits);
}

Verdict LinkAgainstSim::Transact(int read, unsigned ownStamp) {
    uint32_t bits = 0;
    bool ok = Read(read, bits);
    return Judge(read, ok, bits, ownStamp);
}

DWORD LinkAgainstSim::Queued() {
    DWORD errors = 0;
    COMSTAT status = {};
    return ClearCommError(Link.Port->Handle, &errors, &status) ? status.cbInQue : 0;
}

namespace {
// Polls until `done` or for at most 10 s.
template <class F> bool WaitFor(F&& done) {
    using Clock = std::chrono::steady_clock;
    for (Clock::time_point until = Clock::now() + std::chrono::seconds(10); Clock::now() < until;
         Sleep(2)) {
        if (done()) return true;
    }
    return false;
}
// Time for bytes written at one end of the cable to reach the other.
constexpr DWORD CrossingMs = 20;
} // namespace

bool LinkAgainstSim::WaitUntilQueued(DWORD count) {
    return WaitFor([&] { return Queued() >= count; });
}

bool LinkAgainstSim::Quiet() {
    bool quiet = WaitFor([&] {
        return Model([&](TransmitterModel& m) { return m.Requests == Sent; }) &&
               Sim.Server.RepliesOut();
    });
    Sleep(CrossingMs);
    return quiet;
}

bool LinkAgainstSim::Restart(bool paced) {
    bool quiet = Quiet();
    Sim.Server.Stop();
    return Sim.Server.Start(SimOnCable::Port, paced) && quiet;
}
