// vl4 load: compares a settings file with the transmitter and writes only
// what differs.
#include "cli/command_line.h"
#include "cli/machine_text.h"
#include "cli/setting_writes.h"
#include "cli/settings_file.h"
#include "cli/text_files.h"

namespace {

struct LoadPlan {
    SettingsFile File;
    bool WithCalibration = false;
    uint32_t Held[SettingCount] = {};

    bool Wanted(int i) const {
        return File.Values[i].Present &&
               (WithCalibration || Settings[i].Section != SettingSection::Calibration);
    }
};

int ReadFile(CommandContext& context, const std::string& path, SettingsFile& file) {
    std::string content, problem;
    switch (ReadWholeFile(path, MaxSettingsFileSize, content, problem)) {
    case FileRead::Failed:
        return context.Fail(ExitUsage, path, "cannot read: " + problem);
    case FileRead::TooLarge:
        return context.Fail(ExitUsage, path, "larger than 64 KiB; not a settings file");
    case FileRead::Done:
        break;
    }
    int line;
    if (ParseSettingsFile(content, file, line, problem)) return ExitDone;
    return context.Fail(ExitUsage, line ? path + ":" + IntegerText(line) : path, problem);
}

// Reads what the transmitter holds of the settings the file names (only
// those that are wanted when `wanted` is set); `when` ends an error line.
int ReadHeld(CommandContext& context, TransmitterSession& session, LoadPlan& plan, bool wanted,
             const char* when) {
    return ReadSettings(
        context, session,
        [&](int i) { return wanted ? plan.Wanted(i) : plan.File.Values[i].Present; }, plan.Held,
        when);
}

// A file saved from another unit is fine to load; the technician should know.
void NoteOrigin(CommandContext& context, TransmitterSession& session, const LoadPlan& plan) {
    LONG production;
    if (plan.File.ProductionNumber.empty() || !session.Link.GetProductionNumber(production)) return;
    if (plan.File.ProductionNumber == IntegerText(production)) return;
    context.Say("note: the file was saved from production number " + plan.File.ProductionNumber +
                "; this transmitter is " + IntegerText(production));
}

std::vector<SettingWrite> Differences(CommandContext& context, const LoadPlan& plan) {
    std::vector<SettingWrite> writes;
    for (int i = 0; i < SettingCount; ++i) {
        const SettingsFile::Entry& entry = plan.File.Values[i];
        if (!entry.Present || entry.Raw == plan.Held[i]) continue;
        const Setting& setting = Settings[i];
        std::string line = std::string(setting.Key) + ": " + SettingText(setting, plan.Held[i]) +
                           " -> " + SettingText(setting, entry.Raw);
        if (!plan.Wanted(i)) line += " (calibration: written only with --with-calibration)";
        context.Say(line);
        if (plan.Wanted(i)) writes.push_back({&setting, entry.Raw});
    }
    return writes;
}

// Reads everything back: a transmitter may change a value of its own accord
// when another is written (a new probe type).
int Verify(CommandContext& context, TransmitterSession& session, LoadPlan& plan,
           const std::vector<SettingWrite>& writes) {
    if (int status = ReadHeld(context, session, plan, true, " after the load")) return status;
    int status = ExitDone;
    for (int i = 0; i < SettingCount; ++i) {
        if (!plan.Wanted(i) || plan.Held[i] == plan.File.Values[i].Raw) continue;
        bool reported = false;
        for (const SettingWrite& write : writes)
            reported |= write.Target == &Settings[i] && write.Returned == plan.Held[i];
        if (!reported)
            context.Fail(ExitFailed, session.Port,
                         std::string(Settings[i].Key) + ": the file has " +
                             SettingText(Settings[i], plan.File.Values[i].Raw) +
                             ", the transmitter holds " + SettingText(Settings[i], plan.Held[i]));
        status = ExitFailed;
    }
    return status;
}

bool AllDone(const std::vector<SettingWrite>& writes) {
    for (const SettingWrite& write : writes)
        if (!write.Done) return false;
    return true;
}

int Load(CommandContext& context, const Arguments& arguments) {
    LoadPlan plan;
    plan.WithCalibration = arguments.Has("--with-calibration");
    if (int status = ReadFile(context, arguments.Positional[1], plan.File)) return status;
    TransmitterSession session;
    if (int status = session.Open(context, arguments.Positional[0])) return status;
    NoteOrigin(context, session, plan);
    if (int status = ReadHeld(context, session, plan, false, "; nothing written")) return status;
    std::vector<SettingWrite> writes = Differences(context, plan);
    if (writes.empty()) {
        context.Say("nothing to write");
        return ExitDone;
    }
    if (arguments.Has("--dry-run")) {
        context.Say("dry run: nothing written");
        return ExitDone;
    }
    const int written = WriteSettings(context, session, writes);
    if (!AllDone(writes)) return written;
    std::vector<const Setting*> keys;
    for (const SettingWrite& write : writes) keys.push_back(write.Target);
    context.Say("wrote " + KeyList(keys));
    const int verified = Verify(context, session, plan, writes);
    return verified != ExitDone ? verified : written;
}

} // namespace

const CommandSpec LoadCommand = {
    "load",
    "PORT FILE [--dry-run] [--with-calibration]",
    "compare, print the differences, write only what differs, verify",
    "Checks the whole settings FILE (see vl4 save --help) before the first frame goes\n"
    "out: a bad file is named with its line and nothing is written. Then reads the\n"
    "transmitter, prints each difference (offset: 1.5 -> 0), writes the probe type\n"
    "first when it differs (without the window's probe defaults: the file's values\n"
    "follow), then every other differing setting, each checked against the\n"
    "transmitter's reply, and reads everything back. A value the transmitter holds\n"
    "differently from the file is reported and makes the exit status 1.\n"
    "\n"
    "  --dry-run             print the differences and write nothing\n"
    "  --with-calibration    write [calibration] too: offset, sensitivity and date\n"
    "                        belong to a probe, and carrying them to another\n"
    "                        transmitter is right only when the probe goes with them\n"
    "\n"
    "Ctrl+C stops before the next frame and says what was written.\n",
    2,
    2,
    {{"--dry-run", nullptr, false}, {"--with-calibration", nullptr, false}},
    Load,
};
