// The tool's own link to the transmitter over the virtual cable, against the
// simulated transmitter on the other end.
#include "devlink/transmitter_link.h"
#include "line/sim_on_cable.h"
#include "sim/sim_console.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Less than the 200 ms read time-out, for the jitter of Wine's timers.
constexpr milliseconds TimeoutFloor(180);

// The bits of any value of up to four bytes, so that floats compare exactly.
template <class T> uint32_t Bits(const T& value) {
    static_assert(sizeof(T) <= 4, "a value of the command map");
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof value);
    return bits;
}

template <class T> T FromBits(uint32_t bits) {
    T value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

struct LinkOnCable : ::testing::Test {
    template <class F> auto Model(F&& use) { return Sim.Server.WithModel(use); }
    void SetUp() override {
        ASSERT_TRUE(Sim.Started);
        Model([this](TransmitterModel& m) {
            m.Log = [this](const std::string& line) { Log.push_back(line); };
        });
        ASSERT_TRUE(Link.Open("COM5"));
    }

    // A command of the simulator's language ("set damping 17", "fault cut").
    void Steer(const std::string& command) {
        std::vector<std::string> out;
        CommandResult result =
            Model([&](TransmitterModel& m) { return RunSimCommand(m, command, out); });
        ASSERT_EQ(result, CommandResult::Ok) << command << ": " << out.back();
    }
    // The log lines of the requests received since the last call, and of
    // the replies when asked for.
    std::vector<std::string> Lines(const char* kind = "RX") {
        std::vector<std::string> lines;
        Model([&](TransmitterModel&) {
            for (; Seen < Log.size(); ++Seen)
                if (Log[Seen].compare(0, 2, kind) == 0) lines.push_back(Log[Seen]);
        });
        return lines;
    }
    // The value an accessor delivers, as bits; Unchanged when it fails.
    template <class T, class L> uint32_t Get(bool (L::*get)(T&)) {
        T value = FromBits<T>(Unchanged);
        return (Link.*get)(value) ? Bits(value) : Unchanged;
    }
    // The bytes waiting in the tool's receive queue. The port belongs to the
    // link; the test only looks.
    DWORD Queued() {
        DWORD errors = 0;
        COMSTAT status = {};
        return ClearCommError(Link.Port->Handle, &errors, &status) ? status.cbInQue : 0;
    }
    bool WaitUntilQueued(DWORD count) {
        for (Clock::time_point until = Clock::now() + std::chrono::seconds(5); Clock::now() < until;
             Sleep(5)) {
            if (Queued() >= count) return true;
        }
        return false;
    }

    static constexpr uint32_t Unchanged = 0x5A5A5A5A;
    std::vector<std::string> Log; // written under the model's lock
    size_t Seen = 0;
    SimOnCable Sim; // stopped before the log goes
    TransmitterLink Link;
};

TEST_F(LinkOnCable, IdentifiesTheTransmitterAndKeepsTheLastText) {
    EXPECT_STREQ(Link.Identify(), "VL4");
    Steer("set ident ZD2W50");
    EXPECT_STREQ(Link.Identify(), "ZD2W50");
    // A foreign device of eight characters: all of them, terminated.
    Steer("fault ident ABCDEFGH");
    EXPECT_STREQ(Link.Identify(), "ABCDEFGH");
    Steer("fault noreply");
    EXPECT_EQ(Link.Identify(), nullptr);
    EXPECT_STREQ(Link.IdentText, "ABCDEFGH");
    EXPECT_EQ(Lines(), std::vector<std::string>(4, "RX 01 21 00 DE"));
}

TEST_F(LinkOnCable, ReadsEveryValueAsTheTransmitterHoldsIt) {
    for (const char* setting :
         {"set firmware 0x021A", "set production -2", "set wiring 2", "set probe 1",
          "set damping 17", "set caldate 2026-12-06", "set lower 0xC47A0000",
          "set upper 0x447A2000", "set offset 0x3DCCCCCD", "set sensitivity 0xBF7FFFFF",
          "set voltage 0x42F6E979"})
        Steer(setting);
    // A signalling NaN with a payload loses a bit wherever it passes the FPU.
    Model([](TransmitterModel& m) { std::memcpy(&m.Values.Depth, "\x01\x00\xA0\x7F", 4); });
    Lines();

    const uint32_t got[] = {
        Get(&TransmitterLink::GetFirmwareVersion), Get(&TransmitterLink::GetProductionNumber),
        Get(&TransmitterLink::GetOutputWiring),    Get(&TransmitterLink::GetProbeType),
        Get(&TransmitterLink::GetCalibrationDate), Get(&TransmitterLink::GetDamping),
        Get(&TransmitterLink::GetOffset),          Get(&TransmitterLink::GetSensitivity),
        Get(&TransmitterLink::GetDepth),           Get(&TransmitterLink::GetLowerRange),
        Get(&TransmitterLink::GetUpperRange),      Get(&TransmitterLink::GetProbeVoltage),
        Get(&TransmitterLink::GetMeasuredValue),   Get(&TransmitterLink::GetRatio),
    };
    const std::vector<uint32_t> held = Model([](TransmitterModel& m) {
        const TransmitterValues& v = m.Values;
        float voltage = m.ProbeVoltage(false), measured = m.MeasuredValue(voltage);
        return std::vector<uint32_t>{v.FirmwareVersion,  Bits(v.ProductionNumber), v.OutputWiring,
                                     v.ProbeType,        v.CalibrationDate,        v.Damping,
                                     Bits(v.Offset),     Bits(v.Sensitivity),      Bits(v.Depth),
                                     Bits(v.LowerRange), Bits(v.UpperRange),       Bits(voltage),
                                     Bits(measured),     Bits(m.Ratio(measured))};
    });
    EXPECT_EQ(std::vector<uint32_t>(std::begin(got), std::end(got)), held);
    // Spot checks that the model holds what was set, in the wire's encoding.
    EXPECT_EQ(got[1], 0xFFFFFFFEu);
    EXPECT_EQ(got[4], 0x20261206u);
    EXPECT_EQ(got[8], 0x7FA00001u);
    EXPECT_EQ(got[11], 0x42F6E979u);
    EXPECT_EQ(Lines(), (std::vector<std::string>{
                           "RX 01 22 00 DD", "RX 01 23 00 DC", "RX 01 2A 00 D5", "RX 01 2B 00 D4",
                           "RX 01 2D 00 D2", "RX 01 2C 00 D3", "RX 01 30 00 CF", "RX 01 31 00 CE",
                           "RX 01 32 00 CD", "RX 01 2E 00 D1", "RX 01 2F 00 D0", "RX 01 24 00 DB",
                           "RX 01 25 00 DA", "RX 01 26 00 D9"}));
}

TEST_F(LinkOnCable, WritesLeaveWhatTheTransmitterStoredInTheCallersVariable) {
    float offset = 0.0f, sensitivity = 57.5f, lower = -3.25f, upper = 1e6f, depth = 12.125f;
    EXPECT_TRUE(Link.SetOffset(offset));
    EXPECT_TRUE(Link.SetSensitivity(sensitivity));
    EXPECT_TRUE(Link.SetLowerRange(lower));
    EXPECT_TRUE(Link.SetUpperRange(upper));
    EXPECT_TRUE(Link.SetDepth(depth));
    EXPECT_TRUE(Link.SetDamping(5));
    CalibrationDate date = {0x06, 0x12, 0x2026};
    EXPECT_TRUE(Link.SetCalibrationDate(date));
    EXPECT_EQ(Bits(date), 0x20261206u);
    Model([&](TransmitterModel& m) {
        EXPECT_EQ(Bits(m.Values.Offset), Bits(offset));
        EXPECT_EQ(m.Values.Sensitivity, 57.5f);
        EXPECT_EQ(m.Values.LowerRange, -3.25f);
        EXPECT_EQ(m.Values.UpperRange, 1e6f);
        EXPECT_EQ(m.Values.Depth, 12.125f);
        EXPECT_EQ(m.Values.CalibrationDate, 0x20261206u);
    });
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{"RX 01 30 04 00 00 00 00 CB", "RX 01 31 04 00 00 66 42 22",
                                        "RX 01 2E 04 00 00 50 C0 BD", "RX 01 2F 04 00 24 74 49 EB",
                                        "RX 01 32 04 00 00 42 41 46", "RX 01 2C 01 05 CD",
                                        "RX 01 2D 04 06 12 26 20 70"}));

    // The transmitter keeps the probe out of the air: the reply, not the
    // value sent, comes back.
    depth = -2.5f;
    EXPECT_TRUE(Link.SetDepth(depth));
    EXPECT_EQ(Bits(depth), Bits(0.0f));
    // It limits damping to 30; SetDamping drops the reply, a read shows it.
    EXPECT_TRUE(Link.SetDamping(40));
    BYTE damping = 0;
    EXPECT_TRUE(Link.GetDamping(damping));
    EXPECT_EQ(damping, 30);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"RX 01 32 04 00 00 20 C0 E9", "RX 01 2C 01 28 AA",
                                                 "RX 01 2C 00 D3"}));

    BYTE probe = ProbeOxygen;
    EXPECT_TRUE(Link.SetProbeType(probe));
    EXPECT_EQ(probe, ProbeOxygen);
    // A probe type it lacks gets no answer: the write fails after the read
    // time-out and the caller keeps the value it meant to write.
    probe = 7;
    Clock::time_point start = Clock::now();
    EXPECT_FALSE(Link.SetProbeType(probe));
    EXPECT_GE(Clock::now() - start, TimeoutFloor);
    EXPECT_EQ(probe, 7);
    EXPECT_EQ(Model([](TransmitterModel& m) { return m.Values.ProbeType; }), ProbeOxygen);
    EXPECT_EQ(Lines(),
              (std::vector<std::string>{"RX 01 2B 01 03 D0",
                                        "RX 01 2B 01 07 CC  [refused: no such probe type]"}));
}

