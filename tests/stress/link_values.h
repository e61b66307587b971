#pragma once

#include "devlink/comm_calls.h"
#include "devlink/transmitter_link.h"
#include "line/sim_on_cable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// One read of the read-out, delivering its value as bits so that any value
// compares exactly.
struct ValueRead {
    const char* Name;
    int Size; // bytes of the value on the wire
    bool (*Read)(TransmitterLink& link, uint32_t& bits);
};
constexpr int ValueReadCount = 14;
// In the order the main window reads them after a connect.
extern const ValueRead ValueReads[ValueReadCount];

// What a transaction ended with.
enum class Verdict {
    Right,   // the value the transmitter holds
    Failed,  // no value
    OwnLate, // the stamp of its own late reply: answered, only late
    Stamp,   // the stamp of another transaction's late reply
    Stale,   // the value of another read of the same size: an earlier reply
    Alien,   // a value nobody sent
    Kinds
};

struct Tally {
    int Count[static_cast<int>(Verdict::Kinds)] = {};
    void Add(Verdict verdict) { ++Count[static_cast<int>(verdict)]; }
    int operator[](Verdict verdict) const { return Count[static_cast<int>(verdict)]; }
    int Total() const;
    // Values taken for another transaction's.
    int Misattributed() const { return (*this)[Verdict::Stamp] + (*this)[Verdict::Stale]; }
    // "right 90, failed 10, own late 0, stamp 0, stale 0, alien 0"
    std::string Text() const;
};

// Passes every comm call on to the system and counts the bytes that reads on
// one handle deliver. Installed before the simulated transmitter starts and
// removed after it stopped, as its thread makes comm calls too.
class ReceiveCounter : public CommCalls {
public:
    ReceiveCounter() { Install(this); }
    ~ReceiveCounter() override { Install(nullptr); }
    BOOL ReadFile(HANDLE handle, void* buffer, DWORD count, DWORD* done) override {
        BOOL ok = CommCalls::ReadFile(handle, buffer, count, done);
        if (handle == Watched) Received += *done;
        return ok;
    }

    HANDLE Watched = INVALID_HANDLE_VALUE;
    DWORD Received = 0; // by the watched handle's one user
};

// Whether the low `size` bytes all are late-reply stamps (A0 to AF).
bool IsStamp(uint32_t bits, int size);

// The tool's link on COM5 against the simulated transmitter on COM6, set up
// so that every read holds a value of its own among the reads of its size,
// none of which looks like a stamp. Held keeps each read's value.
class LinkAgainstSim : public ::testing::Test {
protected:
    void SetUp() override;

    template <class F> auto Model(F&& use) { return Sim.Server.WithModel(use); }
    // One transaction of read `read`, counted in Sent.
    bool Read(int read, uint32_t& bits);
    // The same, judged. ownStamp is the stamp number its reply carries when
    // it was made late, 0 when not.
    Verdict Transact(int read, unsigned ownStamp = 0);
    Verdict Judge(int read, bool ok, uint32_t bits, unsigned ownStamp = 0) const;
    // Bytes waiting in the link's receive queue; the port is the link's,
    // the test only looks.
    DWORD Queued();
    bool WaitUntilQueued(DWORD count);
    // Waits until the transmitter has answered every request sent and its
    // replies have crossed the cable, so that nothing held up or paused
    // meets the next transaction (whose request drops what came before).
    bool Quiet();
    // Serves the transmitter anew, paced like a 9600 baud line or not; it
    // keeps its values.
    bool Restart(bool paced);

    std::vector<uint32_t> Held;
    unsigned Sent = 0;      // requests since SetUp
    ReceiveCounter Counter; // of the link's port
    SimOnCable Sim;
    TransmitterLink Link;
};
