#include "sim/sim_console.h"

#include "calibration/oxygen_solubility.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using Words = std::vector<std::string>;

Words Split(const std::string& line) {
    Words words;
    size_t at = 0;
    while ((at = line.find_first_not_of(" \t\r\n", at)) != std::string::npos) {
        size_t end = line.find_first_of(" \t\r\n", at);
        words.push_back(line.substr(at, end - at));
        at = end;
    }
    return words;
}

// The whole text as a number in [min, max]; base 0 takes 0x.. as hex.
bool ParseLong(const std::string& text, long long min, long long max, long long& value) {
    if (text.empty()) return false;
    // Decimal, or hex after 0x; never octal, so that 08 is eight.
    int base = text.compare(0, 2, "0x") == 0 || text.compare(0, 2, "0X") == 0 ? 16 : 10;
    char* end = nullptr;
    errno = 0;
    value = std::strtoll(text.c_str(), &end, base);
    return errno == 0 && *end == 0 && value >= min && value <= max;
}

template <class T> bool ParseInto(const std::string& text, long long min, long long max, T& field) {
    long long value;
    if (!ParseLong(text, min, max, value)) return false;
    field = static_cast<T>(value);
    return true;
}

bool ParseByte(const std::string& text, uint8_t& field) {
    return ParseInto(text, 0, 255, field);
}

// A decimal number, or 0x and the float's eight hex digits. The value is
// written only when the whole text is a number.
bool ParseFloat(const std::string& text, float& value) {
    if (text.size() == 10 && text.compare(0, 2, "0x") == 0) {
        long long bits;
        if (!ParseLong(text, 0, UINT32_MAX, bits)) return false;
        value = FloatFromBits(static_cast<uint32_t>(bits));
        return true;
    }
    if (text.empty()) return false;
    char* end = nullptr;
    float parsed = std::strtof(text.c_str(), &end);
    if (*end != 0) return false;
    value = parsed;
    return true;
}

// A finite number not below min, written only when it is one.
bool ParseFinite(const std::string& text, float min, float& field) {
    float value;
    if (!ParseFloat(text, value) || !std::isfinite(value) || value < min) return false;
    field = value;
    return true;
}

constexpr float AnyNumber = -FLT_MAX;
constexpr float AbsoluteZeroC = -273.15f;

// 0x20240315 as it goes on the wire, or 2024-03-15 turned into those digits.
bool ParseDate(const std::string& text, uint32_t& date) {
    unsigned y, m, d;
    char tail;
    if (std::sscanf(text.c_str(), "%4u-%2u-%2u%c", &y, &m, &d, &tail) == 3) {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%04u%02u%02u", y, m % 100, d % 100);
        date = static_cast<uint32_t>(std::strtoul(digits, nullptr, 16));
        return true;
    }
    return ParseInto(text, 0, UINT32_MAX, date);
}

// Up to 8 bytes; \xHH stands for any byte.
bool ParseIdent(const std::string& text, uint8_t (&ident)[8]) {
    Bytes bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned byte = static_cast<uint8_t>(text[i]);
        if (text.compare(i, 2, "\\x") == 0 && i + 4 <= text.size() &&
            std::sscanf(text.c_str() + i + 2, "%2x", &byte) == 1) {
            i += 3;
        }
        bytes.push_back(static_cast<uint8_t>(byte));
    }
    if (bytes.size() > sizeof ident) return false;
    std::memset(ident, 0, sizeof ident);
    std::memcpy(ident, bytes.data(), bytes.size());
    return true;
}

std::string IdentText(const uint8_t (&ident)[8]) {
    std::string text;
    for (uint8_t byte : ident) {
        if (byte == 0) break;
        char escaped[5];
        std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
        text += byte > 0x20 && byte < 0x7F && byte != '\\' ? std::string(1, char(byte)) : escaped;
    }
    return text;
}

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, static_cast<unsigned>(value));
    return text;
}

using Model = TransmitterModel;

// One named value of the command language: how to set it (null: read-only)
// and how dump shows it (null: not shown).
struct Setting {
    const char* Name;
    bool (*Set)(Model&, const std::string&);
    std::string (*Show)(Model&);
};

