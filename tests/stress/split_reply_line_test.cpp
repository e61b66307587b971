// Replies that cross the cable in pieces with real pauses between them: a
// pause under the link's 200 ms read time-out costs only time, one longer
// than two time-outs fails the transaction, and no transaction ever takes a
// part of a reply for a value.
#include "stress/link_values.h"
#include "stress/proof.h"

#include <chrono>

namespace {

using std::chrono::milliseconds;

// Under the read time-out, between one and two time-outs, over two. A piece
// later than one time-out may still meet the read begun when the read before
// it timed out with part of the reply; only a pause over two time-outs is
// sure to fail the transaction.
constexpr unsigned ShortPauseMs = 120;
constexpr unsigned BetweenPauseMs = 250;
constexpr unsigned LongPauseMs = 450;
// Less than a pause, for the jitter of Wine's timers.
constexpr milliseconds PauseFloor(ShortPauseMs - 20);

class PausedReplies : public LinkAgainstSim {
protected:
    Verdict Paused(int read, Fault pause, unsigned ms) {
        Model([&](TransmitterModel& m) { m.Faults.Arm(pause, 1, ms); });
        return Transact(read);
    }
    // Reads until the value comes; answers the failed reads before it.
    int FailuresUntilRight(int read) {
        int failures = 0;
        for (Verdict v; (v = Transact(read)) != Verdict::Right && failures < 20; ++failures)
            Verdicts.Add(v);
        return failures;
    }

    Tally Verdicts;
};

int ReadOfSize(int size) {
    for (int read = 0; read < ValueReadCount; ++read) {
        if (ValueReads[read].Size == size) return read;
    }
    return -1;
}

TEST_F(PausedReplies, ShortPausesCostTimeLongOnesFailAndNoPartIsTakenForAValue) {
    const int rounds = ProofSize(1, 10);
    int accepted = 0, shortPauses = 0, between = 0, betweenAccepted = 0, longPauses = 0,
        longAccepted = 0, mostFailuresAfter = 0;
    Stopwatch run;
    for (int round = 0; round < rounds; ++round) {
        for (int size : {1, 2, 4}) {
            const int read = ReadOfSize(size);
            const int frame = size + 3;
            SCOPED_TRACE(ValueReads[read].Name);
            // In two pieces, and a byte at a time, each pause under the time-out.
            for (Fault pause : {Fault::Gap, Fault::Drip}) {
                Stopwatch took;
                Verdict v = Paused(read, pause, ShortPauseMs);
                ++shortPauses;
                accepted += v == Verdict::Right;
                EXPECT_EQ(v, Verdict::Right) << FaultName(pause);
                const int pauses = pause == Fault::Gap ? 1 : frame - 1;
                EXPECT_GE(took.Seconds(), pauses * (PauseFloor.count() / 1000.0)) << "real pauses";
            }
            // Between one and two time-outs: either outcome, but never a part.
            Verdict v = Paused(read, Fault::Gap, BetweenPauseMs);
            ++between;
            betweenAccepted += v == Verdict::Right;
            if (v != Verdict::Right) Verdicts.Add(v);
            mostFailuresAfter = std::max(mostFailuresAfter, FailuresUntilRight(read));
            ASSERT_TRUE(Quiet());

            // Over two time-outs the reply comes apart; its rest reaches the
            // next transaction, which must not take it either.
            for (Fault pause : {Fault::Gap, Fault::Drip}) {
                if (pause == Fault::Drip && size > 1) continue; // seconds of dripping
                Verdict late = Paused(read, pause, LongPauseMs);
                ++longPauses;
                longAccepted += late != Verdict::Failed;
                Verdicts.Add(late);
                mostFailuresAfter = std::max(mostFailuresAfter, FailuresUntilRight(read));
                ASSERT_TRUE(Quiet());
            }
        }
    }
    Figure("%d replies with pauses of %u ms (two pieces, and byte by byte): %d accepted",
           shortPauses, ShortPauseMs, accepted);
    Figure("%d replies with a pause of %u ms: %d accepted, the rest failed", between,
           BetweenPauseMs, betweenAccepted);
    Figure("%d replies with pauses of %u ms: %d accepted; at most %d failed transactions "
           "before the next right value",
           longPauses, LongPauseMs, longAccepted, mostFailuresAfter);
    Figure("failed transactions and what the others took: %s; %.1f s", Verdicts.Text().c_str(),
           run.Seconds());
    EXPECT_EQ(accepted, shortPauses);
    EXPECT_EQ(longAccepted, 0);
    EXPECT_LT(mostFailuresAfter, 20) << "the link recovers";
    EXPECT_EQ(Verdicts.Total(), Verdicts[Verdict::Failed]) << "no value from a part of a reply";
}

} // namespace
