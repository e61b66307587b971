#include "sim/transmitter_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

// A transmitter in its power-up state, with every log line kept.
struct SimTransmitter : ::testing::Test {
    SimTransmitter() {
        Model.Log = [this](const std::string& line) { Log.push_back(line); };
    }
    // Everything the transmitter puts on the line in answer to the bytes.
    Bytes Ask(const Bytes& request) { return Wire(Model.Receive(request)); }
    Bytes Read(uint8_t command) { return Ask(RequestFrame(command)); }
    Bytes Write(uint8_t command, const Bytes& value) { return Ask(RequestFrame(command, value)); }
    float ReadFloat(uint8_t command) {
        Bytes reply = Read(command);
        EXPECT_EQ(reply.size(), 7u);
        return reply.size() == 7 ? FloatFromBits(GetLe32(&reply[2])) : NAN;
    }
    // Log line i, or a marker when there is none, so a short log fails
    // the comparison instead of the program.
    std::string Line(size_t i) const { return i < Log.size() ? Log[i] : "(no line)"; }
    static Bytes Wire(const std::vector<SimReply>& replies) {
        Bytes wire;
        for (const SimReply& r : replies) wire.insert(wire.end(), r.Wire.begin(), r.Wire.end());
        return wire;
    }

    TransmitterModel Model;
    std::vector<std::string> Log;
};

using SimReplies = SimTransmitter;
using SimStream = SimTransmitter;
using SimFaults = SimTransmitter;
using SimLiveValues = SimTransmitter;

TEST_F(SimReplies, ReadsCarryThePowerUpValues) {
    EXPECT_EQ(Read(CmdIdentify),
              (Bytes{0x06, 0x08, 0x56, 0x4C, 0x34, 0x00, 0x00, 0x00, 0x00, 0x00, 0x1C}));
    EXPECT_EQ(Read(CmdFirmwareVersion), (Bytes{0x06, 0x02, 0x02, 0x01, 0xF5}));
    EXPECT_EQ(Read(CmdProductionNumber), (Bytes{0x06, 0x04, 0x2D, 0xAB, 0x24, 0x00, 0xFA}));
    EXPECT_EQ(Read(CmdOutputWiring), (Bytes{0x06, 0x01, 0x00, 0xF9}));
    EXPECT_EQ(Read(CmdProbeType), (Bytes{0x06, 0x01, 0x00, 0xF9}));
    EXPECT_EQ(Read(CmdDamping), (Bytes{0x06, 0x01, 0x05, 0xF4}));
    EXPECT_EQ(Read(CmdCalibrationDate), (Bytes{0x06, 0x04, 0x15, 0x03, 0x24, 0x20, 0x9A}));
    EXPECT_EQ(Read(CmdUpperRange), (Bytes{0x06, 0x04, 0x00, 0x00, 0x60, 0x41, 0x55}));
    EXPECT_EQ(Read(CmdSensitivity), (Bytes{0x06, 0x04, 0xD7, 0xA3, 0x6C, 0xC2, 0x4E}));
    // A pH probe in a neutral solution gives 0 mV.
    EXPECT_EQ(Read(CmdProbeVoltage), (Bytes{0x06, 0x04, 0x00, 0x00, 0x00, 0x00, 0xF6}));
    EXPECT_EQ(Read(CmdLowerRange), ReplyFrame(FloatBytes(0.0f)));
    EXPECT_EQ(Read(CmdOffset), ReplyFrame(FloatBytes(0.0f)));
    EXPECT_EQ(Read(CmdDepth), ReplyFrame(FloatBytes(1.0f)));
    EXPECT_EQ(Line(0), "RX 01 21 00 DE");
    EXPECT_EQ(Line(1), "TX 06 08 56 4C 34 00 00 00 00 00 1C");
    EXPECT_EQ(Model.Requests, 13u);
}

