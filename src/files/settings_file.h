#pragma once

#include "core/transmitter_settings.h"

#include <cstdint>
#include <string>

// A transmitter's settings and calibration in a small text file that a
// person can read, compare and edit:
//
//   # vl4 settings, saved 2026-12-07 14:03 from COM5
//   [transmitter]
//   identification = VL4
//   production_number = 2403117
//   firmware = 1.02
//   [settings]
//   probe = pH
//   damping = 5
//   ...
//   [calibration]
//   offset = 0
//   sensitivity = -59.16
//   date = 2024-03-15
//
// [transmitter] says where the file came from and is never written back.
// A file may leave out sections and keys: only what it names is loaded.

constexpr size_t MaxSettingsFileSize = 64 * 1024;

struct SettingsFile {
    struct Entry {
        bool Present = false;
        uint32_t Raw = 0;
        int Line = 0;
    };
    Entry Values[SettingCount]; // by the index in Settings
    std::string Identification, ProductionNumber, Firmware;
};

// Checks the whole text before anything is done with it. False, with the
// line (0 for the file as a whole) and what is wrong there, for anything but
// a settings file: not text, an unknown section or key, a key given twice, a
// value that is not one the setting takes, no setting at all.
bool ParseSettingsFile(const std::string& content, SettingsFile& file, int& line,
                       std::string& problem);

// What `vl4 save` read from a transmitter.
struct SavedTransmitter {
    std::string Port;
    std::string SavedAt; // 2026-12-07 14:03
    std::string Identification;
    int32_t ProductionNumber = 0;
    uint16_t Firmware = 0;
    uint32_t Raw[SettingCount] = {};
};

std::string FormatSettingsFile(const SavedTransmitter& saved);
