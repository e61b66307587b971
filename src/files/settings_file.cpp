#include "files/settings_file.h"

#include "core/language.h"
#include "core/machine_text.h"
#include "core/text_encoding.h"

#include <vector>

namespace {

const char ByteOrderMark[] = "\xEF\xBB\xBF";
const char* const SectionNames[] = {"transmitter", "settings", "calibration"};
enum Section { NoSection = -1, TransmitterSection, SettingsSection, CalibrationSection };

struct InfoKey {
    const char* Key;
    std::string SettingsFile::*Field;
};
const InfoKey InfoKeys[] = {{"identification", &SettingsFile::Identification},
                            {"production_number", &SettingsFile::ProductionNumber},
                            {"firmware", &SettingsFile::Firmware}};

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

std::string ByteText(unsigned char byte) {
    static const char Hex[] = "0123456789ABCDEF";
    return std::string("0x") + Hex[byte >> 4] + Hex[byte & 15];
}

// Text is UTF-8 with tabs and line ends, a carriage return only before a line feed.
bool CheckText(const std::string& text, int& line, std::string& problem) {
    line = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[i]);
        if (byte == '\n') ++line;
        const bool lineEnd =
            byte == '\n' || (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n');
        if ((byte < 0x20 && byte != '\t' && !lineEnd) || byte == 0x7F) {
            problem = Format(_("not a text file (byte {0})"), {ByteText(byte)});
            return false;
        }
    }
    if (IsUtf8(text)) return true;
    size_t start = 0;
    for (line = 1;; ++line) {
        const size_t end = text.find('\n', start);
        if (!IsUtf8(text.substr(start, end - start)) || end == std::string::npos) break;
        start = end + 1;
    }
    problem = _("not UTF-8 text");
    return false;
}

class Parser {
public:
    explicit Parser(SettingsFile& file) : File(file) {}

    bool Line(const std::string& text, int number, std::string& problem) {
        const std::string line = Trimmed(text);
        if (line.empty() || line[0] == '#') return true;
        if (line[0] == '[') return Header(line, problem);
        const size_t equals = line.find('=');
        if (equals == std::string::npos) {
            problem = _("expected [section] or key = value");
            return false;
        }
        const std::string key = Trimmed(line.substr(0, equals));
        const std::string value = Trimmed(line.substr(equals + 1));
        if (Current == NoSection) {
            problem = Format(_("{0} is outside a section"), {key});
            return false;
        }
        return Current == TransmitterSection ? Info(key, value, number, problem)
                                             : Value(key, value, number, problem);
    }

    bool HoldsSettings() const {
        for (const SettingsFile::Entry& entry : File.Values)
            if (entry.Present) return true;
        return false;
    }

private:
    bool Header(const std::string& line, std::string& problem) {
        if (line.back() != ']') {
            problem = _("a section header ends with ]");
            return false;
        }
        const std::string name = Trimmed(line.substr(1, line.size() - 2));
        for (int i = 0; i < 3; ++i) {
            if (name != SectionNames[i]) continue;
            if (Seen[i]) {
                problem = Format(_("section [{0}] appears twice"), {name});
                return false;
            }
            Seen[i] = true;
            Current = static_cast<Section>(i);
            return true;
        }
        problem = Format(_("unknown section [{0}] (transmitter, settings, calibration)"), {name});
        return false;
    }

    bool Twice(const std::string& key, int first, std::string& problem) {
        problem = Format(_("{0} appears twice (first on line {1})"), {key, IntegerText(first)});
        return false;
    }

    bool Info(const std::string& key, const std::string& value, int number, std::string& problem) {
        for (int i = 0; i < 3; ++i) {
            if (key != InfoKeys[i].Key) continue;
            if (InfoLines[i]) return Twice(key, InfoLines[i], problem);
            InfoLines[i] = number;
            File.*InfoKeys[i].Field = value;
            return true;
        }
        problem = Format(_("unknown key {0} in [{1}]"), {key, "transmitter"});
        return false;
    }

    bool Value(const std::string& key, const std::string& value, int number, std::string& problem) {
        const Setting* setting = FindSetting(key);
        const Section home = setting && setting->Section == SettingSection::Calibration
                                 ? CalibrationSection
                                 : SettingsSection;
        if (!setting || home != Current) {
            problem = setting ? Format(_("unknown key {0} in [{1}]; it belongs in [{2}]"),
                                       {key, SectionNames[Current], SectionNames[home]})
                              : Format(_("unknown key {0} in [{1}]"), {key, SectionNames[Current]});
            return false;
        }
        SettingsFile::Entry& entry = File.Values[setting - Settings];
        if (entry.Present) return Twice(key, entry.Line, problem);
        if (!ParseSetting(*setting, value, entry.Raw, problem)) return false;
        entry.Present = true;
        entry.Line = number;
        return true;
    }

    SettingsFile& File;
    Section Current = NoSection;
    bool Seen[3] = {};
    int InfoLines[3] = {};
};

} // namespace

bool ParseSettingsFile(const std::string& content, SettingsFile& file, int& line,
                       std::string& problem) {
    std::string text = content;
    if (text.compare(0, 3, ByteOrderMark) == 0) text.erase(0, 3);
    if (!CheckText(text, line, problem)) return false;
    Parser parser(file);
    size_t start = 0;
    for (line = 1; start <= text.size(); ++line) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string lineText = text.substr(start, end - start);
        if (!lineText.empty() && lineText.back() == '\r') lineText.pop_back();
        if (!parser.Line(lineText, line, problem)) return false;
        start = end + 1;
    }
    line = 0;
    if (parser.HoldsSettings()) return true;
    problem = _("holds no settings");
    return false;
}

std::string FormatSettingsFile(const SavedTransmitter& saved) {
    std::string text = "# vl4 settings, saved " + saved.SavedAt + " from " + saved.Port + "\n" +
                       "[transmitter]\n" + "identification = " + saved.Identification + "\n" +
                       "production_number = " + IntegerText(saved.ProductionNumber) + "\n" +
                       "firmware = " + VersionText(saved.Firmware) + "\n";
    for (int i = 0; i < SettingCount; ++i) {
        const Setting& setting = Settings[i];
        if (i == 0 || setting.Section != Settings[i - 1].Section)
            text +=
                setting.Section == SettingSection::Settings ? "[settings]\n" : "[calibration]\n";
        text += std::string(setting.Key) + " = " + SettingText(setting, saved.Raw[i]) + "\n";
    }
    return text;
}
