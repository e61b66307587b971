// The frame buffer against every reply header and every amount of input:
// nothing outside its 64 bytes is ever written, and no reply announcing more
// than 61 data bytes is taken. Built with guard bytes around the buffer
// (VL4_FRAME_GUARDS); the scripted line writes wherever the link asks, so a
// read past the buffer lands in a guard.
#include "devlink/device_link.h"
#include "stress/proof.h"
#include "unit/fake_comm.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// The most the link could ask for: a header, then 255 data bytes and a checksum.
static_assert(DeviceLink::FrameSize + DeviceLink::GuardSize >= 2 + 255 + 1,
              "the guard after the buffer holds any read the link could ask for");

class GuardedFrameBuffer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Link.Open("COM5"));
        Line.Forget();
    }
    // Two fills, so that whatever byte an overrun writes differs from one of them.
    void Fill(BYTE pattern) {
        std::fill(std::begin(Link.GuardBefore), std::end(Link.GuardBefore), pattern);
        std::fill(std::begin(Link.GuardAfter), std::end(Link.GuardAfter), pattern);
    }
    bool Intact(BYTE pattern) const {
        auto same = [pattern](BYTE b) { return b == pattern; };
        return std::all_of(std::begin(Link.GuardBefore), std::end(Link.GuardBefore), same) &&
               std::all_of(std::begin(Link.GuardAfter), std::end(Link.GuardAfter), same);
    }

    FakeComm Line;
    DeviceLink Link;
};

constexpr BYTE Patterns[] = {0x5A, 0xA5};

// `count` bytes of a reply that starts with `start` and announces `declared`
// data bytes: its data, the checksum that completes a frame of that length,
// and after it the start of another reply.
Bytes Delivered(BYTE start, int declared, int count) {
    Bytes bytes{start, static_cast<BYTE>(declared)};
    for (int i = 0; i < declared; ++i) bytes.push_back(static_cast<BYTE>(i * 37 + 11));
    bytes = WithChecksum(bytes);
    while (static_cast<int>(bytes.size()) < count) bytes.push_back(bytes.size() % 2 ? 0x01 : 0x06);
    bytes.resize(count);
    return bytes;
}

struct ReceptionFigures {
    int Cases = 0, Accepted = 0, Overlong = 0, OverlongAccepted = 0, GuardHits = 0, Misjudged = 0;
};

TEST_F(GuardedFrameBuffer, EveryDeclaredLengthAgainstEveryByteCountStaysInsideTheBuffer) {
    ReceptionFigures f;
    // One reception of `count` bytes of a reply announcing `declared` data
    // bytes, by a caller expecting just as many.
    auto receive = [&](BYTE start, int declared, int count, bool bytewise, BYTE pattern) {
        const Bytes bytes = Delivered(start, declared, count);
        const bool fits = start == 0x06 && declared <= DeviceLink::MaxReplyData;
        const size_t frame = fits ? declared + 3u : 2u;
        std::deque<Bytes> chunks;
        if (bytewise) {
            for (BYTE b : bytes) chunks.push_back({b});
        } else {
            chunks.push_back(bytes);
        }
        Line.Forget();
        Line.Queue = chunks;
        Fill(pattern);

        const bool ok = Link.ReceiveFrame(declared);

        ++f.Cases;
        f.Accepted += ok;
        f.Overlong += start == 0x06 && declared > DeviceLink::MaxReplyData;
        f.OverlongAccepted += ok && declared > DeviceLink::MaxReplyData;
        const bool right =
            ok == (fits && bytes.size() >= frame) &&
            Line.Delivered == std::min(frame, bytes.size()) &&
            (!ok || std::equal(bytes.begin(), bytes.begin() + frame, Link.FrameBuffer));
        if (!Intact(pattern) && ++f.GuardHits == 1) {
            ADD_FAILURE() << "guard written: start " << int(start) << ", declared " << declared
                          << ", " << count << " bytes";
        }
        if (!right && ++f.Misjudged == 1) {
            ADD_FAILURE() << "misjudged: start " << int(start) << ", declared " << declared << ", "
                          << count << " bytes, " << (ok ? "accepted" : "rejected") << ", read "
                          << Line.Delivered;
        }
    };
    for (BYTE start : {BYTE{0x06}, BYTE{0x15}}) {
        for (int declared = 0; declared <= 255; ++declared) {
            for (int count = 0; count <= 70; ++count) {
                // Whole and byte by byte, with either guard fill; a short run
                // takes one of the four in turn.
                for (int variant = 0; variant < 4; ++variant) {
                    if (FullProof() || variant == (declared + count) % 4)
                        receive(start, declared, count, variant / 2, Patterns[variant % 2]);
                }
            }
        }
    }
    Figure("%d receptions (start 06 and 15, declared length 0-255, 0-70 bytes delivered, %s): "
           "%d guard bytes written",
           f.Cases,
           FullProof() ? "each whole and byte by byte with two guard fills"
                       : "whole or byte by byte with one of two guard fills",
           f.GuardHits);
    Figure("%d accepted (each a complete frame of at most 61 data bytes), %d misjudged; "
           "%d with more than 61 announced, %d of them accepted",
           f.Accepted, f.Misjudged, f.Overlong, f.OverlongAccepted);
    EXPECT_EQ(f.GuardHits, 0);
    EXPECT_EQ(f.Misjudged, 0);
    EXPECT_EQ(f.OverlongAccepted, 0);
    EXPECT_GT(f.Accepted, 0);
}

TEST_F(GuardedFrameBuffer, RequestsOfEveryLengthStayInsideTheBuffer) {
    int calls = 0, sent = 0, guardHits = 0;
    for (int length = -300; length <= 300; ++length) {
        for (BYTE pattern : Patterns) {
            Line.Forget();
            Fill(pattern);
            DWORD written = Link.SendFrame(0x30, length);
            ++calls;
            bool frames = length >= 0 && length <= DeviceLink::MaxRequestData;
            sent += written > 0;
            EXPECT_EQ(written, frames ? length + 4u : 0u) << length;
            EXPECT_EQ(Line.Written.size(), frames ? 1u : 0u) << length;
            guardHits += !Intact(pattern);
        }
    }
    Figure("%d requests of length -300 to 300: %d sent (lengths 0-60), %d guard bytes written",
           calls, sent, guardHits);
    EXPECT_EQ(guardHits, 0);
}

} // namespace
