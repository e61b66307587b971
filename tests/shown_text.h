#pragma once

#include "core/number_text.h"

#include <cstdint>
#include <string>

// What the tool's value fields show for a value, for tests to compare with.

inline std::string Shown(float value, int decimals) {
    NumberText text;
    FormatFloat(text, value, decimals);
    return text;
}

inline std::string ShownVersion(uint16_t version) {
    NumberText text;
    FormatVersion(text, version);
    return text;
}

inline std::string ShownDate(uint32_t bcdDate) {
    NumberText text;
    FormatDate(text, bcdDate);
    return text;
}
