// Bursts of 1 to 500 random bytes before, inside or after replies: the link
// takes a value only from bytes that form a well-formed frame of the length
// it expects, and is back to right values at the next transaction. A burst
// inside a reply passes the 8-bit checksum once in 256 times; such a value is
// counted, and must be exactly what the bytes on the line spelled.
#include "stress/link_values.h"
#include "stress/proof.h"

#include <cstdio>
#include <random>

namespace {

constexpr unsigned MaxBurst = 500;
constexpr int MostFollowUps = 5;

struct Position {
    const char* Name;
    Fault Kind;
};
constexpr Position Positions[] = {{"before", Fault::GarbageBefore},
                                  {"inside", Fault::GarbageInside},
                                  {"after", Fault::GarbageAfter}};

// What the link reads from `wire` when it arrives whole: a value only from
// a well-formed frame of `size` data bytes at its start.
bool Spelled(const Bytes& wire, int size, uint32_t& bits) {
    const bool fits = wire.size() >= 2 && wire[0] == ReplyStart && wire[1] <= 61;
    const size_t frame = fits ? wire[1] + 3u : 2u;
    if (wire.size() < frame || !fits || wire[1] != size || ByteSum(wire.data(), frame) != 0)
        return false;
    bits = 0;
    for (int i = 0; i < size; ++i) bits |= uint32_t{wire[2 + i]} << (8 * i);
    return true;
}

// The bytes of a log line "TX 06 01 05 F4  [garbage-after]".
Bytes WireOf(const std::string& line) {
    Bytes wire;
    unsigned byte;
    int used;
    for (const char* at = line.c_str() + 3; std::sscanf(at, "%2x%n", &byte, &used) == 1;
         at += used) {
        wire.push_back(static_cast<uint8_t>(byte));
        if (at[used] != ' ' || at[used + 1] == ' ') break;
    }
    return wire;
}

struct PositionFigures {
    int Rounds = 0, Right = 0, Failed = 0, Wrong = 0, Unspelled = 0, Unexpected = 0;
    int FailedAfter[MostFollowUps + 1] = {}; // rounds by failed transactions after the burst
};

class GarbageOnTheLine : public LinkAgainstSim {
protected:
    void SetUp() override {
        LinkAgainstSim::SetUp();
        Model([this](TransmitterModel& m) {
            m.Seed(1250);
            m.Log = [this](const std::string& line) {
                if (line.compare(0, 3, "TX ") == 0) LastWire = WireOf(line);
            };
        });
    }
    Bytes TakeWire() {
        return Model([this](TransmitterModel&) { return std::move(LastWire); });
    }

    Bytes LastWire; // under the model's lock
};

TEST_F(GarbageOnTheLine, NoValueButWhatTheBytesSpellAndRightValuesAtTheNextTransaction) {
    const int rounds = ProofSize(300, 10000);
    std::mt19937 random(500);
    PositionFigures figures[3];
    Tally followUps;
    Stopwatch run;
    for (int round = 0; round < rounds; ++round) {
        const int where = round % 3;
        const unsigned burst = 1 + random() % MaxBurst;
        const int read = random() % ValueReadCount;
        Model([&](TransmitterModel& m) { m.Faults.Arm(Positions[where].Kind, 1, burst); });
        uint32_t bits = 0;
        const bool ok = Read(read, bits);
        const Bytes wire = TakeWire();

        PositionFigures& f = figures[where];
        ++f.Rounds;
        uint32_t spelled = 0;
        const bool wellFormed = Spelled(wire, ValueReads[read].Size, spelled);
        if (!ok) {
            ++f.Failed;
            f.Unexpected += wellFormed; // it was there to take
        } else if (bits == Held[read]) {
            ++f.Right;
        } else {
            ++f.Wrong;
        }
        if (ok && !(wellFormed && bits == spelled) && ++f.Unspelled == 1) {
            ADD_FAILURE() << Positions[where].Name << " round " << round << ": took " << std::hex
                          << bits << " from " << HexBytes(wire);
        }

        int failedAfter = 0;
        for (Verdict v;
             (v = Transact((read + 1 + failedAfter) % ValueReadCount)) != Verdict::Right &&
             failedAfter < MostFollowUps;
             ++failedAfter)
            followUps.Add(v);
        ++f.FailedAfter[failedAfter];
    }
    for (int where = 0; where < 3; ++where) {
        const PositionFigures& f = figures[where];
        Figure("%s: %d bursts of 1-%u bytes: right %d, failed %d (%d of them with a well-formed "
               "frame on the line); wrong values %d, of them not what the bytes on the line "
               "spelled %d",
               Positions[where].Name, f.Rounds, MaxBurst, f.Right, f.Failed, f.Unexpected, f.Wrong,
               f.Unspelled);
        Figure("    failed transactions after the burst: none %d, one %d, more %d",
               f.FailedAfter[0], f.FailedAfter[1], f.Rounds - f.FailedAfter[0] - f.FailedAfter[1]);
        EXPECT_EQ(f.Unspelled, 0) << Positions[where].Name;
        EXPECT_EQ(f.FailedAfter[0] + f.FailedAfter[1], f.Rounds)
            << Positions[where].Name << ": back within two transactions";
    }
    Figure("transactions after the bursts that were not right: %s; %.1f s",
           followUps.Text().c_str(), run.Seconds());
    EXPECT_EQ(followUps.Total(), followUps[Verdict::Failed]) << "no wrong value after a burst";
    EXPECT_EQ(figures[2].Failed, 0) << "a burst after a whole reply spoils nothing";
}

} // namespace
