#pragma once

#include <cstdint>

// The transmitter's vocabulary in English, for the command line and its files.

// The name of a probe type byte; a byte beyond the four is reduced with AND 3,
// as the window reduces it, so both name the same probe.
const char* ProbeTypeEnglishName(uint8_t probeType);
// The name of an output wiring byte, reduced modulo 3 as in the window.
const char* OutputWiringEnglishName(uint8_t outputWiring);

// pH, Redox, chlorine or oxygen in any letter case.
bool ParseProbeTypeName(const char* text, uint8_t& probeType);
