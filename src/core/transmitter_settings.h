#pragma once

#include "devlink/transmitter_link.h"

#include <cstdint>
#include <string>

// The values vl4 writes into a transmitter: the probe type, the input
// parameters and the calibration. Each travels as a raw value: a byte, a
// float's bits or a BCD date, so that a value is compared and written bit
// for bit.

enum class SettingKind { Probe, Damping, Float, Date };
enum class SettingSection { Settings, Calibration };

struct Setting {
    const char* Key; // in settings files and on the command line
    SettingSection Section;
    SettingKind Kind;
    BYTE Command;
};

// In the order a load writes them: the probe type first, because on a real
// transmitter a new probe type may bring values of its own.
constexpr int SettingCount = 8;
extern const Setting Settings[SettingCount];

const Setting* FindSetting(const std::string& key);
// Whether `vl4 set` writes it: not the probe type (the window changes it with
// its defaults) and not the date (a calibration sets it).
bool SetAllowed(const Setting& setting);

bool ReadSetting(TransmitterLink& link, const Setting& setting, uint32_t& raw);
// Sends raw and leaves the transmitter's reply in it.
bool WriteSetting(TransmitterLink& link, const Setting& setting, uint32_t& raw);

// The value as settings files hold it: pH, 5, -59.16, 2024-03-15.
std::string SettingText(const Setting& setting, uint32_t raw);
// The same for a person, in the language: in Czech chlór, -59,16, 15. 3. 2024.
std::string SettingShown(const Setting& setting, uint32_t raw);
// Reads a value of the setting; false, with what it must be in problem,
// when the text is no such value.
bool ParseSetting(const Setting& setting, const std::string& text, uint32_t& raw,
                  std::string& problem);
