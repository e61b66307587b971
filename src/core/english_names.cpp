#include "core/english_names.h"

#include "core/language.h"
#include "devlink/probe_defaults.h"

namespace {
// Stored and parsed as they are; a person reads them translated.
const char* const ProbeNames[ProbeTypeCount] = {N_("pH"), N_("Redox"), N_("chlorine"),
                                                N_("oxygen")};
const char* const WiringNames[] = {"passive 4-20 mA", "active 0-20 mA", "active 0-10 V"};
constexpr int WiringCount = sizeof WiringNames / sizeof WiringNames[0];

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// ASCII letters only: the system's comparison follows the user's language.
bool SameIgnoringCase(const char* a, const char* b) {
    for (; *a && Lower(*a) == Lower(*b); ++a, ++b) {
    }
    return Lower(*a) == Lower(*b);
}
} // namespace

const char* ProbeTypeEnglishName(uint8_t probeType) {
    return ProbeNames[probeType & 3];
}

const char* OutputWiringEnglishName(uint8_t outputWiring) {
    return WiringNames[outputWiring % WiringCount];
}

bool ParseProbeTypeName(const char* text, uint8_t& probeType) {
    for (int i = 0; i < ProbeTypeCount; ++i) {
        if (SameIgnoringCase(text, ProbeNames[i])) {
            probeType = static_cast<uint8_t>(i);
            return true;
        }
    }
    return false;
}
