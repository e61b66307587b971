#pragma once

#include "devlink/transmitter_link.h"

// The damping writes of the window, vl4 set and the calibrations: the
// transmitter's reply is what it holds, and that is what is shown and
// checked, never the value sent.

// Writes the damping and leaves the transmitter's reply in value.
bool WriteDamping(TransmitterLink& link, BYTE& value);

// The damping off while a probe is sampled, so that the readings are the
// probe's own, and back afterwards.
class DampingPause {
public:
    enum class Begun {
        Paused, // it was on and is now 0
        AlreadyOff,
        NotRead,   // the damping did not come: nothing was written
        NotZeroed, // the write got no reply, or the transmitter holds another value
    };

    explicit DampingPause(TransmitterLink& link) : Link(link) {}

    // Reads the damping and writes 0 when it is not 0.
    Begun Begin();
    // Writes the damping read by Begin back, when Begin may have changed it;
    // true when nothing needed restoring or the transmitter holds it again.
    bool End();
    // Whether End has something to put back.
    bool Pending() const { return Changed; }

    BYTE Saved = 0;       // the damping read by Begin
    bool Replied = false; // whether the last write got a reply
    BYTE Returned = 0;    // that reply: what the transmitter holds

private:
    TransmitterLink& Link;
    bool Changed = false;
};
