#include "sim/request_parser.h"

#include <algorithm>

void RequestParser::Push(const uint8_t* data, size_t n) {
    Held.insert(Held.end(), data, data + n);
}

size_t RequestParser::HeadFrameSize() const {
    if (Held.size() < 3) return 0;
    return Held[2] + 4u;
}

// Drops the front byte and every following byte up to the next start byte,
// at most limit bytes in all.
void RequestParser::SkipRun(Event& event, size_t limit) {
    size_t end = 1;
    while (end < Held.size() && end < limit && Held[end] != RequestStart) ++end;
    event = Event();
    event.What = Event::Skipped;
    event.Raw.assign(Held.begin(), Held.begin() + end);
    Held.erase(Held.begin(), Held.begin() + end);
}

bool RequestParser::Next(Event& event) {
    if (Held.empty()) return false;
    if (Held[0] != RequestStart) {
        // Noise is reported in one piece once it ends, however it arrived.
        if (std::find(Held.begin(), Held.end(), RequestStart) == Held.end()) return false;
        SkipRun(event);
        return true;
    }
    if (Held.size() >= 3 && Held[2] > MaxRequestData) {
        SkipRun(event);
        return true;
    }
    size_t size = HeadFrameSize();
    if (size == 0 || Held.size() < size) return false;
    if (ByteSum(Held.data(), size) != 0) {
        // A real frame may begin inside the damaged one, so only its bytes
        // up to the next start byte are dropped and the rest is parsed again.
        Bytes candidate(Held.begin(), Held.begin() + size);
        SkipRun(event, size);
        event.What = Event::BadChecksum;
        event.Raw = candidate;
        return true;
    }
    event = Event();
    event.What = Event::Frame;
    event.Raw.assign(Held.begin(), Held.begin() + size);
    event.Command = Held[1];
    event.Data.assign(Held.begin() + 3, Held.begin() + size - 1);
    Held.erase(Held.begin(), Held.begin() + size);
    return true;
}

bool RequestParser::Abandon(Event& event) {
    if (Next(event)) return true;
    if (Held.empty()) return false;
    SkipRun(event);
    return true;
}

size_t RequestParser::BytesWanted() const {
    if (Held.empty() || Held[0] != RequestStart) return 1;
    size_t size = HeadFrameSize();
    if (size == 0) return 3 - Held.size();
    return Held.size() < size ? size - Held.size() : 1;
}