const Setting Settings[] = {
    {"ident", [](Model& m, const std::string& v) { return ParseIdent(v, m.Values.Ident); },
     [](Model& m) { return IdentText(m.Values.Ident); }},
    {"firmware",
     [](Model& m, const std::string& v) {
         return ParseInto(v, 0, 0xFFFF, m.Values.FirmwareVersion);
     },
     [](Model& m) { return Hex(m.Values.FirmwareVersion, 4); }},
    {"production",
     [](Model& m, const std::string& v) {
         return ParseInto(v, INT32_MIN, INT32_MAX, m.Values.ProductionNumber);
     },
     [](Model& m) { return std::to_string(m.Values.ProductionNumber); }},
    {"wiring", [](Model& m, const std::string& v) { return ParseByte(v, m.Values.OutputWiring); },
     [](Model& m) { return std::to_string(m.Values.OutputWiring); }},
    {"probe", [](Model& m, const std::string& v) { return ParseByte(v, m.Values.ProbeType); },
     [](Model& m) { return std::to_string(m.Values.ProbeType); }},
    {"damping", [](Model& m, const std::string& v) { return ParseByte(v, m.Values.Damping); },
     [](Model& m) { return std::to_string(m.Values.Damping); }},
    {"caldate",
     [](Model& m, const std::string& v) { return ParseDate(v, m.Values.CalibrationDate); },
     [](Model& m) { return Hex(m.Values.CalibrationDate, 8); }},
    {"lower", [](Model& m, const std::string& v) { return ParseFloat(v, m.Values.LowerRange); },
     [](Model& m) { return FloatText(m.Values.LowerRange); }},
    {"upper", [](Model& m, const std::string& v) { return ParseFloat(v, m.Values.UpperRange); },
     [](Model& m) { return FloatText(m.Values.UpperRange); }},
    {"offset", [](Model& m, const std::string& v) { return ParseFloat(v, m.Values.Offset); },
     [](Model& m) { return FloatText(m.Values.Offset); }},
    {"sensitivity",
     [](Model& m, const std::string& v) { return ParseFloat(v, m.Values.Sensitivity); },
     [](Model& m) { return FloatText(m.Values.Sensitivity); }},
    {"depth", [](Model& m, const std::string& v) { return ParseFloat(v, m.Values.Depth); },
     [](Model& m) { return FloatText(m.Values.Depth); }},
    // Both move the probe: the voltage settles at its new equilibrium.
    // "air": the water an oxygen probe stands in is saturated with air.
    {"solution",
     [](Model& m, const std::string& v) {
         float solution;
         if (v == "air") {
             m.Probe.MoveToAir(m.Values.ProbeType);
         } else {
             if (!ParseFloat(v, solution)) return false;
             m.Probe.MoveTo(m.Values.ProbeType, solution);
         }
         return true;
     },
     [](Model& m) { return m.Probe.InAir ? std::string("air") : FloatText(m.Probe.Solution); }},
    {"voltage",
     [](Model& m, const std::string& v) {
         float voltage;
         if (!ParseFloat(v, voltage)) return false;
         m.Probe.PinAt(m.Values.ProbeType, voltage);
         return true;
     },
     [](Model& m) { return FloatText(m.ProbeVoltage(false)); }},
    {"pinned", nullptr, [](Model& m) { return std::string(m.Probe.Pinned ? "yes" : "no"); }},
    {"value", nullptr, [](Model& m) { return FloatText(m.MeasuredValue(m.ProbeVoltage(false))); }},
    {"ratio", nullptr,
     [](Model& m) { return FloatText(m.Ratio(m.MeasuredValue(m.ProbeVoltage(false)))); }},
    {"noise", [](Model& m, const std::string& v) { return ParseFinite(v, 0, m.Probe.NoiseMv); },
     [](Model& m) { return FloatText(m.Probe.NoiseMv); }},
    {"probe-offset", [](Model& m, const std::string& v) { return ParseFloat(v, m.Probe.Offset); },
     [](Model& m) { return FloatText(m.Probe.Offset); }},
    {"probe-sensitivity",
     [](Model& m, const std::string& v) {
         bool own = v != "nominal";
         if (own && !ParseFloat(v, m.Probe.Sensitivity)) return false;
         m.Probe.OwnSensitivity = own;
         return true;
     },
     [](Model& m) { return FloatText(m.Probe.Sensitivity25(m.Values.ProbeType)); }},
    {"temperature",
     [](Model& m, const std::string& v) {
         return ParseFinite(v, AbsoluteZeroC, m.Probe.TemperatureC);
     },
     [](Model& m) { return FloatText(m.Probe.TemperatureC); }},
    {"pressure",
     [](Model& m, const std::string& v) { return ParseFinite(v, 0, m.Probe.PressureHpa); },
     [](Model& m) { return FloatText(m.Probe.PressureHpa); }},
    {"salinity",
     [](Model& m, const std::string& v) { return ParseFinite(v, 0, m.Probe.SalinityGPerKg); },
     [](Model& m) { return FloatText(m.Probe.SalinityGPerKg); }},
    {"ph",
     [](Model& m, const std::string& v) { return ParseFinite(v, AnyNumber, m.Probe.WaterPh); },
     [](Model& m) { return FloatText(m.Probe.WaterPh); }},
    // What an oxygen probe in air should read under the conditions now.
    {"air-oxygen", nullptr,
     [](Model& m) {
         return FloatText(static_cast<float>(
             OxygenSolubility(m.Probe.TemperatureC, m.Probe.PressureHpa, m.Probe.SalinityGPerKg)));
     }},
    {"slope", nullptr,
     [](Model& m) { return FloatText(static_cast<float>(m.Probe.Slope(m.Values.ProbeType))); }},
    {"settle-tau",
     [](Model& m, const std::string& v) { return ParseFinite(v, 0, m.Probe.SettleTauS); },
     [](Model& m) { return FloatText(m.Probe.SettleTauS); }},
    {"settle-mv",
     [](Model& m, const std::string& v) {
         bool fixed = v != "previous";
         if (fixed && !ParseFinite(v, AnyNumber, m.Probe.SettleMv)) return false;
         m.Probe.FixedExcess = fixed;
         return true;
     },
     [](Model& m) {
         return m.Probe.FixedExcess ? FloatText(m.Probe.SettleMv) : std::string("previous");
     }},
    {"drift",
     [](Model& m, const std::string& v) {
         float drift;
         if (!ParseFinite(v, AnyNumber, drift)) return false;
         m.Probe.SetDrift(drift);
         return true;
     },
     [](Model& m) { return FloatText(m.Probe.Drift()); }},
    {"requests",
     [](Model& m, const std::string& v) { return ParseInto(v, 0, UINT32_MAX, m.Requests); },
     [](Model& m) { return std::to_string(m.Requests); }},
    {"seed",
     [](Model& m, const std::string& v) {
         uint32_t seed;
         if (!ParseInto(v, 0, UINT32_MAX, seed)) return false;
         m.Seed(seed);
         return true;
     },
     nullptr},
};

