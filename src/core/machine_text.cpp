#include "core/machine_text.h"

#include "core/number_text.h"

namespace {

const char UpperHex[] = "0123456789ABCDEF";

} // namespace

std::string ExactText(float value) {
    NumberText text;
    FormatShortest(text, value);
    return text;
}

std::string IntegerText(int32_t value) {
    NumberText text;
    FormatInteger(text, value);
    return text;
}

std::string CountOf(int32_t count, const std::string& thing) {
    return IntegerText(count) + " " + thing + (count == 1 ? "" : "s");
}

// Unlike the window's fields, a person reading vl4 never sees "-0.000": a
// value that rounds to zero has no sign.
std::string FixedText(double value, int decimals) {
    NumberText text;
    FormatFloat(text, static_cast<float>(value), decimals);
    std::string shown = text;
    if (shown[0] == '-' && shown.find_first_not_of("0.", 1) == std::string::npos) shown.erase(0, 1);
    return shown;
}

std::string SignedText(double value, int decimals) {
    const std::string text = FixedText(value, decimals);
    return text[0] == '-' ? text : "+" + text;
}

std::string CelsiusText(double temperature) {
    return FixedText(temperature, 1) + " \xC2\xB0"
                                       "C";
}

std::string FixedText(double value, int decimals, const std::string& decimalSymbol) {
    std::string text = FixedText(value, decimals);
    const size_t point = text.find('.');
    if (point != std::string::npos) text.replace(point, 1, decimalSymbol);
    return text;
}

std::string HexText(uint32_t value) {
    std::string text = "0x";
    for (int shift = 28; shift >= 0; shift -= 4) text += UpperHex[value >> shift & 15];
    return text;
}

std::string HexBytes(const unsigned char* bytes, int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (i) text += ' ';
        text += UpperHex[bytes[i] >> 4];
        text += UpperHex[bytes[i] & 15];
    }
    return text;
}

std::string VersionText(uint16_t version) {
    NumberText text;
    FormatVersion(text, version);
    return text;
}

std::string JsonString(const std::string& text) {
    static const char Hex[] = "0123456789abcdef";
    std::string json = "\"";
    for (char c : text) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (byte < 0x20) {
            json += "\\u00";
            json += Hex[byte >> 4];
            json += Hex[byte & 15];
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string JsonFloat(float value) {
    return IsFiniteNumber(value) ? ExactText(value) : "null";
}

JsonObject& JsonObject::Add(const std::string& name, const std::string& json) {
    if (!Members.empty()) Members += ", ";
    Members += JsonString(name) + ": " + json;
    return *this;
}

std::string JsonObject::Text() const {
    return "{" + Members + "}";
}

std::string CsvField(const std::string& text, const std::string& separator) {
    if (text.find_first_of("\"\r\n") == std::string::npos &&
        text.find(separator) == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields, const char* lineEnd) {
    CsvDialect dialect;
    dialect.LineEnd = lineEnd;
    return CsvLine(fields, dialect);
}

std::string CsvLine(const std::vector<std::string>& fields, const CsvDialect& dialect) {
    std::string line;
    for (size_t i = 0; i < fields.size(); ++i)
        line += (i ? dialect.Separator : "") + CsvField(fields[i], dialect.Separator);
    return line + dialect.LineEnd;
}