TEST_F(SimReplies, UnknownCommandsAndMisfitRequestsGoUnanswered) {
    for (uint8_t unused : {0x20, 0x27, 0x28, 0x29, 0x33, 0x00, 0xFF}) {
        EXPECT_TRUE(Read(unused).empty()) << int(unused);
    }
    EXPECT_EQ(Line(0), "RX 01 20 00 DF  [unknown command]");
    // Read-only values refuse writes; a write must carry the value's size.
    EXPECT_TRUE(Write(CmdIdentify, {0x41}).empty());
    EXPECT_TRUE(Write(CmdProbeVoltage, FloatBytes(1.0f)).empty());
    EXPECT_TRUE(Write(CmdProbeType, Le32(2)).empty());
    EXPECT_TRUE(Write(CmdOffset, {0x05}).empty());
    EXPECT_EQ(Model.Values.ProbeType, 0);
    EXPECT_EQ(Model.Values.Offset, 0.0f);
    EXPECT_EQ(Line(Log.size() - 1), "RX 01 30 01 05 C9  [wrong length]");
    // Nothing unanswered disturbs the next request.
    EXPECT_EQ(Read(CmdProbeType), (Bytes{0x06, 0x01, 0x00, 0xF9}));
}

TEST_F(SimReplies, WritesAreAnsweredWithWhatWasStored) {
    EXPECT_EQ(Ask({0x01, 0x30, 0x04, 0x00, 0x00, 0xC0, 0x3F, 0xCC}),
              (Bytes{0x06, 0x04, 0x00, 0x00, 0xC0, 0x3F, 0xF7}));
    EXPECT_EQ(Model.Values.Offset, 1.5f);
    EXPECT_EQ(Read(CmdOffset), ReplyFrame(FloatBytes(1.5f)));

    // Damping is limited to 30.
    EXPECT_EQ(Ask({0x01, 0x2C, 0x01, 0x28, 0xAA}), (Bytes{0x06, 0x01, 0x1E, 0xDB}));
    EXPECT_EQ(Model.Values.Damping, 30);
    EXPECT_EQ(Write(CmdDamping, {0}), ReplyFrame({0}));
    EXPECT_EQ(Write(CmdDamping, {30}), ReplyFrame({30}));

    // A probe type the device lacks is refused without an answer.
    EXPECT_EQ(Ask({0x01, 0x2B, 0x01, 0x03, 0xD0}), (Bytes{0x06, 0x01, 0x03, 0xF6}));
    EXPECT_TRUE(Ask({0x01, 0x2B, 0x01, 0x04, 0xCF}).empty());
    EXPECT_EQ(Model.Values.ProbeType, 3);
    EXPECT_EQ(Line(Log.size() - 1), "RX 01 2B 01 04 CF  [refused: no such probe type]");

    // The date is kept as sent; the probe type dialog clears it with 0.
    EXPECT_EQ(Write(CmdCalibrationDate, Le32(0x20261206)), ReplyFrame(Le32(0x20261206)));
    EXPECT_EQ(Write(CmdCalibrationDate, Le32(0)), ReplyFrame(Le32(0)));
    EXPECT_EQ(Model.Values.CalibrationDate, 0u);

    for (float bad : {NAN, INFINITY, -INFINITY}) {
        EXPECT_TRUE(Write(CmdSensitivity, FloatBytes(bad)).empty());
    }
    EXPECT_EQ(Model.Values.Sensitivity, -59.16f);
    for (uint8_t command : {CmdLowerRange, CmdUpperRange, CmdSensitivity}) {
        EXPECT_EQ(Write(command, FloatBytes(-2.25f)), ReplyFrame(FloatBytes(-2.25f)));
    }
    EXPECT_EQ(Model.Values.LowerRange, -2.25f);
    // A depth below the surface is stored as 0.
    EXPECT_EQ(Write(CmdDepth, FloatBytes(-2.25f)), ReplyFrame(FloatBytes(0.0f)));
    EXPECT_EQ(Write(CmdDepth, FloatBytes(2.25f)), ReplyFrame(FloatBytes(2.25f)));
    EXPECT_EQ(Write(CmdDepth, FloatBytes(-0.0f)), ReplyFrame(FloatBytes(0.0f)));
}

