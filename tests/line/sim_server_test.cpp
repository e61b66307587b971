#include "line/sim_on_cable.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The tool's end of the cable, set up as the tool sets it: 9600 8N1, reads
// waiting at most 200 ms.
struct ToolEnd {
    ToolEnd() {
        Opened = Port.Open("\\\\.\\COM5");
        Port.Configure(9600, 0x1011, 8, NOPARITY, ONESTOPBIT);
        COMMTIMEOUTS timeouts = {0, 0, 200, 0, 100};
        Port.SetTimeouts(timeouts);
        Port.Purge(PURGE_TXCLEAR | PURGE_RXCLEAR);
    }
    void Send(const Bytes& bytes) { Port.Write(bytes.data(), static_cast<DWORD>(bytes.size())); }
    // Up to count bytes; stops at the first read that times out empty.
    Bytes Receive(size_t count) {
        Bytes got(count);
        size_t have = 0;
        while (have < count) {
            DWORD n = Port.Read(&got[have], static_cast<DWORD>(count - have));
            if (n == 0) break;
            have += n;
        }
        got.resize(have);
        return got;
    }
    Bytes Ask(const Bytes& request, size_t replySize) {
        Send(request);
        return Receive(replySize);
    }

    SerialPort Port;
    bool Opened = false;
};

struct SimServerLine : ::testing::Test {
    void StartSim(bool paced = false) {
        Sim.reset(new SimOnCable(paced));
        ASSERT_TRUE(Sim->Started);
        Sim->Server.WithModel([this](TransmitterModel& model) {
            model.Log = [this](const std::string& line) { Log.push_back(line); };
        });
    }
    template <class F> auto Model(F&& use) { return Sim->Server.WithModel(use); }

    ToolEnd Tool;
    std::vector<std::string> Log;    // written under the model's lock
    std::unique_ptr<SimOnCable> Sim; // stopped before Log goes
};

TEST_F(SimServerLine, AnswersReadsAndWritesOverTheCable) {
    ASSERT_TRUE(Tool.Opened);
    StartSim();
    // Noise on the line before the request is skipped.
    EXPECT_EQ(Tool.Ask({0x55, 0xAA, 0x01, 0x2B, 0x00, 0xD4}, 4), (Bytes{0x06, 0x01, 0x00, 0xF9}));
    EXPECT_EQ(Tool.Ask(RequestFrame(CmdIdentify), 11), ReplyFrame({'V', 'L', '4', 0, 0, 0, 0, 0}));
    EXPECT_EQ(Tool.Ask({0x01, 0x2C, 0x01, 0x28, 0xAA}, 4), (Bytes{0x06, 0x01, 0x1E, 0xDB}));
    EXPECT_EQ(Tool.Ask(RequestFrame(CmdOffset, FloatBytes(-3.25f)), 7),
              ReplyFrame(FloatBytes(-3.25f)));
    Model([](TransmitterModel& m) {
        EXPECT_EQ(m.Values.Damping, 30);
        EXPECT_EQ(m.Values.Offset, -3.25f);
        EXPECT_EQ(m.Requests, 4u);
    });
    std::vector<std::string> log = Model([this](TransmitterModel&) { return Log; });
    ASSERT_EQ(log.size(), 9u);
    EXPECT_EQ(log[0], "SKIP 55 AA");
    EXPECT_EQ(log[1], "RX 01 2B 00 D4");
    EXPECT_EQ(log[6], "TX 06 01 1E DB");
}

TEST_F(SimServerLine, SilenceLastsTheReadTimeoutAndLateRepliesMeetTheNextRead) {
    ASSERT_TRUE(Tool.Opened);
    StartSim();
    Model([](TransmitterModel& m) { m.Faults.Arm(Fault::NoReply, 1); });
    Tool.Send(RequestFrame(CmdDamping));
    Clock::time_point asked = Clock::now();
    EXPECT_TRUE(Tool.Receive(4).empty());
    EXPECT_GE(Clock::now() - asked, milliseconds(180));
    EXPECT_EQ(Tool.Ask(RequestFrame(CmdDamping), 4), ReplyFrame({5}));

    // A reply later than the tool waits arrives during its next read.
    Model([](TransmitterModel& m) { m.Faults.ArmLate(350, true, 1); });
    Tool.Send(RequestFrame(CmdDamping));
    asked = Clock::now();
    EXPECT_TRUE(Tool.Receive(4).empty());
    EXPECT_EQ(Tool.Receive(4), (Bytes{0x06, 0x01, 0xA1, 0x58}));
    EXPECT_GE(Clock::now() - asked, milliseconds(340));

    // A reply cut off leaves the tool waiting for the rest in vain.
    Model([](TransmitterModel& m) { m.Faults.Arm(Fault::Cut, 1); });
    EXPECT_EQ(Tool.Ask(RequestFrame(CmdUpperRange), 7), (Bytes{0x06, 0x04, 0x00, 0x00}));
    EXPECT_EQ(Tool.Ask(RequestFrame(CmdUpperRange), 7), ReplyFrame(FloatBytes(14.0f)));
}

TEST_F(SimServerLine, PacedRepliesTakeAtLeastTheirWireTime) {
    ASSERT_TRUE(Tool.Opened);
    StartSim(true);
    // 4 request bytes and 7 reply bytes at 10 bits each and 9600 baud.
    const auto wire = SimServer::ByteTime * 11;
    for (int i = 0; i < 5; ++i) {
        Clock::time_point asked = Clock::now();
        EXPECT_EQ(Tool.Ask(RequestFrame(CmdUpperRange), 7), ReplyFrame(FloatBytes(14.0f)));
        EXPECT_GE(Clock::now() - asked, wire);
    }
}

TEST_F(SimServerLine, StopsWithAReplyPendingAndGivesThePortBack) {
    ASSERT_TRUE(Tool.Opened);
    StartSim();
    EXPECT_FALSE(Sim->Server.Start(SimOnCable::Port)) << "already serving";
    Model([](TransmitterModel& m) { m.Faults.ArmLate(60000, false, 1); });
    Tool.Send(RequestFrame(CmdDamping));
    EXPECT_TRUE(Tool.Receive(4).empty());
    Sim->Server.Stop();
    EXPECT_FALSE(Sim->Server.Running());
    EXPECT_TRUE(Tool.Ask(RequestFrame(CmdDamping), 4).empty()) << "nobody answers";

    // The port is free again; a new transmitter hears nothing sent before.
    Sim.reset();
    StartSim();
    EXPECT_EQ(Tool.Ask(RequestFrame(CmdProbeType), 4), ReplyFrame({0}));
    EXPECT_EQ(Model([](TransmitterModel& m) { return m.Requests; }), 1u);
}

} // namespace
