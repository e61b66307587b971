#pragma once

#include <windows.h>

// The probe a transmitter is set up for; indexes ProbeTypeNames and ProbeDefaults.
enum ProbeType : BYTE {
    ProbePH = 0,
    ProbeRedox = 1,
    ProbeChlorine = 2,
    ProbeOxygen = 3,
};
constexpr int ProbeTypeCount = 4;
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

// The input parameters loaded into the transmitter when its probe type changes.
struct ProbeParameters {
    float Offset;
    float Sensitivity;
    float LowerRange;
    float UpperRange;
};
extern const ProbeParameters ProbeDefaults[ProbeTypeCount];