TEST_F(SimStream, ResynchronisesOnTheNextStartByte) {
    const Bytes probeRead = RequestFrame(CmdProbeType);
    const Bytes answer = ReplyFrame({0});

    Bytes noisy = {0x55, 0xAA, 0x06};
    noisy.insert(noisy.end(), probeRead.begin(), probeRead.end());
    EXPECT_EQ(Ask(noisy), answer);
    EXPECT_EQ(Line(0), "SKIP 55 AA 06");
    // Noise arriving a byte at a time is still one run; at the end of the
    // stream it is reported once the line falls quiet.
    for (uint8_t byte : {0xF0, 0x0F, 0x01, 0x2B, 0x00, 0xD4, 0x99, 0x98}) Ask({byte});
    EXPECT_EQ(Line(3), "SKIP F0 0F");
    EXPECT_TRUE(Model.LineIdle().empty());
    EXPECT_EQ(Line(Log.size() - 1), "SKIP 99 98");
    EXPECT_TRUE(Model.BetweenFrames());
    Log.clear();

    // A damaged frame costs only itself, also when the next follows at once.
    Bytes damaged = {0x01, 0x2B, 0x00, 0xD5};
    damaged.insert(damaged.end(), probeRead.begin(), probeRead.end());
    EXPECT_EQ(Ask(damaged), answer);
    EXPECT_EQ(Line(0), "RX 01 2B 00 D5  [bad checksum]");

    // A start byte followed by a length no request has is no frame.
    Bytes tooLong = {0x01, 0x2B, 0xC8};
    tooLong.insert(tooLong.end(), probeRead.begin(), probeRead.end());
    EXPECT_EQ(Ask(tooLong), answer);

    // An unknown command is skipped as a whole frame: the 01 inside it
    // starts nothing.
    Log.clear();
    EXPECT_TRUE(Ask({0x01, 0x27, 0x01, 0x01, 0xD6}).empty());
    EXPECT_EQ(Log, (std::vector<std::string>{"RX 01 27 01 01 D6  [unknown command]"}));
    EXPECT_TRUE(Model.BetweenFrames());
}

TEST_F(SimStream, TakesFramesInPiecesAndDropsThemWhenTheLineFallsQuiet) {
    const Bytes write = RequestFrame(CmdOffset, FloatBytes(2.0f));
    std::vector<size_t> wanted;
    Bytes reply;
    for (uint8_t byte : write) {
        wanted.push_back(Model.BytesWanted());
        reply = Ask({byte});
    }
    EXPECT_EQ(wanted, (std::vector<size_t>{1, 2, 1, 5, 4, 3, 2, 1}));
    EXPECT_EQ(reply, ReplyFrame(FloatBytes(2.0f)));

    // A frame broken off is not completed by the next request...
    EXPECT_TRUE(Ask({0x01, 0x2C, 0x01}).empty());
    EXPECT_TRUE(Model.LineIdle().empty());
    EXPECT_EQ(Read(CmdDamping), ReplyFrame({5}));

    // ...and a request swallowed by a false start is found once the line
    // is quiet.
    Bytes swallowed = {0x01, 0x2E, 0x04};
    Bytes read = RequestFrame(CmdDamping);
    swallowed.insert(swallowed.end(), read.begin(), read.end());
    EXPECT_TRUE(Ask(swallowed).empty());
    EXPECT_EQ(Wire(Model.LineIdle()), ReplyFrame({5}));
    EXPECT_TRUE(Model.BetweenFrames());
}

TEST_F(SimFaults, SwallowedRepliesAreCountedAndThenTheDeviceRecovers) {
    Model.Faults.Arm(Fault::NoReply, 2);
    Model.Faults.Arm(Fault::BadChecksum, 1);
    EXPECT_TRUE(Read(CmdDamping).empty());
    EXPECT_TRUE(Write(CmdDamping, {7}).empty());
    EXPECT_EQ(Model.Values.Damping, 7) << "the write itself took effect";
    EXPECT_EQ(Line(1), "TX -  [noreply]");
    // Faults armed together act on the next reply sent.
    Bytes bad = Read(CmdDamping);
    ASSERT_EQ(bad.size(), 4u);
    EXPECT_EQ(ByteSum(bad.data(), bad.size()), 1);
    EXPECT_EQ(Bytes(bad.begin(), bad.end() - 1), (Bytes{0x06, 0x01, 0x07}));
    EXPECT_EQ(Read(CmdDamping), ReplyFrame({7}));

    // Unanswered requests spend no fault.
    Model.Faults.Arm(Fault::BadStart, 1);
    EXPECT_TRUE(Read(0x27).empty());
    EXPECT_EQ(Read(CmdDamping), (Bytes{0x15, 0x01, 0x07, 0xF2}));
    Model.Faults.Arm(Fault::Cut, 3);
    Model.Faults.Clear();
    EXPECT_EQ(Read(CmdDamping), ReplyFrame({7}));
}

