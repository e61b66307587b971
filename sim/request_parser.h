#pragma once

#include "sim/frame_bytes.h"

#include <cstdint>

// Cuts the byte stream from the PC into request frames. Anything that cannot
// start or complete a frame is skipped up to the next 0x01, so one damaged
// frame or a burst of noise costs only itself.
class RequestParser {
public:
    struct Event {
        enum Kind { Frame, Skipped, BadChecksum };
        Kind What = Skipped;
        Bytes Raw; // the frame, or the bytes skipped
        uint8_t Command = 0;
        Bytes Data;
    };

    void Push(const uint8_t* data, size_t n);
    // The next frame or rejected run of bytes; false while the bytes held
    // are only the beginning of a frame or noise that may go on.
    bool Next(Event& event);
    // The line has gone quiet: a frame begun now will not be completed, so
    // its bytes are skipped and whatever follows them is parsed again.
    bool Abandon(Event& event);
    // Bytes still missing from the frame under way (1 while hunting for a
    // start byte), so a reader can ask the line for exactly those.
    size_t BytesWanted() const;
    // No frame begun: nothing held, or only noise.
    bool BetweenFrames() const { return Held.empty() || Held[0] != RequestStart; }

private:
    // Length of the frame at the front, once its header is in; 0 while not.
    size_t HeadFrameSize() const;
    void SkipRun(Event& event, size_t limit = SIZE_MAX);

    Bytes Held;
};
