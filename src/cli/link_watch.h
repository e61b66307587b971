#pragma once

#include "devlink/device_link.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

class LinkTrace;

// What one link sees of its line: the counts a log ends with and, when the
// command has a trace, each frame into it. The link calls it on the thread
// that runs its transactions.
class LinkWatch : public LinkObserver {
public:
    void Sent(const BYTE* bytes, int count) override;
    void Received(const BYTE* bytes, int count, ReplyOutcome outcome) override;
    void Discarded(const BYTE* bytes, int count) override;
    // A line of the trace about the port itself (closed, opened again).
    void Note(const std::string& what);

    // "1503 transactions, 12 time-outs, 0 bad frames, 0 late bytes discarded"
    std::string CountsText() const;
    // "reply time median 14.2 ms, maximum 15.0 ms", over the replies that
    // came whole (from the request's start to the reply's last byte).
    std::string ReplyTimeText() const;

    std::string Port;
    LinkTrace* Trace = nullptr; // not owned; null without a trace
    int32_t Transactions = 0, TimeOuts = 0, BadFrames = 0, LateBytes = 0;

private:
    using Clock = std::chrono::steady_clock;
    // Reply times in tenths of a millisecond, the last slot for a second or
    // more: a log of a week keeps its median in a fixed room.
    static constexpr int TimeSlots = 10001;

    Clock::time_point SentAt;
    std::vector<int32_t> ReplyTimes;
    int32_t Replies = 0;
    double LongestMs = 0;
};

// The word of a reply's outcome in a trace: "ok", "time-out", "bad checksum".
const char* OutcomeWord(ReplyOutcome outcome);