TEST_F(SimFaults, MalformedRepliesKeepWhatTheToolChecksFirst) {
    Model.Faults.Arm(Fault::BadLength, 1);
    EXPECT_EQ(Read(CmdProbeType), (Bytes{0x06, 0x02, 0x00, 0x00, 0xF8}));

    const Bytes full = ReplyFrame(FloatBytes(14.0f));
    Model.Faults.Arm(Fault::Cut, 2);
    EXPECT_EQ(Read(CmdUpperRange), Bytes(full.begin(), full.begin() + 4));
    EXPECT_EQ(Read(CmdProbeType), (Bytes{0x06, 0x01}));
    EXPECT_EQ(Line(3), "TX 06 04 00 00  [cut]");

    Model.Faults.ArmIdent({'X', 'Y', 'Z', 0, 0, 0, 0, 0}, 1);
    EXPECT_EQ(Read(CmdProbeType), ReplyFrame({0})) << "only identification spends it";
    EXPECT_EQ(Read(CmdIdentify),
              (Bytes{0x06, 0x08, 0x58, 0x59, 0x5A, 0x00, 0x00, 0x00, 0x00, 0x00, 0xE7}));
    EXPECT_EQ(Read(CmdIdentify), ReplyFrame({'V', 'L', '4', 0, 0, 0, 0, 0}));
}

TEST_F(SimFaults, LateRepliesCarryTheirDelayAndOptionallyAStamp) {
    Model.Faults.ArmLate(400, false, 1);
    std::vector<SimReply> late = Model.Receive(RequestFrame(CmdProbeType));
    ASSERT_EQ(late.size(), 1u);
    EXPECT_EQ(late[0].DelayMs, 400u);
    EXPECT_EQ(late[0].Wire, ReplyFrame({0}));
    EXPECT_EQ(Line(Log.size() - 1), "TX 06 01 00 F9  [late 400 ms]");

    Model.Faults.ArmLate(250, true, 2);
    EXPECT_EQ(Read(CmdProbeType), (Bytes{0x06, 0x01, 0xA1, 0x58}));
    EXPECT_EQ(Read(CmdProbeType), (Bytes{0x06, 0x01, 0xA2, 0x57}));
    EXPECT_EQ(Read(CmdUpperRange), ReplyFrame(FloatBytes(14.0f)));
    EXPECT_EQ(Model.Receive(RequestFrame(CmdProbeType))[0].DelayMs, 0u);

    // Every stamp byte is A0 to AF, its digit one of the count's, the first
    // byte's the lowest: a 4-byte stamp names its late reply.
    Model.Faults.ArmLate(250, true, 300);
    std::set<Bytes> stamps;
    for (unsigned n = 3; n < 303; ++n) {
        Bytes reply = Read(CmdUpperRange);
        ASSERT_EQ(reply.size(), 7u);
        unsigned count = 0;
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(reply[2 + i] & 0xF0, 0xA0);
            count |= (reply[2 + i] & 0x0Fu) << (4 * i);
        }
        EXPECT_EQ(count, n);
        stamps.insert(reply);
    }
    EXPECT_EQ(stamps.size(), 300u);
}

