#pragma once

#include "cli/transmitter_session.h"
#include "core/transmitter_settings.h"

#include <functional>
#include <vector>

// Reads what the transmitter holds of each setting `wanted` takes (by its
// index in Settings) into raw, looking at the interruption before each
// frame. A read without a reply or an interruption gets its error line,
// which `when` ends ("; nothing written", in the language). Answers the exit
// status.
int ReadSettings(CommandContext& context, TransmitterSession& session,
                 const std::function<bool(int)>& wanted, uint32_t (&raw)[SettingCount],
                 const char* when);

struct SettingWrite {
    const Setting* Target;
    uint32_t Wanted;
    uint32_t Returned = 0; // what the transmitter's reply carried
    bool Done = false;
};

// Writes one value and keeps the transmitter's reply in write.Returned. A
// value the transmitter holds differently gets its error line and makes
// status ExitFailed. False when no reply came.
bool WriteChecked(CommandContext& context, TransmitterSession& session, SettingWrite& write,
                  int& status);

// Writes in order those not yet done, each checked against the transmitter's
// reply, and says on the error stream what went wrong: a value the
// transmitter holds differently, a write without a reply (the rest is not
// tried), an interruption (looked at before each frame). In the last two
// cases the line says what was written and what was not. Answers the exit
// status.
int WriteSettings(CommandContext& context, TransmitterSession& session,
                  std::vector<SettingWrite>& writes);

// "probe, damping"; "nothing" for none.
std::string KeyList(const std::vector<const Setting*>& settings);
