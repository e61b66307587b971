#pragma once

#include "sim/frame_bytes.h"

#include <random>
#include <string>

// Damage to be done to the transmitter's next replies. Each fault is armed
// for a number of replies and spent one reply at a time; faults of different
// kinds armed together act on the same reply.
enum class Fault {
    NoReply,       // the reply is swallowed
    BadChecksum,   // checksum off by one
    BadLength,     // a well-formed frame with one data byte too many
    BadStart,      // start byte 0x15 instead of 0x06
    Cut,           // only the header and half of the data are sent
    Late,          // sent after a delay, optionally with a stamped payload
    Ident,         // identification replies carry a foreign text
    GarbageBefore, // random bytes before the frame
    GarbageInside, // random bytes in the middle of the frame
    GarbageAfter,  // random bytes after the frame
    Gap,           // sent in two pieces with a pause between them
    Drip,          // sent one byte at a time with a pause after each
    Kinds
};

const char* FaultName(Fault fault);

// What goes on the line for one answered request.
struct SimReply {
    Bytes Wire;
    unsigned DelayMs = 0;
    // Sent in pieces of PieceSize bytes (0: all at once), GapMs apart.
    size_t PieceSize = 0;
    unsigned GapMs = 0;
};

class FaultPlan {
public:
    static constexpr uint8_t ForeignStart = 0x15;
    static constexpr unsigned MaxGarbage = 8;
    static constexpr unsigned MaxGarbageBytes = 4096;

    // size: for garbage the byte count (0: 1 to MaxGarbage at random), for
    // gap and drip the pause in ms.
    void Arm(Fault fault, unsigned replies, unsigned size = 0);
    void ArmLate(unsigned delayMs, bool unique, unsigned replies);
    void ArmIdent(const Bytes& ident8, unsigned replies);
    void Clear();
    unsigned Armed(Fault fault) const { return Remaining[static_cast<int>(fault)]; }
    void Seed(uint32_t seed) { Random.seed(seed); }

    // The reply to the given command carrying data, with every armed fault
    // that applies spent on it; false when the reply is swallowed. The names
    // of the faults applied are appended to notes.
    bool Shape(uint8_t command, Bytes data, SimReply& reply, std::string& notes);

private:
    bool Spend(Fault fault, std::string& notes);
    Bytes Garbage(unsigned size);
    void StampPayload(Bytes& data);

    unsigned Remaining[static_cast<int>(Fault::Kinds)] = {};
    unsigned Size[static_cast<int>(Fault::Kinds)] = {};
    unsigned LateMs = 0;
    bool LateUnique = false;
    unsigned Stamps = 0;
    Bytes ForeignIdent;
    std::minstd_rand Random;
};