TEST_F(SimFaults, PausedRepliesGoOutInPiecesAndKeepTheirBytes) {
    const Bytes frame = ReplyFrame(FloatBytes(14.0f));
    Model.Faults.Arm(Fault::Gap, 1, 150);
    std::vector<SimReply> gap = Model.Receive(RequestFrame(CmdUpperRange));
    ASSERT_EQ(gap.size(), 1u);
    EXPECT_EQ(gap[0].Wire, frame);
    EXPECT_EQ(gap[0].PieceSize, 4u) << "two pieces";
    EXPECT_EQ(gap[0].GapMs, 150u);
    EXPECT_EQ(Line(Log.size() - 1), "TX 06 04 00 00 60 41 55  [gap 150 ms]");

    Model.Faults.Arm(Fault::Drip, 2, 90);
    Model.Faults.ArmLate(300, false, 1);
    std::vector<SimReply> drip = Model.Receive(RequestFrame(CmdProbeType));
    ASSERT_EQ(drip.size(), 1u);
    EXPECT_EQ(drip[0].PieceSize, 1u);
    EXPECT_EQ(drip[0].GapMs, 90u);
    EXPECT_EQ(drip[0].DelayMs, 300u);
    EXPECT_EQ(Line(Log.size() - 1), "TX 06 01 00 F9  [late 300 ms drip 90 ms]");
    EXPECT_EQ(Model.Receive(RequestFrame(CmdProbeType))[0].PieceSize, 1u);
    SimReply whole = Model.Receive(RequestFrame(CmdProbeType))[0];
    EXPECT_EQ(whole.PieceSize, 0u);
    EXPECT_EQ(whole.GapMs, 0u);
}

TEST_F(SimFaults, GarbageSurroundsOrSplitsAnIntactFrame) {
    const Bytes frame = ReplyFrame(FloatBytes(14.0f));
    auto startsWith = [](const Bytes& b, const Bytes& p) {
        return b.size() >= p.size() && std::equal(p.begin(), p.end(), b.begin());
    };
    auto endsWith = [](const Bytes& b, const Bytes& p) {
        return b.size() >= p.size() && std::equal(p.rbegin(), p.rend(), b.rbegin());
    };
    const Bytes head(frame.begin(), frame.begin() + 3), tail(frame.begin() + 3, frame.end());
    for (int round = 0; round < 20; ++round) {
        Model.Faults.Arm(Fault::GarbageBefore, 1);
        Bytes before = Read(CmdUpperRange);
        EXPECT_TRUE(endsWith(before, frame));
        Model.Faults.Arm(Fault::GarbageAfter, 1);
        Bytes after = Read(CmdUpperRange);
        EXPECT_TRUE(startsWith(after, frame));
        Model.Faults.Arm(Fault::GarbageInside, 1);
        Bytes inside = Read(CmdUpperRange);
        EXPECT_TRUE(startsWith(inside, head) && endsWith(inside, tail));
        for (const Bytes* b : {&before, &after, &inside}) {
            EXPECT_GT(b->size(), frame.size());
            EXPECT_LE(b->size(), frame.size() + FaultPlan::MaxGarbage);
        }
    }
    EXPECT_EQ(Read(CmdUpperRange), frame);

    // Garbage of a given size: exactly that many bytes, in the same places.
    for (unsigned size : {1u, 9u, 500u}) {
        Model.Faults.Arm(Fault::GarbageBefore, 1, size);
        Bytes before = Read(CmdUpperRange);
        EXPECT_TRUE(endsWith(before, frame));
        Model.Faults.Arm(Fault::GarbageInside, 1, size);
        Bytes inside = Read(CmdUpperRange);
        EXPECT_TRUE(startsWith(inside, head) && endsWith(inside, tail));
        Model.Faults.Arm(Fault::GarbageAfter, 1, size);
        Bytes after = Read(CmdUpperRange);
        EXPECT_TRUE(startsWith(after, frame));
        for (const Bytes* b : {&before, &inside, &after}) EXPECT_EQ(b->size(), frame.size() + size);
    }
}

