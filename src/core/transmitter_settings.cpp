#include "core/transmitter_settings.h"

#include "core/damping.h"
#include "core/english_names.h"
#include "core/language.h"
#include "core/number_text.h"
#include "devlink/probe_defaults.h"

namespace {

bool IsByte(const Setting& setting) {
    return setting.Kind == SettingKind::Probe || setting.Kind == SettingKind::Damping;
}

bool ParseProbe(const std::string& text, uint32_t& raw) {
    uint8_t probe;
    int32_t code;
    if (ParseProbeTypeName(text.c_str(), probe))
        raw = probe;
    else if (ParseInteger(text.c_str(), code) && code >= 0 && code < ProbeTypeCount)
        raw = static_cast<uint32_t>(code);
    else
        return false;
    return true;
}

bool ParseDamping(const std::string& text, uint32_t& raw) {
    int32_t damping;
    if (!ParseInteger(text.c_str(), damping) || damping < 0 || damping > MaxDamping) return false;
    raw = static_cast<uint32_t>(damping);
    return true;
}

bool ParseFiniteFloat(const std::string& text, uint32_t& raw) {
    float value;
    if (!ParseNumber(text.c_str(), value) || !IsFiniteNumber(value)) return false;
    raw = BitsOfFloat(value);
    return true;
}

} // namespace

const Setting Settings[SettingCount] = {
    {"probe", SettingSection::Settings, SettingKind::Probe, CmdProbeType},
    {"damping", SettingSection::Settings, SettingKind::Damping, CmdDamping},
    {"depth", SettingSection::Settings, SettingKind::Float, CmdDepth},
    {"lower", SettingSection::Settings, SettingKind::Float, CmdLowerRange},
    {"upper", SettingSection::Settings, SettingKind::Float, CmdUpperRange},
    {"offset", SettingSection::Calibration, SettingKind::Float, CmdOffset},
    {"sensitivity", SettingSection::Calibration, SettingKind::Float, CmdSensitivity},
    {"date", SettingSection::Calibration, SettingKind::Date, CmdCalibrationDate},
};

const Setting* FindSetting(const std::string& key) {
    for (const Setting& setting : Settings)
        if (key == setting.Key) return &setting;
    return nullptr;
}

bool SetAllowed(const Setting& setting) {
    return setting.Kind == SettingKind::Damping || setting.Kind == SettingKind::Float;
}

bool ReadSetting(TransmitterLink& link, const Setting& setting, uint32_t& raw) {
    if (!IsByte(setting)) return link.GetDword(setting.Command, raw);
    BYTE value;
    if (!link.GetByte(setting.Command, value)) return false;
    raw = value;
    return true;
}

bool WriteSetting(TransmitterLink& link, const Setting& setting, uint32_t& raw) {
    if (!IsByte(setting)) return link.SetDword(setting.Command, raw);
    BYTE value = static_cast<BYTE>(raw);
    const bool done = setting.Kind == SettingKind::Damping ? WriteDamping(link, value)
                                                           : link.SetByte(setting.Command, value);
    if (!done) return false;
    raw = value;
    return true;
}

std::string SettingText(const Setting& setting, uint32_t raw) {
    NumberText text;
    switch (setting.Kind) {
    case SettingKind::Probe:
        if (raw < ProbeTypeCount) return ProbeTypeEnglishName(static_cast<uint8_t>(raw));
        FormatInteger(text, static_cast<int32_t>(raw));
        break;
    case SettingKind::Damping:
        FormatInteger(text, static_cast<int32_t>(raw));
        break;
    case SettingKind::Float:
        FormatShortest(text, FloatWithBits(raw));
        break;
    case SettingKind::Date:
        FormatDate(text, raw);
        break;
    }
    return text;
}

std::string SettingShown(const Setting& setting, uint32_t raw) {
    const std::string text = SettingText(setting, raw);
    switch (setting.Kind) {
    case SettingKind::Probe:
        return Translated(text.c_str());
    case SettingKind::Float:
        return PersonNumber(text);
    case SettingKind::Date:
        return PersonDate(text);
    case SettingKind::Damping:
        break;
    }
    return text;
}

bool ParseSetting(const Setting& setting, const std::string& text, uint32_t& raw,
                  std::string& problem) {
    const char* must = "";
    switch (setting.Kind) {
    case SettingKind::Probe:
        if (ParseProbe(text, raw)) return true;
        must = _("{0} must be pH, Redox, chlorine, oxygen or 0 to 3");
        break;
    case SettingKind::Damping:
        if (ParseDamping(text, raw)) return true;
        must = _("{0} must be a whole number 0 to 30");
        break;
    case SettingKind::Float:
        if (ParseFiniteFloat(text, raw)) return true;
        must = _("{0} must be a finite number within the float range");
        break;
    case SettingKind::Date:
        if (ParseDate(text.c_str(), raw)) return true;
        must = _("{0} must be a date YYYY-MM-DD, or 0000-00-00 for none");
        break;
    }
    problem = Format(must, {setting.Key});
    return false;
}
