#include "sim/fault_plan.h"

#include "devlink/command_numbers.h"

namespace {
const char* const Names[] = {
    "noreply", "badsum",         "badlength",      "badstart",      "cut", "late",
    "ident",   "garbage-before", "garbage-inside", "garbage-after", "gap", "drip"};
static_assert(sizeof Names / sizeof Names[0] == static_cast<int>(Fault::Kinds));
} // namespace

const char* FaultName(Fault fault) {
    return Names[static_cast<int>(fault)];
}

void FaultPlan::Arm(Fault fault, unsigned replies, unsigned size) {
    Remaining[static_cast<int>(fault)] = replies;
    Size[static_cast<int>(fault)] = size;
}

void FaultPlan::ArmLate(unsigned delayMs, bool unique, unsigned replies) {
    LateMs = delayMs;
    LateUnique = unique;
    Arm(Fault::Late, replies);
}

void FaultPlan::ArmIdent(const Bytes& ident8, unsigned replies) {
    ForeignIdent = ident8;
    Arm(Fault::Ident, replies);
}

void FaultPlan::Clear() {
    for (unsigned& r : Remaining) r = 0;
}

bool FaultPlan::Spend(Fault fault, std::string& notes) {
    unsigned& left = Remaining[static_cast<int>(fault)];
    if (left == 0) return false;
    --left;
    notes += notes.empty() ? "" : " ";
    notes += FaultName(fault);
    return true;
}

Bytes FaultPlan::Garbage(unsigned size) {
    Bytes bytes(size ? size : 1 + Random() % MaxGarbage);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(Random());
    return bytes;
}

// Every data byte becomes a stamp A0 to AF whose low digits count the late
// replies, the first byte's digit the lowest: the first late byte reply
// carries A1, the next A2; a 4-byte value is unique for 65,535 late replies.
// A test can tell which late reply it is looking at, and no stamp passes for
// a value that does not look like one.
void FaultPlan::StampPayload(Bytes& data) {
    ++Stamps;
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(0xA0 | ((Stamps >> (4 * (i % 8))) & 0x0F));
}

bool FaultPlan::Shape(uint8_t command, Bytes data, SimReply& reply, std::string& notes) {
    if (Spend(Fault::NoReply, notes)) return false;
    if (command == CmdIdentify && Spend(Fault::Ident, notes)) data = ForeignIdent;
    reply = SimReply();
    if (Spend(Fault::Late, notes)) {
        reply.DelayMs = LateMs;
        notes += " " + std::to_string(LateMs) + " ms";
        if (LateUnique) StampPayload(data);
    }
    if (Spend(Fault::BadLength, notes)) data.push_back(0);
    Bytes frame = ReplyFrame(data);
    if (Spend(Fault::BadChecksum, notes)) ++frame.back();
    if (Spend(Fault::BadStart, notes)) frame[0] = ForeignStart;
    if (Spend(Fault::Cut, notes)) frame.resize(2 + data.size() / 2);
    for (Fault garbage : {Fault::GarbageInside, Fault::GarbageBefore, Fault::GarbageAfter}) {
        if (!Spend(garbage, notes)) continue;
        size_t at = garbage == Fault::GarbageBefore   ? 0
                    : garbage == Fault::GarbageInside ? frame.size() / 2
                                                      : frame.size();
        Bytes noise = Garbage(Size[static_cast<int>(garbage)]);
        frame.insert(frame.begin() + at, noise.begin(), noise.end());
    }
    for (Fault pause : {Fault::Gap, Fault::Drip}) {
        if (!Spend(pause, notes)) continue;
        reply.GapMs = Size[static_cast<int>(pause)];
        reply.PieceSize = pause == Fault::Drip ? 1 : (frame.size() + 1) / 2;
        notes += " " + std::to_string(reply.GapMs) + " ms";
    }
    reply.Wire = frame;
    return true;
}