TEST_F(SimLiveValues, FollowTheSolutionThroughTheElectrodeAndTheStoredCalibration) {
    // pH 4 on a nominal electrode: 3 x 59.16 mV, measured back as 4.
    Model.Probe.Solution = 4.0f;
    EXPECT_FLOAT_EQ(ReadFloat(CmdProbeVoltage), 177.48f);
    EXPECT_FLOAT_EQ(ReadFloat(CmdMeasuredValue), 4.0f);
    EXPECT_FLOAT_EQ(ReadFloat(CmdRatio), 4.0f / 14.0f);

    // An electrode off its nominal values reads wrong until the transmitter
    // is calibrated to it.
    Model.Probe.Solution = 7.0f;
    Model.Probe.Offset = 12.0f;
    Model.Probe.OwnSensitivity = true;
    Model.Probe.Sensitivity = -57.0f;
    EXPECT_FLOAT_EQ(ReadFloat(CmdMeasuredValue), 7.0f + 12.0f / -59.16f);
    Write(CmdOffset, FloatBytes(12.0f));
    Write(CmdSensitivity, FloatBytes(-57.0f));
    Model.Probe.Solution = 9.0f;
    EXPECT_FLOAT_EQ(ReadFloat(CmdProbeVoltage), 12.0f - 114.0f);
    EXPECT_FLOAT_EQ(ReadFloat(CmdMeasuredValue), 9.0f);
}

TEST_F(SimLiveValues, EachProbeTypeHasItsOwnLaw) {
    Model.Probe.Offset = 10.0f;
    Write(CmdProbeType, {ProbeRedox});
    Write(CmdLowerRange, FloatBytes(-1000.0f));
    Write(CmdUpperRange, FloatBytes(1000.0f));
    Model.Probe.Solution = 250.0f;
    EXPECT_FLOAT_EQ(ReadFloat(CmdProbeVoltage), 260.0f);
    EXPECT_FLOAT_EQ(ReadFloat(CmdMeasuredValue), 260.0f) << "stored offset still 0";
    EXPECT_FLOAT_EQ(ReadFloat(CmdRatio), 0.63f);

    Model.Probe.Offset = 0.0f;
    Write(CmdProbeType, {ProbeChlorine});
    Write(CmdSensitivity, FloatBytes(200.0f));
    Write(CmdLowerRange, FloatBytes(0.0f));
    Write(CmdUpperRange, FloatBytes(2.0f));
    Model.Probe.Solution = 1.5f;
    EXPECT_FLOAT_EQ(ReadFloat(CmdProbeVoltage), 300.0f);
    EXPECT_FLOAT_EQ(ReadFloat(CmdMeasuredValue), 1.5f);
    EXPECT_FLOAT_EQ(ReadFloat(CmdRatio), 0.75f);

    Write(CmdProbeType, {ProbeOxygen});
    Model.Probe.Solution = 8.0f;
    EXPECT_FLOAT_EQ(ReadFloat(CmdProbeVoltage), 72.0f) << "nominal oxygen slope 9 mV";
}

TEST_F(SimLiveValues, APinnedVoltageAndDegenerateSettingsGiveFiniteValues) {
    Model.Probe.Pinned = true;
    Model.Probe.PinnedVoltage = -120.5f;
    Model.Probe.Solution = 2.0f;
    EXPECT_EQ(Read(CmdProbeVoltage), ReplyFrame(FloatBytes(-120.5f)));
    EXPECT_FLOAT_EQ(ReadFloat(CmdMeasuredValue), 7.0f + -120.5f / -59.16f);

    Write(CmdSensitivity, FloatBytes(0.0f));
    Write(CmdUpperRange, FloatBytes(0.0f));
    EXPECT_EQ(ReadFloat(CmdMeasuredValue), 0.0f);
    EXPECT_EQ(ReadFloat(CmdRatio), 0.0f);
}

