#include "sim/fault_plan.h"

#include "devlink/command_numbers.h"

namespace {
const char* const Names[] = {
    "noreply", "badsum", "badlength",      "badstart",       "cut",
    "late",    "ident",  "garbage-before", "garbage-inside", "garbage-after"};
static_assert(sizeof Names / sizeof Names[0] == static_cast<int>(Fault::Kinds));
} // namespace

const char* FaultName(Fault fault) {
    return Names[static_cast<int>(fault)];
}

void FaultPlan::Arm(Fault fault, unsigned replies) {
    Remaining[static_cast<int>(fault)] = replies;
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

Bytes FaultPlan::Garbage() {
    Bytes bytes(1 + Random() % MaxGarbage);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(Random());
    return bytes;
}

// Every data byte becomes the same stamp, A1, A2, ... AF, A0, A1 ..., so a
// test can tell which late reply it is looking at.
void FaultPlan::StampPayload(Bytes& data) {
    uint8_t stamp = static_cast<uint8_t>(0xA0 | (++Stamps & 0x0F));
    for (uint8_t& b : data) b = stamp;
}

bool FaultPlan::Shape(uint8_t command, Bytes data, SimReply& reply, std::string& notes) {
    if (Spend(Fault::NoReply, notes)) return false;
    if (command == CmdIdentify && Spend(Fault::Ident, notes)) data = ForeignIdent;
    reply = SimReply();
    if (Spend(Fault::Late, notes)) {
        reply.DelayMs = LateMs;
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
        Bytes noise = Garbage();
        frame.insert(frame.begin() + at, noise.begin(), noise.end());
    }
    reply.Wire = frame;
    return true;
}
