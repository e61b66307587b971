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
// "1 reconnect", "3 reconnects".
std::string CountOf(int32_t count, const std::string& thing);
// As the window shows a value: fixed point with `decimals` digits; a value
// that rounds to zero has no sign ("0.000", never "-0.000").
std::string FixedText(double value, int decimals);
// A difference with its sign always shown: "+0.012", "-0.080", "+0.000".
std::string SignedText(double value, int decimals);
// "15.0 °C"
std::string CelsiusText(double temperature);
// The same with another decimal symbol than the point (a locale's comma).
std::string FixedText(double value, int decimals, const std::string& decimalSymbol);
// 0x20241399: a raw 32-bit value in hex.
std::string HexText(uint32_t value);
// Bytes as a frame is written down: "01 2B 00 D4".
std::string HexBytes(const unsigned char* bytes, int count);
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

// How a CSV text is written. The default is the form for programs: comma,
// point, LF, no byte-order mark; a spreadsheet wants its locale's dialect.
struct CsvDialect {
    std::string Separator = ",";
    std::string DecimalSymbol = ".";
    const char* LineEnd = "\n";
    bool ByteOrderMark = false; // at the start of a file
};

// A CSV field, quoted when it holds the separator, a quote or a line end.
std::string CsvField(const std::string& text, const std::string& separator = ",");
// Fields joined into one CSV line with its line end.
std::string CsvLine(const std::vector<std::string>& fields, const char* lineEnd = "\n");
std::string CsvLine(const std::vector<std::string>& fields, const CsvDialect& dialect);
