#include "sim/frame_bytes.h"

#include <cstdio>
#include <cstring>

uint8_t ByteSum(const uint8_t* data, size_t n) {
    unsigned sum = 0;
    for (size_t i = 0; i < n; ++i) sum += data[i];
    return static_cast<uint8_t>(sum);
}

uint8_t ChecksumFor(const uint8_t* data, size_t n) {
    return static_cast<uint8_t>(0x100 - ByteSum(data, n));
}

namespace {
Bytes Framed(Bytes frame) {
    frame.push_back(ChecksumFor(frame.data(), frame.size()));
    return frame;
}
} // namespace

Bytes ReplyFrame(const Bytes& data) {
    Bytes frame{ReplyStart, static_cast<uint8_t>(data.size())};
    frame.insert(frame.end(), data.begin(), data.end());
    return Framed(frame);
}

Bytes RequestFrame(uint8_t command, const Bytes& data) {
    Bytes frame{RequestStart, command, static_cast<uint8_t>(data.size())};
    frame.insert(frame.end(), data.begin(), data.end());
    return Framed(frame);
}

Bytes Le16(uint16_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
}

Bytes Le32(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

uint32_t GetLe32(const uint8_t* data) {
    return data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
}

uint32_t FloatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float FloatFromBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

Bytes FloatBytes(float value) {
    return Le32(FloatBits(value));
}

std::string HexBytes(const uint8_t* data, size_t n) {
    std::string text;
    char hex[4];
    for (size_t i = 0; i < n; ++i) {
        std::snprintf(hex, sizeof hex, i ? " %02X" : "%02X", data[i]);
        text += hex;
    }
    return text;
}
