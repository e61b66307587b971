// Replies later than the link waits for them. One that is in before the next
// request goes out is dropped with the receive queue before that request,
// and never passes for another transaction's value. One that comes while the
// next transaction already waits looks like that transaction's reply when it
// has the same length: the protocol carries no command echo to tell them
// apart, and the transmitter's reply to that next request then comes after
// the request after it has dropped the queue, so the link can stay one reply
// behind. Measured here: how often values are taken for others, and whether
// a short settle and purge after a failed transaction keeps them out, and
// what that costs polling against a dead line.
#include "stress/link_values.h"
#include "stress/proof.h"

#include <algorithm>
#include <random>

namespace {

// The candidates under measurement, not the link's behaviour: after a failed
// transaction, wait a little and drop whatever came in meanwhile; or do so
// only when bytes came during the failed transaction, which costs a dead
// line nothing.
// The last is the link's own, which vl4 turns on: after a failure the next
// request waits until the line has been quiet for a whole read time-out.
struct Settle {
    const char* Name;
    unsigned Ms; // 0: the link as it is
    bool OnlyWhenBytesCame;
    bool ByTheLink;
};
constexpr Settle Candidates[] = {
    {"no settle", 0, false, false},
    {"settle 30 ms after a failure", 30, false, false},
    {"settle 60 ms after a failure", 60, false, false},
    {"settle 60 ms after a failure on which bytes came", 60, true, false},
    {"the link's settle: a quiet read time-out (vl4)", 0, false, true},
};

void AfterFailure(TransmitterLink& link, const Settle& settle, DWORD received) {
    if (!settle.Ms || (settle.OnlyWhenBytesCame && received == 0)) return;
    Sleep(settle.Ms);
    link.Port->Purge(PURGE_RXCLEAR);
}

// A short run measures the link as it is, the settle of 60 ms and the link's own.
bool InShortRun(const Settle& settle) {
    return settle.Ms == 0 || (settle.Ms == 60 && !settle.OnlyWhenBytesCame);
}

struct LatePlan {
    unsigned DelayMs;
    const Settle& After; // what follows a failed transaction
    bool AwaitArrival;   // the next request waits until the late reply is in
    int Transactions;
};

struct LateFigures {
    int Late = 0; // replies made late
    Tally Verdicts;
    int LongestRun = 0; // values taken for others in a row
    double Seconds = 0;
};

class LateReplies : public LinkAgainstSim {
protected:
    // Reads the read-out's values one after another, one in ten answered
    // late with a stamped payload.
    LateFigures Run(const LatePlan& plan) {
        EXPECT_TRUE(Quiet());
        Link.SettleAfterFailure = plan.After.ByTheLink;
        std::mt19937 random(plan.DelayMs * 100 + plan.After.Ms + plan.After.OnlyWhenBytesCame +
                            plan.After.ByTheLink * 7);
        unsigned stamps = 0;
        int run = 0;
        LateFigures figures;
        Stopwatch took;
        for (int t = 0; t < plan.Transactions; ++t) {
            const int read = t % ValueReadCount;
            unsigned own = 0;
            // A late reply holds up the replies behind it; a reply is made
            // late only when every request before it has been answered, so
            // that the stamp goes to this transaction's request.
            if (random() % 10 == 0 && Model([&](TransmitterModel& m) {
                    if (m.Requests != Sent) return false;
                    m.Faults.ArmLate(plan.DelayMs, true, 1);
                    return true;
                })) {
                own = ++stamps;
                ++figures.Late;
            }
            const DWORD before = Counter.Received;
            const Verdict v = Transact(read, own);
            figures.Verdicts.Add(v);
            run = v == Verdict::Stamp || v == Verdict::Stale ? run + 1 : 0;
            figures.LongestRun = std::max(figures.LongestRun, run);
            if (v != Verdict::Failed) continue;
            AfterFailure(Link, plan.After, Counter.Received - before);
            if (own && plan.AwaitArrival) {
                EXPECT_TRUE(WaitUntilQueued(ValueReads[read].Size + 3u)) << "the late reply";
            }
        }
        figures.Seconds = took.Seconds();
        const Tally& v = figures.Verdicts;
        Figure("late %u ms, %s, next request %s: %d transactions, %d late", plan.DelayMs,
               plan.After.Name, plan.AwaitArrival ? "once the late reply is in" : "at once",
               plan.Transactions, figures.Late);
        Figure("    %s; taken for others %d, at most %d in a row; %.1f s", v.Text().c_str(),
               v.Misattributed(), figures.LongestRun, figures.Seconds);
        return figures;
    }
};

const char* LineKind(bool paced) {
    return paced ? "transmitter paced like a 9600 baud line" : "transmitter unpaced";
}

TEST_F(LateReplies, OneInBeforeTheNextRequestIsNeverTakenForAnotherValue) {
    for (bool paced : {false, true}) {
        ASSERT_TRUE(Restart(paced));
        Figure("%s:", LineKind(paced));
        const int transactions = paced ? ProofSize(100, 2000) : ProofSize(200, 10000);
        LateFigures f = Run({250, Candidates[0], true, transactions});
        EXPECT_GT(f.Late, 0);
        EXPECT_EQ(f.Verdicts[Verdict::Stamp], 0);
        EXPECT_EQ(f.Verdicts[Verdict::Stale], 0);
        EXPECT_EQ(f.Verdicts[Verdict::Alien], 0);
    }
}

TEST_F(LateReplies, OneThatMeetsTheNextTransactionIsCountedWithAndWithoutSettling) {
    const int transactions = ProofSize(60, 500);
    for (bool paced : {false, true}) {
        ASSERT_TRUE(Restart(paced));
        Figure("%s:", LineKind(paced));
        for (unsigned delay : {250u, 400u, 1000u}) {
            if (delay > 250 && !FullProof()) break;
            for (const Settle& settle : Candidates) {
                if (!FullProof() && !InShortRun(settle)) continue;
                LateFigures f = Run({delay, settle, false, transactions});
                // Whatever was taken wrongly is a reply the transmitter sent
                // for another request, never damaged or made-up data.
                EXPECT_EQ(f.Verdicts[Verdict::Alien], 0) << delay << " ms, " << settle.Name;
                EXPECT_EQ(f.Verdicts.Total(), transactions);
                // Waiting for a quiet line keeps out a reply that comes well
                // within a read time-out after its own time-out; one of 400 ms
                // comes just as the quiet read time-out ends.
                if (settle.ByTheLink && delay <= 250) {
                    EXPECT_EQ(f.Verdicts.Misattributed(), 0) << delay << " ms";
                }
            }
        }
    }
}

// Polling against a dead line: the three live values once a second, each
// read waiting out the read time-out, and a settle on top of each.
TEST(DeadLine, PollingCostsThreeReadTimeoutsAndASettleAfterEachOnTop) {
    ReceiveCounter counter;
    TransmitterLink link;
    ASSERT_TRUE(link.Open("COM5"));
    counter.Watched = link.Port->Handle;
    const int polls = ProofSize(1, 10);
    const int first = ValueReadCount - 3; // probe voltage, measured value, ratio
    for (const Settle& settle : Candidates) {
        if (!FullProof() && !InShortRun(settle)) continue;
        link.SettleAfterFailure = settle.ByTheLink;
        int failed = 0;
        Stopwatch took;
        for (int poll = 0; poll < polls; ++poll) {
            for (int read = first; read < ValueReadCount; ++read) {
                const DWORD before = counter.Received;
                uint32_t bits;
                if (ValueReads[read].Read(link, bits)) continue;
                ++failed;
                AfterFailure(link, settle, counter.Received - before);
            }
        }
        const double ms = took.Seconds() * 1000 / polls;
        Figure("dead line, %s: %.0f ms a poll of three reads (%d polls)", settle.Name, ms, polls);
        EXPECT_EQ(failed, 3 * polls);
        EXPECT_EQ(counter.Received, 0u);
        // Each read waits at least the read time-out (less a little for
        // Wine's timers), and the settle when one follows.
        const double settleMs = settle.ByTheLink ? 180.0 : settle.OnlyWhenBytesCame ? 0 : settle.Ms;
        EXPECT_GE(ms, 3 * (180.0 + settleMs));
    }
}

} // namespace
