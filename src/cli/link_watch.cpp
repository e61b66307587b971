#include "cli/link_watch.h"

#include "cli/link_trace.h"
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

std::string LinkWatch::CountsText() const {
    return CountOf(Transactions, "transaction") + ", " + CountOf(TimeOuts, "time-out") + ", " +
           CountOf(BadFrames, "bad frame") + ", " + CountOf(LateBytes, "late byte") + " discarded";
}

std::string LinkWatch::ReplyTimeText() const {
    if (Replies == 0) return "no reply came whole";
    int32_t below = 0;
    int slot = 0;
    while ((below += ReplyTimes[slot]) * 2 < Replies) ++slot;
    return "reply time median " + FixedText(slot / 10.0, 1) + " ms, maximum " +
           FixedText(LongestMs, 1) + " ms";
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
