#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The number texts as vl4's strings, and texts for programs that read vl4's
// output: JSON and CSV. Floats for programs are the shortest decimals that
// read back to the very same float.

std::string ExactText(float value);
std::string IntegerText(int32_t value);
// As the window shows a value: fixed point with `decimals` digits.
std::string FixedText(double value, int decimals);
// A difference with its sign always shown: "+0.012", "-0.080".
std::string SignedText(double value, int decimals);
// "15.0 °C"
std::string CelsiusText(double temperature);
// 0x20241399: a raw 32-bit value in hex.
std::string HexText(uint32_t value);
// The firmware version as the window shows it: "1.02".
std::string VersionText(uint16_t version);

std::string JsonString(const std::string& text);
// A float as a JSON number; null for one JSON cannot carry (not finite).
std::string JsonFloat(float value);

// One JSON object on one line, its members in the order they are added.
class JsonObject {
public:
    JsonObject& Add(const std::string& name, const std::string& json);
    std::string Text() const;

private:
    std::string Members;
};

// A CSV field, quoted when it holds a separator, a quote or a line end.
std::string CsvField(const std::string& text);
// Fields joined into one CSV line with its line end.
std::string CsvLine(const std::vector<std::string>& fields, const char* lineEnd = "\n");