const Setting* FindSetting(const std::string& name) {
    for (const Setting& s : Settings) {
        if (name == s.Name) return &s;
    }
    return nullptr;
}

// The rest of the line after its first two words, so that a text may hold
// spaces.
std::string ValueText(const std::string& line) {
    size_t at = line.find_first_not_of(" \t");
    for (int word = 0; word < 2 && at != std::string::npos; ++word) {
        at = line.find_first_of(" \t", at);
        at = at == std::string::npos ? at : line.find_first_not_of(" \t", at);
    }
    if (at == std::string::npos) return "";
    size_t end = line.find_last_not_of(" \t\r\n");
    return line.substr(at, end + 1 - at);
}

std::string SetCommand(Model& model, const Words& words, const std::string& line) {
    if (words.size() < 3) return "set NAME VALUE";
    const Setting* setting = FindSetting(words[1]);
    if (!setting) return "no value named " + words[1];
    if (!setting->Set) return words[1] + " is read-only";
    if (!setting->Set(model, ValueText(line))) return "bad value for " + words[1];
    return "";
}

const struct {
    const char* Name;
    Fault Kind;
} PlainFaults[] = {{"noreply", Fault::NoReply},
                   {"badsum", Fault::BadChecksum},
                   {"badlength", Fault::BadLength},
                   {"badstart", Fault::BadStart},
                   {"cut", Fault::Cut}};

const struct {
    const char* Where;
    Fault Kind;
} GarbageFaults[] = {{"before", Fault::GarbageBefore},
                     {"inside", Fault::GarbageInside},
                     {"after", Fault::GarbageAfter}};

// Faults that hold a reply back: the whole of it, or pieces of it.
constexpr long long MaxPauseMs = 600000;
const struct {
    const char* Name;
    Fault Kind;
} PauseFaults[] = {{"gap", Fault::Gap}, {"drip", Fault::Drip}};

// The optional reply count at words[at]; 1 when absent.
bool CountAt(const Words& words, size_t at, unsigned& count) {
    count = 1;
    if (words.size() > at + 1) return false;
    return words.size() == at || ParseInto(words[at], 0, UINT32_MAX, count);
}

