#include "devlink/device_link.h"

#include "unit/fake_comm.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstddef>
#include <random>

using ::testing::ElementsAre;

namespace {

// A link opened on COM5 with an empty call record.
class OpenLink : public ::testing::Test {
protected:
    void SetUp() override {
        Line.Guard(Link.FrameBuffer, sizeof Link.FrameBuffer);
        ASSERT_TRUE(Link.Open("COM5"));
        Line.Forget();
    }
    void Arrived(std::deque<Bytes> chunks) { Line.Queue = std::move(chunks); }
    bool Purged(const char* mask) const {
        return std::count(Line.Log.begin(), Line.Log.end(), std::string("Purge ") + mask) > 0;
    }
    Strings Reads() const {
        Strings reads;
        for (const std::string& call : Line.Log)
            if (call.rfind("Read", 0) == 0) reads.push_back(call);
        return reads;
    }

    FakeComm Line;
    DeviceLink Link;
};

TEST(DeviceLinkOpen, OpensTheDevicePathWithLineSettingsAndTimeouts) {
    static_assert(sizeof(DCB) == 28 && offsetof(DCB, BaudRate) == 4, "32-bit DCB layout");
    FakeComm line;
    // Whatever the port was set to before; only five settings may change.
    DCB before;
    std::memset(&before, 0xA5, sizeof before);
    before.DCBlength = sizeof before;
    before.BaudRate = 115200;
    line.PortState = before;
    DeviceLink link;

    EXPECT_TRUE(link.Open("COM12"));

    EXPECT_EQ(line.Log, (Strings{"CreateFile", "GetCommState", "SetCommState", "SetCommTimeouts"}));
    EXPECT_EQ(line.Path, "\\\\.\\COM12");
    EXPECT_THAT((std::vector<DWORD>{line.Access, line.Share, line.Disposition, line.Flags}),
                ElementsAre(0xC0000000u, 0, OPEN_EXISTING, 0));

    DCB asked = {};
    asked.DCBlength = 28;
    EXPECT_EQ(std::memcmp(&line.StateAsked, &asked, sizeof asked), 0)
        << "a zeroed DCB is asked for";
    ASSERT_EQ(line.States.size(), 1u);
    DCB expected = before;
    expected.BaudRate = 9600;
    DWORD flags = 0x1011;
    std::memcpy(reinterpret_cast<char*>(&expected) + 8, &flags, 4);
    expected.ByteSize = 8;
    expected.Parity = 0;
    expected.StopBits = 0;
    EXPECT_EQ(std::memcmp(&line.States[0], &expected, sizeof expected), 0)
        << "every other DCB field keeps what the system reported";

    ASSERT_EQ(line.Timeouts.size(), 1u);
    const COMMTIMEOUTS& t = line.Timeouts[0];
    EXPECT_THAT((std::vector<DWORD>{t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier,
                                    t.ReadTotalTimeoutConstant, t.WriteTotalTimeoutMultiplier,
                                    t.WriteTotalTimeoutConstant}),
                ElementsAre(0, 0, 200, 0, 100));
}

// A port left with the driver's own time-outs could block a read for ever.
TEST(DeviceLinkOpen, APortThatDoesNotTakeItsSettingsIsClosedAgain) {
    const struct {
        BOOL FakeComm::*Result;
        Strings Calls;
    } failing[] = {
        {&FakeComm::GetStateResult, {"CreateFile", "GetCommState", "CloseHandle"}},
        {&FakeComm::SetStateResult, {"CreateFile", "GetCommState", "SetCommState", "CloseHandle"}},
        {&FakeComm::TimeoutsResult,
         {"CreateFile", "GetCommState", "SetCommState", "SetCommTimeouts", "CloseHandle"}},
    };
    for (const auto& fault : failing) {
        SCOPED_TRACE(fault.Calls[fault.Calls.size() - 2]);
        FakeComm line;
        line.*fault.Result = FALSE;
        DeviceLink link;
        EXPECT_FALSE(link.Open("COM5"));
        EXPECT_EQ(line.Log, fault.Calls);
        line.Forget();
        BYTE value = 0;
        EXPECT_FALSE(link.GetByte(43, value));
        EXPECT_TRUE(line.Log.empty()) << "the link is left closed";
    }
}

TEST_F(OpenLink, EmptyNameKeepsTheOpenPortAndReopeningClosesFirst) {
    EXPECT_FALSE(Link.Open(""));
    EXPECT_FALSE(Link.Open(nullptr));
    EXPECT_TRUE(Line.Log.empty());
    Line.Replies.push_back({Reply({7})});
    BYTE value = 0;
    EXPECT_TRUE(Link.GetByte(43, value)) << "the port stayed open and usable";
    EXPECT_EQ(value, 7);

    Line.Forget();
    Line.OpenResult = INVALID_HANDLE_VALUE; // another program holds COM6
    EXPECT_FALSE(Link.Open("COM6"));
    EXPECT_EQ(Line.Log, (Strings{"Purge 15", "CloseHandle", "CreateFile"}));
    EXPECT_EQ(Line.Path, "\\\\.\\COM6");

    Line.Forget();
    EXPECT_FALSE(Link.GetByte(43, value));
    Link.Close();
    EXPECT_TRUE(Line.Log.empty()) << "the link is left closed";
}

TEST_F(OpenLink, PortNameTooLongForTheDevicePathIsRefused) {
    EXPECT_FALSE(Link.Open("ABCDEFGHIJKL"));
    EXPECT_EQ(Line.Log, (Strings{"Purge 15", "CloseHandle"}));
    EXPECT_FALSE(Link.Open(std::string(300, 'X').c_str()));
    EXPECT_EQ(Line.Log.size(), 2u);

    EXPECT_TRUE(Link.Open("ABCDEFGHIJK")) << "11 characters fill the 16-byte path";
    EXPECT_EQ(Line.Path, "\\\\.\\ABCDEFGHIJK");
}

TEST(DeviceLinkClose, PurgesEverythingClosesOnceAndDestructionCloses) {
    FakeComm line;
    {
        DeviceLink never;
        never.Close();
    }
    EXPECT_TRUE(line.Log.empty()) << "a link that was never opened makes no call";

    auto* link = new DeviceLink;
    ASSERT_TRUE(link->Open("COM5"));
    line.Forget();
    link->Close();
    link->Close();
    EXPECT_EQ(line.Log, (Strings{"Purge 15", "CloseHandle"}));

    ASSERT_TRUE(link->Open("COM5"));
    line.Forget();
    link->Free();
    EXPECT_EQ(line.Log, (Strings{"Purge 15", "CloseHandle"}));
}

TEST(DeviceLinkClosed, TransactionsFailWithoutAnySystemCall) {
    FakeComm line;
    line.Queue = {Reply({1})};
    DeviceLink link;
    BYTE byte = 9;
    WORD word = 9;
    float value = 9;
    EXPECT_EQ(link.SendFrame(43, 0), 0u);
    EXPECT_FALSE(link.ReceiveFrame(1));
    EXPECT_FALSE(link.GetByte(43, byte));
    EXPECT_FALSE(link.SetByte(44, byte));
    EXPECT_FALSE(link.GetWord(34, word));
    EXPECT_FALSE(link.SetDword(48, value));
    EXPECT_EQ(link.Identify(), nullptr);
    EXPECT_TRUE(line.Log.empty());
    EXPECT_EQ(byte, 9);
    EXPECT_EQ(word, 9);
    EXPECT_EQ(value, 9.0f);
}

TEST_F(OpenLink, RequestsCarryCommandLengthDataAndChecksumAfterDroppingStaleInput) {
    BYTE byte = 0;
    Link.GetByte(43, byte);
    byte = 5;
    Link.SetByte(44, byte);
    float zero = 0.0f;
    Link.SetDword(48, zero);
    float half = 1.5f;
    Link.SetDword(46, half);
    EXPECT_THAT(Line.Written,
                ElementsAre(Bytes{0x01, 0x2B, 0x00, 0xD4}, Bytes{0x01, 0x2C, 0x01, 0x05, 0xCD},
                            Bytes{0x01, 0x30, 0x04, 0x00, 0x00, 0x00, 0x00, 0xCB},
                            Bytes{0x01, 0x2E, 0x04, 0x00, 0x00, 0xC0, 0x3F, 0xCE}));
    // No reply arrives: each transaction times out on its header.
    for (size_t i = 0; i < Line.Log.size(); ++i)
        EXPECT_EQ(Line.Log[i], (Strings{"Purge 8", "Write", "Read 2"}[i % 3]));
    EXPECT_EQ(Line.Log.size(), 12u);
}

TEST_F(OpenLink, LateReplyToAnEarlierRequestIsNotTakenAsTheAnswer) {
    Arrived({Reply({7})}); // came in after its own request had timed out
    Line.Replies.push_back({Reply({2})});
    BYTE value = 0;
    EXPECT_TRUE(Link.GetByte(43, value));
    EXPECT_EQ(value, 2);
}

TEST_F(OpenLink, WellFormedRepliesDeliverTheirValueHoweverTheyArrive) {
    BYTE byte = 0;
    Arrived({{0x06, 0x01, 0x02, 0xF7}});
    EXPECT_TRUE(Link.ReceiveByte(byte));
    EXPECT_EQ(byte, 2);

    WORD word = 0;
    Arrived({{0x06}, {0x02, 0x02}, {0x01}, {0xF5}});
    EXPECT_TRUE(Link.ReceiveWord(word));
    EXPECT_EQ(word, 0x0102);

    LONG number = 5;
    Arrived({Reply({0, 0, 0, 0})});
    EXPECT_TRUE(Link.ReceiveDword(number)) << "zero bytes are data like any other";
    EXPECT_EQ(number, 0);

    Bytes full(61);
    for (size_t i = 0; i < full.size(); ++i) full[i] = static_cast<BYTE>(i * 7);
    Arrived({Reply(full)});
    EXPECT_TRUE(Link.ReceiveFrame(61)) << "61 data bytes fill the buffer exactly";
    EXPECT_TRUE(std::equal(full.begin(), full.end(), Link.FrameBuffer + 2));
    EXPECT_FALSE(Purged("12"));
    EXPECT_EQ(Line.Overruns, 0);
}

TEST_F(OpenLink, BadChecksumPurgesBothQueuesAndFails) {
    BYTE value = 9;
    Arrived({{0x06, 0x01, 0x02, 0xF8, 0x06, 0x01, 0x02, 0xF7}});
    EXPECT_FALSE(Link.ReceiveByte(value));
    EXPECT_EQ(Line.Log.back(), "Purge 12");
    EXPECT_TRUE(Line.Waiting().empty());

    // Foreign start byte, and a length beyond the buffer: judged on two bytes.
    for (Bytes reply : {Bytes{0x15, 0x00, 0x06, 0x01}, Bytes{0x06, 0x3E, 0x00, 0x00}}) {
        Line.Forget();
        Arrived({reply});
        EXPECT_FALSE(Link.ReceiveByte(value));
        EXPECT_EQ(Reads(), (Strings{"Read 2"}));
        EXPECT_EQ(Line.Log.back(), "Purge 12");
    }
    EXPECT_EQ(value, 9);
}

TEST_F(OpenLink, OtherRejectedRepliesLeaveTheQueueAlone) {
    BYTE value = 9;
    // Right checksum, wrong length: read completely, then refused.
    Arrived({{0x06, 0x04, 0x00, 0x00, 0x80, 0x3F, 0x37}});
    EXPECT_FALSE(Link.ReceiveByte(value));
    EXPECT_EQ(Reads(), (Strings{"Read 2", "Read 5"}));

    // Headers whose two bytes sum to zero: a foreign start, and 250 data bytes.
    for (Bytes header : {Bytes{0x15, 0xEB}, Bytes{0x06, 0xFA}}) {
        Line.Forget();
        Arrived({header, {0x01, 0x02}});
        EXPECT_FALSE(Link.ReceiveByte(value));
        EXPECT_EQ(Reads(), (Strings{"Read 2"}));
        EXPECT_EQ(Line.Waiting(), (Bytes{0x01, 0x02}));
    }
    // Not even by a caller asking for those 250 bytes: none of them was read.
    Line.Forget();
    Arrived({{0x06, 0xFA}});
    EXPECT_FALSE(Link.ReceiveFrame(250));
    EXPECT_EQ(Reads(), (Strings{"Read 2"}));

    // No reply, a cut-off header, and a time-out in the middle of the frame.
    for (std::deque<Bytes> chunks :
         std::vector<std::deque<Bytes>>{{}, {{0x06}}, {{0x06, 0x01}, {}, {0x02, 0xF7}}}) {
        Line.Forget();
        Arrived(chunks);
        EXPECT_FALSE(Link.ReceiveByte(value));
    }
    EXPECT_EQ(Line.Waiting(), (Bytes{0x02, 0xF7})) << "late bytes stay for the next request";

    EXPECT_FALSE(Purged("12"));
    EXPECT_EQ(value, 9);
}

TEST_F(OpenLink, FourByteValuesTravelVerbatim) {
    // A signalling NaN keeps its bits only when no float conversion happens.
    Line.Replies.push_back({Reply({0x01, 0x00, 0x80, 0x7F})});
    float value = 0;
    ASSERT_TRUE(Link.GetDword(37, value));
    DWORD bits;
    std::memcpy(&bits, &value, 4);
    EXPECT_EQ(bits, 0x7F800001u);

    Line.Forget();
    Link.SetDword(48, value);
    EXPECT_EQ(Line.Written[0], (Bytes{0x01, 0x30, 0x04, 0x01, 0x00, 0x80, 0x7F, 0xCB}));
}

TEST_F(OpenLink, IdentifyAnswersTheTextAndKeepsTheLastGoodOne) {
    Line.Replies.push_back({Reply({'V', 'L', '4', 0, 0, 0, 0, 0})});
    EXPECT_EQ(Link.Identify(), Link.IdentText);
    EXPECT_STREQ(Link.IdentText, "VL4");
    EXPECT_EQ(Line.Written[0], (Bytes{0x01, 0x21, 0x00, 0xDE}));

    Line.Replies.push_back({Reply({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H'})});
    EXPECT_STREQ(Link.Identify(), "ABCDEFGH") << "8 characters, still terminated";

    Line.Replies.push_back({Reply({'Z', 'D', '2', 'W', '5', '0', 0})});
    EXPECT_EQ(Link.Identify(), nullptr);
    Line.Replies.push_back({Reply({'Z', 'D', '2', 'W', '5', '0', 0, 0, 0})});
    EXPECT_EQ(Link.Identify(), nullptr);
    EXPECT_STREQ(Link.IdentText, "ABCDEFGH");

    Line.Replies.push_back({Reply({'Z', 'D', '2', 'W', '5', '0', 0, 0})});
    EXPECT_STREQ(Link.Identify(), "ZD2W50");
}

TEST_F(OpenLink, FirmwareVersionKeepsTheLastGoodValue) {
    WORD version = 0xBEEF;
    EXPECT_FALSE(Link.GetFirmwareVersion(version));
    EXPECT_EQ(version, 0xBEEF);
    EXPECT_EQ(Link.FirmwareVersion, 0);

    Line.Replies.push_back({Reply({0x02, 0x01})});
    EXPECT_TRUE(Link.GetFirmwareVersion(version));
    EXPECT_EQ(version, 0x0102);
    EXPECT_EQ(Line.Written.back(), (Bytes{0x01, 0x22, 0x00, 0xDD}));

    version = 0xBEEF;
    Line.Replies.push_back({{0x06, 0x02, 0x1A, 0x02, 0x00}}); // bad checksum
    EXPECT_FALSE(Link.GetFirmwareVersion(version));
    EXPECT_EQ(version, 0xBEEF);
    EXPECT_EQ(Link.FirmwareVersion, 0x0102);

    LONG number = 0;
    Line.Replies.push_back({Reply({0xFF, 0xFF, 0xFF, 0xFF})});
    EXPECT_TRUE(Link.GetProductionNumber(number));
    EXPECT_EQ(number, -1);
    EXPECT_EQ(Line.Written.back()[1], 35);
}

// Replies the line might carry: well-formed, mutated, with any declared length,
// foreign headers, noise; cut short and followed by stray bytes.
Bytes RandomReply(std::mt19937& rng, int expected) {
    auto byte = [&] { return static_cast<BYTE>(rng()); };
    Bytes reply;
    switch (rng() % 5) {
    case 0:
        reply = Reply(Bytes(expected));
        break;
    case 1: { // any declared length
        Bytes data(rng() % 256);
        for (BYTE& b : data) b = byte();
        reply = Reply(data);
        break;
    }
    case 2: // a header whose two bytes sum to zero
        reply = {byte()};
        reply.push_back(static_cast<BYTE>(-reply[0]));
        break;
    case 3:
        reply.resize(rng() % 70);
        for (BYTE& b : reply) b = byte();
        break;
    default:
        reply = Reply(Bytes(expected));
        break;
    }
    if (reply.size() > 2 && rng() % 2) {
        for (size_t i = 2; i + 1 < reply.size(); ++i) reply[i] = byte();
        reply.pop_back();
        reply = WithChecksum(reply);
    }
    if (!reply.empty() && rng() % 4 == 0) reply[rng() % reply.size()] ^= 1 << (rng() % 8);
    if (rng() % 3 == 0) reply.resize(rng() % (reply.size() + 1));
    for (unsigned stray = rng() % 3 ? 0 : rng() % 8; stray; --stray) reply.push_back(byte());
    return reply;
}

BYTE Sum(const Bytes& bytes, size_t count) {
    BYTE sum = 0;
    for (size_t i = 0; i < count; ++i) sum += bytes[i];
    return sum;
}

TEST_F(OpenLink, OnlyAWellFormedFrameOfTheExpectedLengthIsAccepted) {
    std::mt19937 rng(1250);
    const int sizes[] = {1, 2, 4, 8};
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        int expected = rng() % 4 ? sizes[rng() % 4] : static_cast<int>(rng() % 62);
        Bytes stream = RandomReply(rng, expected);
        // What arrives before a read times out, in random pieces; the rest later.
        size_t arrived = rng() % 4 ? stream.size() : rng() % (stream.size() + 1);
        std::deque<Bytes> chunks;
        auto cut = [&](size_t at, size_t end) {
            for (size_t next; at < end; at = next) {
                next = std::min<size_t>(end, at + 1 + rng() % 9);
                chunks.emplace_back(stream.begin() + at, stream.begin() + next);
            }
        };
        cut(0, arrived);
        chunks.emplace_back();
        cut(arrived, stream.size());
        Line.Forget();
        Arrived(chunks);
        std::memset(Link.FrameBuffer, 0xEE, sizeof Link.FrameBuffer);

        bool ok = Link.ReceiveFrame(expected);

        Bytes got(stream.begin(), stream.begin() + arrived);
        size_t frame = got.size() >= 2 && got[0] == 0x06 && got[1] <= 61 ? got[1] + 3u : 2u;
        bool complete = got.size() >= frame;
        bool wellFormed = complete && got[0] == 0x06 && got[1] == expected && Sum(got, frame) == 0;
        ASSERT_EQ(ok, wellFormed) << "round " << round;
        if (ok) {
            ++accepted;
            ASSERT_TRUE(std::equal(got.begin(), got.begin() + frame, Link.FrameBuffer));
        }
        ASSERT_EQ(Purged("12"), complete && Sum(got, frame) != 0) << "round " << round;
        ASSERT_EQ(Line.Delivered, std::min(frame, got.size())) << "reads past the frame";
        ASSERT_EQ(Line.Overruns, 0);
    }
    EXPECT_GT(accepted, 1000) << "the generator must produce good frames too";
}

} // namespace

// What an observer of the link sees, one line per event.
struct Watcher : LinkObserver {
    void Sent(const BYTE*, int count) override { Events.push_back(">" + std::to_string(count)); }
    void Received(const BYTE*, int count, ReplyOutcome outcome) override {
        static const char* const Names[] = {"ok", "time-out", "cut", "bad checksum", "unexpected"};
        Events.push_back("<" + std::to_string(count) + " " + Names[static_cast<int>(outcome)]);
    }
    void Discarded(const BYTE*, int count) override {
        Events.push_back("late " + std::to_string(count));
    }
    Strings Events;
};

TEST_F(OpenLink, ASettlingLinkWaitsForAQuietLineAfterAFailureAndShowsEveryFrame) {
    Line.Guard(nullptr, 0); // the late bytes go to a buffer of their own
    Watcher watcher;
    Link.Observer = &watcher;
    BYTE value = 9;
    // Without settling, a failure is followed at once by the next request.
    Line.Replies = {{{}}, {Reply({2})}};
    EXPECT_FALSE(Link.GetByte(43, value));
    EXPECT_TRUE(Link.GetByte(43, value));
    EXPECT_EQ(Reads(), (Strings{"Read 2", "Read 2", "Read 2"}));

    // Settling: after the time-out the late reply comes in pieces, then the
    // line stays quiet for a whole read; only then the next request goes out.
    Link.SettleAfterFailure = true;
    Line.Forget();
    watcher.Events.clear();
    Line.Replies = {{{}, {0x06, 0x01}, {0x07, 0xF2}, {}}, {Reply({3})}, {{0x06, 0x01, 0x03}}, {}};
    EXPECT_FALSE(Link.GetByte(43, value));
    EXPECT_TRUE(Link.GetByte(43, value));
    EXPECT_EQ(value, 3);
    EXPECT_FALSE(Link.GetByte(43, value)) << "cut: the checksum never came";
    EXPECT_FALSE(Link.GetByte(43, value));
    EXPECT_EQ(Line.Log,
              (Strings{"Purge 8", "Write", "Read 2", "Read 64", "Read 64", "Read 64", "Purge 8",
                       "Write", "Read 2", "Read 2", "Purge 8", "Write", "Read 2", "Read 2",
                       "Read 1", "Read 64", "Purge 8", "Write", "Read 2"}));
    EXPECT_EQ(watcher.Events, (Strings{">4", "<0 time-out", "late 2", "late 2", ">4", "<4 ok", ">4",
                                       "<3 cut", ">4", "<0 time-out"}));

    // A garbled frame and one of another length are judged as such.
    watcher.Events.clear();
    Line.Replies = {{{0x06, 0x01, 0x02, 0xF8}}, {Reply({1, 2})}};
    EXPECT_FALSE(Link.GetByte(43, value));
    EXPECT_FALSE(Link.GetByte(43, value));
    EXPECT_EQ(watcher.Events, (Strings{">4", "<4 bad checksum", ">4", "<5 unexpected"}));
    EXPECT_EQ(value, 3);
}
