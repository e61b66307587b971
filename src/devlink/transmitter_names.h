#pragma once

#include "devlink/probe_defaults.h"

#include <windows.h>

constexpr int OutputWiringCount = 3;

// A displayed name. The three members after the text are always zero and
// nothing reads them.
struct TextRecord {
    const char* Text;
    DWORD Reserved[3];
};
static_assert(sizeof(TextRecord) == 16, "a text reference and three 32-bit members");

extern const TextRecord* const ProbeTypeNames[ProbeTypeCount];
extern const TextRecord* const OutputWiringNames[OutputWiringCount];
extern const TextRecord CommunicationErrorText;

// The name of a probe type or output wiring byte as the transmitter reported
// it; any byte value gives a name.
const char* ProbeTypeName(BYTE probeType);
const char* OutputWiringName(BYTE outputWiring);

// Whether the tool works with a device that identifies itself with this text:
// "VL4", or "ZD2W50" as the first transmitters of the family answer, exactly
// and case-sensitively.
bool IsAcceptedIdentification(const char* ident);