TEST_F(SimLiveValues, AMoveSettlesExponentiallyAndADriftNeverStops) {
    double now = 100.0;
    Model.Probe.Now = [&] { return now; };
    auto voltageAt = [&](double seconds) {
        now = 100.0 + seconds;
        return ReadFloat(CmdProbeVoltage);
    };
    // From the 0 mV of pH 7 towards the 177.48 mV of pH 4, with tau 8 s.
    Model.Probe.SettleTauS = 8.0f;
    Model.Probe.MoveTo(ProbePH, 4.0f);
    EXPECT_FLOAT_EQ(voltageAt(0), 0.0f);
    EXPECT_FLOAT_EQ(voltageAt(8), 177.48 * (1 - std::exp(-1.0)));
    EXPECT_FLOAT_EQ(voltageAt(40), 177.48 * (1 - std::exp(-5.0)));
    // The measured value is read through the same settling voltage.
    const float voltage = voltageAt(8);
    EXPECT_FLOAT_EQ(ReadFloat(CmdMeasuredValue), 7.0f + voltage / -59.16f);
    // A move from mid-way starts from where the voltage was.
    Model.Probe.MoveTo(ProbePH, 7.0f);
    EXPECT_FLOAT_EQ(voltageAt(8), voltage);
    EXPECT_FLOAT_EQ(voltageAt(16), voltage * std::exp(-1.0));

    // The bench's electrode: 10 mV + 30 mV e^(-t/8 s), again after a move
    // into a fresh bottle of the same buffer.
    Model.Probe.Offset = 10.0f;
    Model.Probe.FixedExcess = true;
    Model.Probe.SettleMv = 30.0f;
    for (int bottle = 0; bottle < 2; ++bottle) {
        now = 100.0;
        bottle == 0 ? Model.Probe.MoveTo(ProbePH, 7.0f) : Model.Probe.Move(ProbePH);
        EXPECT_FLOAT_EQ(voltageAt(0), 40.0f);
        EXPECT_FLOAT_EQ(voltageAt(8), 10.0 + 30.0 * std::exp(-1.0));
        EXPECT_FLOAT_EQ(voltageAt(40), 10.0 + 30.0 * std::exp(-5.0));
    }
    Model.Probe.PinAt(ProbePH, -50.0f);
    EXPECT_FLOAT_EQ(voltageAt(48), -50.0 + 30.0 * std::exp(-1.0)) << "a pinned voltage settles too";

    // A drift adds up from its setting on; a new rate keeps what has drifted.
    Model.Probe.SettleTauS = 0.0f;
    now = 100.0;
    Model.Probe.MoveTo(ProbePH, 7.0f);
    Model.Probe.SetDrift(1.5f);
    EXPECT_FLOAT_EQ(voltageAt(0), 10.0f);
    EXPECT_FLOAT_EQ(voltageAt(120), 13.0f);
    Model.Probe.SetDrift(-3.0f);
    EXPECT_FLOAT_EQ(voltageAt(160), 11.0f);
    Model.Probe.SetDrift(0.0f);
    EXPECT_FLOAT_EQ(voltageAt(600), 11.0f);
    Model.Probe.Move(ProbePH);
    EXPECT_FLOAT_EQ(voltageAt(600), 10.0f) << "a move starts the electrode afresh";
}

TEST_F(SimLiveValues, APhSlopeFollowsTheAbsoluteTemperatureOtherProbesKeepTheirs) {
    Model.Probe.TemperatureC = 15.0f;
    Model.Probe.Solution = 4.0f;
    const double slope15 = 59.16 * 288.15 / 298.15;
    EXPECT_FLOAT_EQ(ReadFloat(CmdProbeVoltage), 3 * slope15);
    // A transmitter calibrated at 25 °C reads the cold buffer short of pH 4.
    EXPECT_FLOAT_EQ(ReadFloat(CmdMeasuredValue), 7.0 - 3 * slope15 / 59.16);
    Model.Probe.OwnSensitivity = true;
    Model.Probe.Sensitivity = -57.0f;
    EXPECT_FLOAT_EQ(ReadFloat(CmdProbeVoltage), 3 * 57.0 * 288.15 / 298.15);

    Model.Probe.OwnSensitivity = false;
    Write(CmdProbeType, {ProbeRedox});
    Model.Probe.Solution = 250.0f;
    EXPECT_FLOAT_EQ(ReadFloat(CmdProbeVoltage), 250.0f);
    Write(CmdProbeType, {ProbeChlorine});
    Model.Probe.Solution = 1.5f;
    EXPECT_FLOAT_EQ(ReadFloat(CmdProbeVoltage), 300.0f);
    Write(CmdProbeType, {ProbeOxygen});
    Model.Probe.Solution = 8.0f;
    EXPECT_FLOAT_EQ(ReadFloat(CmdProbeVoltage), 72.0f);
}

