#include "devlink/transmitter_names.h"

#include <cstring>

// Texts are Windows-1250 bytes.
namespace {
const TextRecord PH = {"pH", {}};
const TextRecord Redox = {"Redox", {}};
const TextRecord Chlorine = {"Chl\xF3r", {}}; // Chlór
const TextRecord Oxygen = {"Kysl\xEDk", {}};  // Kyslík

const TextRecord Passive4To20mA = {"Pasivn\xED 4 a\x9E 20 mA", {}}; // Pasivní 4 až 20 mA
const TextRecord Active0To20mA = {"Aktivn\xED 0 a\x9E 20 mA", {}};  // Aktivní 0 až 20 mA
const TextRecord Active0To10V = {"Aktivn\xED 0 a\x9E 10 V", {}};    // Aktivní 0 až 10 V
} // namespace

const TextRecord* const ProbeTypeNames[ProbeTypeCount] = {&PH, &Redox, &Chlorine, &Oxygen};
const TextRecord* const OutputWiringNames[OutputWiringCount] = {&Passive4To20mA, &Active0To20mA,
                                                                &Active0To10V};
const TextRecord CommunicationErrorText = {"Chyba komunikace", {}};

const char* ProbeTypeName(BYTE probeType) {
    return ProbeTypeNames[probeType & 3]->Text;
}
const char* OutputWiringName(BYTE outputWiring) {
    return OutputWiringNames[outputWiring % OutputWiringCount]->Text;
}

bool IsAcceptedIdentification(const char* ident) {
    return std::strcmp(ident, "VL4") == 0 || std::strcmp(ident, "ZD2W50") == 0;
}
