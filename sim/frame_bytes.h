#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Byte-level helpers shared by the simulated transmitter's parts: frame
// constants, checksums, little-endian values and the hex text of the log.
using Bytes = std::vector<uint8_t>;

constexpr uint8_t RequestStart = 0x01;
constexpr uint8_t ReplyStart = 0x06;
// The longest request data: a 4-byte value being written.
constexpr size_t MaxRequestData = 4;

// The byte that makes the sum of data[0..n) plus itself 0 modulo 256.
uint8_t ChecksumFor(const uint8_t* data, size_t n);
uint8_t ByteSum(const uint8_t* data, size_t n);

// 06, length, data, checksum.
Bytes ReplyFrame(const Bytes& data);
// 01, command, length, data, checksum.
Bytes RequestFrame(uint8_t command, const Bytes& data = {});

Bytes Le16(uint16_t value);
Bytes Le32(uint32_t value);
uint32_t GetLe32(const uint8_t* data);
uint32_t FloatBits(float value);
float FloatFromBits(uint32_t bits);
Bytes FloatBytes(float value);

// "01 2B 00 D4"
std::string HexBytes(const uint8_t* data, size_t n);
inline std::string HexBytes(const Bytes& bytes) {
    return HexBytes(bytes.data(), bytes.size());
}