TEST_F(LinkOnCable, ADamagedReplyFailsWithoutAValueAndTheNextReadSucceeds) {
    Steer("set offset 0.75");
    const uint32_t held = Bits(0.75f);
    for (const char* kind : {"noreply", "badsum", "cut", "badlength", "badstart"}) {
        SCOPED_TRACE(kind);
        Steer(std::string("fault ") + kind);
        Lines();
        Clock::time_point start = Clock::now();
        EXPECT_EQ(Get(&TransmitterLink::GetOffset), Unchanged);
        // Only a reply that never completes costs the read time-out.
        if (std::string(kind) == "noreply" || std::string(kind) == "cut") {
            EXPECT_GE(Clock::now() - start, TimeoutFloor);
        }
        std::vector<std::string> replies = Lines("TX");
        ASSERT_EQ(replies.size(), 1u);
        EXPECT_NE(replies[0].find(std::string("[") + kind + "]"), std::string::npos) << replies[0];
        EXPECT_EQ(Get(&TransmitterLink::GetOffset), held);
    }
    // Noise after a good reply does not become the start of the next one.
    Steer("fault garbage after 3");
    EXPECT_EQ(Get(&TransmitterLink::GetOffset), held);
    EXPECT_EQ(Get(&TransmitterLink::GetDamping), 5u);
    EXPECT_EQ(Get(&TransmitterLink::GetFirmwareVersion), 0x0102u);
}