std::string FaultCommand(Model& model, const Words& words) {
    if (words.size() < 2) return "fault KIND [ARGS] [COUNT]";
    const std::string& kind = words[1];
    const std::string usage = "bad arguments for fault " + kind;
    unsigned count;
    if (kind == "clear") {
        model.Faults.Clear();
        return words.size() == 2 ? "" : usage;
    }
    for (const auto& plain : PlainFaults) {
        if (kind != plain.Name) continue;
        if (!CountAt(words, 2, count)) return usage;
        model.Faults.Arm(plain.Kind, count);
        return "";
    }
    if (kind == "late") {
        long long ms;
        if (words.size() < 3 || !ParseLong(words[2], 0, MaxPauseMs, ms)) return usage;
        bool unique = words.size() > 3 && words[3] == "unique";
        if (!CountAt(words, unique ? 4 : 3, count)) return usage;
        model.Faults.ArmLate(static_cast<unsigned>(ms), unique, count);
        return "";
    }
    if (kind == "ident") {
        uint8_t text[8];
        if (words.size() < 3 || !ParseIdent(words[2], text) || !CountAt(words, 3, count)) {
            return usage;
        }
        model.Faults.ArmIdent(Bytes(text, text + sizeof text), count);
        return "";
    }
    for (const auto& pause : PauseFaults) {
        if (kind != pause.Name) continue;
        long long ms;
        if (words.size() < 3 || !ParseLong(words[2], 0, MaxPauseMs, ms) ||
            !CountAt(words, 3, count))
            return usage;
        model.Faults.Arm(pause.Kind, count, static_cast<unsigned>(ms));
        return "";
    }
    if (kind == "garbage") {
        for (const auto& garbage : GarbageFaults) {
            if (words.size() < 3 || words[2] != garbage.Where) continue;
            // An optional "N bytes" sets the size; 1 to 8 at random without it.
            long long bytes = 0;
            bool sized = words.size() > 4 && words[4] == "bytes";
            if (sized && !ParseLong(words[3], 1, FaultPlan::MaxGarbageBytes, bytes)) return usage;
            if (!CountAt(words, sized ? 5 : 3, count)) return usage;
            model.Faults.Arm(garbage.Kind, count, static_cast<unsigned>(bytes));
            return "";
        }
        return usage;
    }
    return "no fault named " + kind;
}

void Dump(Model& model, std::vector<std::string>& out) {
    for (const Setting& s : Settings) {
        if (s.Show) out.push_back(std::string(s.Name) + " " + s.Show(model));
    }
}

const char* const Help[] = {
    "set NAME VALUE      names: ident firmware production wiring probe damping caldate",
    "                    lower upper offset sensitivity depth solution (or air) voltage",
    "                    noise probe-offset probe-sensitivity temperature pressure",
    "                    salinity ph settle-tau settle-mv drift requests seed",
    "move                the probe into a fresh bottle of its solution: it settles again",
    "fault noreply|badsum|badlength|badstart|cut [COUNT]",
    "fault late MS [unique] [COUNT]",
    "fault ident TEXT [COUNT]",
    "fault gap|drip MS [COUNT]",
    "fault garbage before|inside|after [N bytes] [COUNT]",
    "fault clear",
    "dump",
    "quit",
};

} // namespace

namespace {
// The shortest text in the format that reads back as the very same float.
bool ShortestText(const char* format, float value, char (&text)[48]) {
    for (int digits = 0; digits <= 12; ++digits) {
        std::snprintf(text, sizeof text, format, digits, static_cast<double>(value));
        if (FloatBits(std::strtof(text, nullptr)) == FloatBits(value)) return true;
    }
    return false;
}
} // namespace

std::string FloatText(float value) {
    char text[48];
    // Plain decimals for everyday magnitudes, an exponent for the rest.
    float size = std::fabs(value);
    bool plain = value == 0 || (size >= 1e-4f && size < 1e9f);
    if (!(plain && ShortestText("%.*f", value, text))) ShortestText("%.*g", value, text);
    return std::string(text) + " " + Hex(FloatBits(value), 8);
}

CommandResult RunSimCommand(TransmitterModel& model, const std::string& line,
                            std::vector<std::string>& out) {
    Words words = Split(line);
    if (words.empty() || words[0][0] == '#') return CommandResult::Ok;
    const std::string& verb = words[0];
    std::string error;
    if (verb == "set") {
        error = SetCommand(model, words, line);
    } else if (verb == "fault") {
        error = FaultCommand(model, words);
    } else if (verb == "move") {
        if (words.size() == 1) {
            model.Probe.Move(model.Values.ProbeType);
        } else {
            error = "move takes nothing after it";
        }
    } else if (verb == "dump") {
        Dump(model, out);
    } else if (verb == "help") {
        out.insert(out.end(), std::begin(Help), std::end(Help));
    } else if (verb != "quit") {
        error = "unknown command " + verb;
    }
    out.push_back(error.empty() ? "ok" : "error: " + error);
    if (!error.empty()) return CommandResult::Error;
    return verb == "quit" ? CommandResult::Quit : CommandResult::Ok;
}