TEST_F(SimLiveValues, AnOxygenProbeInAirReadsWhatAirSaturatedWaterHolds) {
    Write(CmdProbeType, {ProbeOxygen});
    Model.Probe.Offset = 4.0f; // the zero current
    Model.Probe.TemperatureC = 15.0f;
    Model.Probe.PressureHpa = 954.61f; // 500 m above the sea
    Model.Probe.MoveToAir(ProbeOxygen);
    // 9.491 mg/L to three decimals, through the nominal 9 mV per mg/L.
    EXPECT_NEAR(ReadFloat(CmdProbeVoltage), 4.0 + 9 * 9.491, 9 * 0.0005);
    // Calibrated to the electrode, the transmitter measures the table's value.
    Write(CmdOffset, FloatBytes(4.0f));
    Write(CmdSensitivity, FloatBytes(9.0f));
    EXPECT_NEAR(ReadFloat(CmdMeasuredValue), 9.491, 0.0005);

    // The air's oxygen follows the conditions without another move.
    Model.Probe.TemperatureC = 25.0f;
    Model.Probe.PressureHpa = 1013.25f;
    EXPECT_NEAR(ReadFloat(CmdMeasuredValue), 8.263, 0.0005);
    Model.Probe.SalinityGPerKg = 35.0f;
    EXPECT_NEAR(ReadFloat(CmdMeasuredValue), 6.772, 0.0005);

    // A solution's value is a concentration again; 0 is the zero point.
    Model.Probe.MoveTo(ProbeOxygen, 0.0f);
    EXPECT_FALSE(Model.Probe.InAir);
    EXPECT_EQ(ReadFloat(CmdProbeVoltage), 4.0f);
    // A move into air settles like any other.
    double now = 0;
    Model.Probe.Now = [&] { return now; };
    Model.Probe.SettleTauS = 8.0f;
    Model.Probe.MoveToAir(ProbeOxygen);
    EXPECT_EQ(ReadFloat(CmdProbeVoltage), 4.0f);
    now = 8;
    EXPECT_NEAR(ReadFloat(CmdMeasuredValue), 6.772 * (1 - std::exp(-1.0)), 0.0005);
}

TEST_F(SimLiveValues, AChlorineProbeSeesTheHoclOfTheWatersPh) {
    Write(CmdProbeType, {ProbeChlorine});
    Write(CmdSensitivity, FloatBytes(200.0f));
    Model.Probe.Offset = 10.0f;
    Model.Probe.Solution = 1.5f;
    EXPECT_EQ(ReadFloat(CmdProbeVoltage), 310.0f) << "the nominal slope at the reference pH";
    Model.Probe.WaterPh = 7.5f;
    const float higher = ReadFloat(CmdProbeVoltage);
    EXPECT_NEAR((higher - 10.0) / 300.0, 0.76, 0.005);
    Model.Probe.WaterPh = 6.5f;
    EXPECT_GT(ReadFloat(CmdProbeVoltage), 310.0f) << "more HOCl in more acid water";

    // Cold water holds more of its chlorine as HOCl: the same pH step costs less.
    Model.Probe.TemperatureC = 10.0f;
    Model.Probe.WaterPh = SimulatedProbe::ChlorineReferencePh;
    EXPECT_EQ(ReadFloat(CmdProbeVoltage), 310.0f);
    Model.Probe.WaterPh = 7.5f;
    EXPECT_GT(ReadFloat(CmdProbeVoltage), higher);
    EXPECT_LT(ReadFloat(CmdProbeVoltage), 310.0f);
}

TEST_F(SimLiveValues, NoiseIsOffUnlessAskedFor) {
    Model.Probe.Solution = 5.0f;
    const float quiet = ReadFloat(CmdProbeVoltage);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(ReadFloat(CmdProbeVoltage), quiet);

    Model.Probe.NoiseMv = 2.0f;
    bool varied = false;
    for (int i = 0; i < 50; ++i) {
        float noisy = ReadFloat(CmdProbeVoltage);
        EXPECT_LE(std::fabs(noisy - quiet), 2.0f + 1e-4f);
        varied = varied || noisy != quiet;
    }
    EXPECT_TRUE(varied);
    EXPECT_EQ(Model.ProbeVoltage(false), quiet);
}

} // namespace
