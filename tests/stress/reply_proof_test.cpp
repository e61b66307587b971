// Valid replies delivered in pieces, cut by a read time-out, and with every
// single bit flipped, against a scripted line: every transaction ends with
// the reply's own data or a failure, and the transaction after a damaged one
// succeeds.
#include "devlink/device_link.h"
#include "stress/proof.h"
#include "unit/fake_comm.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

constexpr BYTE Command = 0x30;

// A link opened on the scripted line; every read must land in its frame buffer.
class ScriptedLink : public ::testing::Test {
protected:
    void SetUp() override {
        Line.Guard(Link.FrameBuffer, sizeof Link.FrameBuffer);
        ASSERT_TRUE(Link.Open("COM5"));
    }
    // A request answered by `chunks`, each chunk what one read can get and an
    // empty chunk a read that times out. Answers whether the reply's data
    // arrived whole; a transaction that succeeds with other data fails the test.
    bool Transact(const Bytes& data, std::deque<Bytes> chunks) {
        Line.Forget();
        Line.Replies.push_back(std::move(chunks));
        Link.SendFrame(Command, 0);
        bool ok = Link.ReceiveFrame(static_cast<int>(data.size()));
        if (ok && !std::equal(data.begin(), data.end(), Link.FrameBuffer + 2)) {
            ADD_FAILURE() << "accepted other data than the reply's";
            return false;
        }
        return ok;
    }
    bool Purged() const {
        return std::find(Line.Log.begin(), Line.Log.end(), "Purge 12") != Line.Log.end();
    }

    FakeComm Line;
    DeviceLink Link;
    std::mt19937 Random{1250};
};

// The transmitter's data: mostly the sizes the tool reads (1, 2, 4 and 8
// bytes), now and then any length up to 61, all bytes at random.
Bytes RandomData(std::mt19937& random) {
    static const size_t sizes[] = {1, 2, 4, 8};
    size_t size = random() % 10 ? sizes[random() % 4] : random() % 62;
    Bytes data(size);
    for (BYTE& b : data) b = static_cast<BYTE>(random());
    return data;
}

// The bytes [from, to) of frame in pieces of 1 to 5 bytes.
void Pieces(std::mt19937& random, const Bytes& frame, size_t from, size_t to,
            std::deque<Bytes>& chunks) {
    for (size_t next; from < to; from = next) {
        next = std::min(to, from + 1 + random() % 5);
        chunks.emplace_back(frame.begin() + from, frame.begin() + next);
    }
}

using SplitReplies = ScriptedLink;
using CorruptReplies = ScriptedLink;

TEST_F(SplitReplies, AcceptedWholeInPiecesAndByteByByteButNeverInPartAcrossATimeout) {
    const int replies = 1000;
    int whole = 0, halves = 0, bytewise = 0, cut = 0, cutAccepted = 0, nextFailed = 0;
    for (int r = 0; r < replies; ++r) {
        const Bytes data = RandomData(Random);
        const Bytes frame = Reply(data);
        whole += Transact(data, {frame});
        size_t half = 1 + Random() % (frame.size() - 1);
        halves += Transact(data, {Bytes(frame.begin(), frame.begin() + half),
                                  Bytes(frame.begin() + half, frame.end())});
        std::deque<Bytes> bytes;
        for (BYTE b : frame) bytes.push_back({b});
        bytewise += Transact(data, bytes);

        // A read times out before byte `at`; the rest comes too late for
        // this transaction and must not spoil the next one.
        for (size_t at = 0; at < frame.size(); ++at) {
            std::deque<Bytes> chunks;
            Pieces(Random, frame, 0, at, chunks);
            chunks.emplace_back();
            Pieces(Random, frame, at, frame.size(), chunks);
            ++cut;
            cutAccepted += Transact(data, chunks);
            nextFailed += !Transact(data, {frame});
        }
        ASSERT_EQ(Line.Overruns, 0);
    }
    Figure("%d valid replies: %d accepted whole, %d in two pieces, %d byte by byte", replies, whole,
           halves, bytewise);
    Figure("%d cut by a read time-out at every byte: %d accepted; %d next transactions failed", cut,
           cutAccepted, nextFailed);
    EXPECT_EQ(whole, replies);
    EXPECT_EQ(halves, replies);
    EXPECT_EQ(bytewise, replies);
    EXPECT_EQ(cutAccepted, 0);
    EXPECT_EQ(nextFailed, 0);
}

TEST_F(CorruptReplies, EverySingleBitFlipIsRejectedAndTheNextTransactionSucceeds) {
    const int replies = 1000;
    int flips = 0, accepted = 0, purged = 0, nextFailed = 0;
    for (int r = 0; r < replies; ++r) {
        const Bytes data = RandomData(Random);
        const Bytes frame = Reply(data);
        for (size_t bit = 0; bit < frame.size() * 8; ++bit) {
            Bytes damaged = frame;
            damaged[bit / 8] ^= static_cast<BYTE>(1 << bit % 8);
            ++flips;
            accepted += Transact(data, {damaged});
            purged += Purged();
            nextFailed += !Transact(data, {frame});
        }
        ASSERT_EQ(Line.Overruns, 0);
    }
    Figure("%d single-bit flips of %d valid replies: %d accepted, %d failed the checksum, "
           "%d failed on start byte, length or a missing rest; %d next transactions failed",
           flips, replies, accepted, purged, flips - accepted - purged, nextFailed);
    EXPECT_EQ(accepted, 0);
    EXPECT_EQ(nextFailed, 0);
}

} // namespace