TEST_F(LinkOnCable, AReplyLaterThanItsTransactionIsNeverTakenForALaterValue) {
    // Every late reply carries stamps (A1, A2 ...) in place of its data.
    struct {
        uint32_t (*Read)(LinkOnCable&);
        DWORD ReplySize;
        uint32_t Held;
    } const reads[] = {
        {[](LinkOnCable& t) { return t.Get(&TransmitterLink::GetDamping); }, 4, 5},
        {[](LinkOnCable& t) { return t.Get(&TransmitterLink::GetFirmwareVersion); }, 5, 0x0102},
        {[](LinkOnCable& t) { return t.Get(&TransmitterLink::GetOffset); }, 7, 0},
    };
    for (const auto& late : reads) {
        for (const auto& next : reads) {
            Steer("fault late 300 unique");
            EXPECT_EQ(late.Read(*this), Unchanged);
            // The stale reply is in before the next request goes out.
            ASSERT_TRUE(WaitUntilQueued(late.ReplySize));
            EXPECT_EQ(next.Read(*this), next.Held);
        }
    }
    std::vector<std::string> replies = Lines("TX");
    EXPECT_EQ(replies.size(), 18u);
    EXPECT_EQ(replies[0], "TX 06 01 A1 58  [late 300 ms]");
}

} // namespace
