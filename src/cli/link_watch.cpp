#include "cli/link_watch.h"

#include "cli/link_trace.h"
#include "core/language.h"
#include "core/machine_text.h"

void LinkWatch::Sent(const BYTE* bytes, int count) {
    ++Transactions;
    SentAt = Clock::now();
    if (Trace) Trace->Write(Port, ">  " + HexBytes(bytes, count));
}

void LinkWatch::Received(const BYTE* bytes, int count, ReplyOutcome outcome) {
    TimeOuts += outcome == ReplyOutcome::TimedOut;
    BadFrames += outcome != ReplyOutcome::TimedOut && outcome != ReplyOutcome::Ok;
    if (outcome == ReplyOutcome::Ok) {
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - SentAt).count();
        if (ReplyTimes.empty()) ReplyTimes.assign(TimeSlots, 0);
        const int slot = static_cast<int>(ms * 10.0);
        ++ReplyTimes[slot < TimeSlots ? slot : TimeSlots - 1];
        ++Replies;
        if (ms > LongestMs) LongestMs = ms;
    }
    if (Trace)
        Trace->Write(Port, "<  " + (count ? HexBytes(bytes, count) + "  " : std::string()) +
                               OutcomeWord(outcome));
}

void LinkWatch::Discarded(const BYTE* bytes, int count) {
    LateBytes += count;
    if (Trace) Trace->Write(Port, "<  " + HexBytes(bytes, count) + "  late: discarded");
}

void LinkWatch::Note(const std::string& what) {
    if (Trace) Trace->Write(Port, "-  " + what);
}

namespace {

// "{0} time-outs" in the form for the count, with the count.
std::string Counted(const char* pattern, int32_t count) {
    return Format(pattern, {IntegerText(count)});
}

} // namespace

std::string LinkWatch::CountsText() const {
    return Counted(Q_("{0} transaction", "{0} transactions", Transactions), Transactions) + ", " +
           Counted(Q_("{0} time-out", "{0} time-outs", TimeOuts), TimeOuts) + ", " +
           Counted(Q_("{0} bad frame", "{0} bad frames", BadFrames), BadFrames) + ", " +
           Counted(Q_("{0} late byte discarded", "{0} late bytes discarded", LateBytes), LateBytes);
}

std::string LinkWatch::ReplyTimeText() const {
    if (Replies == 0) return _("no reply came whole");
    int32_t below = 0;
    int slot = 0;
    while ((below += ReplyTimes[slot]) * 2 < Replies) ++slot;
    return Format(_("reply time median {0} ms, maximum {1} ms"),
                  {Decimal(slot / 10.0, 1), Decimal(LongestMs, 1)});
}

const char* OutcomeWord(ReplyOutcome outcome) {
    switch (outcome) {
    case ReplyOutcome::Ok:
        return "ok";
    case ReplyOutcome::TimedOut:
        return "time-out";
    case ReplyOutcome::Cut:
        return "cut";
    case ReplyOutcome::BadChecksum:
        return "bad checksum";
    case ReplyOutcome::Unexpected:
        break;
    }
    return "unexpected";
}
