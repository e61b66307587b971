// vl4 load: compares a settings file with the transmitter and writes only
// what differs.
#include "cli/command_line.h"
#include "cli/setting_writes.h"
#include "core/english_names.h"
#include "core/machine_text.h"
#include "core/probe_change.h"
#include "files/settings_file.h"
#include "files/text_files.h"

namespace {

constexpr int ProbeIndex = 0; // the probe type is the first of the settings

struct LoadPlan {
    SettingsFile File;
    bool WithCalibration = false;
    uint32_t Held[SettingCount] = {};
    // A probe type that differs is written as the window's probe dialog
    // writes it: with the new probe's defaults and no calibration date.
    bool ChangesProbe = false;
    ProbeChange Change = {};
    // What the transmitter holds once the probe change is done.
    uint32_t After[SettingCount] = {};

    bool Wanted(int i) const {
        return File.Values[i].Present &&
               (WithCalibration || Settings[i].Section != SettingSection::Calibration);
    }
};

// The setting a write of the probe change writes.
int SettingOf(const ProbeChangeWrite& write) {
    for (int i = 0; i < SettingCount; ++i)
        if (Settings[i].Command == write.Command) return i;
    return -1;
}

void PlanChange(LoadPlan& plan) {
    for (int i = 0; i < SettingCount; ++i) plan.After[i] = plan.Held[i];
    const SettingsFile::Entry& probe = plan.File.Values[ProbeIndex];
    plan.ChangesProbe = probe.Present && probe.Raw != plan.Held[ProbeIndex];
    if (!plan.ChangesProbe) return;
    plan.Change = PlanProbeChange(static_cast<BYTE>(probe.Raw));
    for (const ProbeChangeWrite& write : plan.Change.Writes)
        plan.After[SettingOf(write)] = write.Sent;
}

int ReadFile(CommandContext& context, const std::string& path, SettingsFile& file) {
    std::string content, problem;
    switch (ReadWholeFile(path, MaxSettingsFileSize, content, problem)) {
    case FileRead::Failed:
        return context.Fail(ExitUsage, path, Format(_("cannot read: {0}"), {problem}));
    case FileRead::TooLarge:
        return context.Fail(ExitUsage, path, _("larger than 64 KiB; not a settings file"));
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
    context.Note(Format(_("the file was saved from production number {0}; this transmitter is {1}"),
                        {plan.File.ProductionNumber, IntegerText(production)}));
}

void SayProbeChange(CommandContext& context, const LoadPlan& plan) {
    const Setting& probe = Settings[ProbeIndex];
    context.Say(Format(plan.WithCalibration
                           ? _("probe: {0} -> {1} (with the {1} defaults, then the file's "
                               "calibration)")
                           : _("probe: {0} -> {1} (calibration reset to the {1} defaults; "
                               "calibrate the probe)"),
                       {SettingShown(probe, plan.Held[ProbeIndex]),
                        SettingShown(probe, plan.File.Values[ProbeIndex].Raw)}));
}

// The settings after the probe that differ from what the transmitter holds
// then, each printed; those it takes are the writes.
std::vector<SettingWrite> Differences(CommandContext& context, const LoadPlan& plan) {
    if (plan.ChangesProbe) SayProbeChange(context, plan);
    std::vector<SettingWrite> writes;
    for (int i = ProbeIndex + 1; i < SettingCount; ++i) {
        const SettingsFile::Entry& entry = plan.File.Values[i];
        if (!entry.Present || entry.Raw == plan.After[i]) continue;
        const Setting& setting = Settings[i];
        std::string line = std::string(setting.Key) + ": " + SettingShown(setting, plan.After[i]) +
                           " -> " + SettingShown(setting, entry.Raw);
        if (!plan.Wanted(i))
            line += std::string(" ") + _("(calibration: written only with --with-calibration)");
        context.Say(line);
        if (plan.Wanted(i)) writes.push_back({&setting, entry.Raw});
    }
    return writes;
}

// The probe change, each write checked against its reply. A write without a
// reply stops the load: the file's values must not land on a probe change
// half done.
int WriteChange(CommandContext& context, TransmitterSession& session, LoadPlan& plan) {
    const bool answered = WriteProbeChange(session.Link, plan.Change);
    int status = ExitDone;
    std::string missing;
    for (const ProbeChangeWrite& write : plan.Change.Writes) {
        const Setting& setting = Settings[SettingOf(write)];
        if (!write.Done) {
            missing += (missing.empty() ? "" : ", ") + std::string(setting.Key);
        } else if (write.Returned != write.Sent) {
            status = context.Fail(ExitFailed, session.Port,
                                  Format(_("{0}: wrote {1}, transmitter holds {2}"),
                                         {setting.Key, SettingShown(setting, write.Sent),
                                          SettingShown(setting, write.Returned)}));
        }
    }
    if (answered) return status;
    return session.NoAnswer(
        context,
        Format(_("no answer writing the probe change ({0}); nothing else written"), {missing}));
}

// Reads everything back: a transmitter may change a value of its own accord
// when another is written (a new probe type).
int Verify(CommandContext& context, TransmitterSession& session, LoadPlan& plan,
           const std::vector<SettingWrite>& writes) {
    if (int status = ReadHeld(context, session, plan, true, _(" after the load"))) return status;
    int status = ExitDone;
    for (int i = 0; i < SettingCount; ++i) {
        if (!plan.Wanted(i) || plan.Held[i] == plan.File.Values[i].Raw) continue;
        bool reported = false;
        for (const SettingWrite& write : writes)
            reported |= write.Target == &Settings[i] && write.Returned == plan.Held[i];
        if (!reported)
            context.Fail(
                ExitFailed, session.Port,
                Format(_("{0}: the file has {1}, the transmitter holds {2}"),
                       {Settings[i].Key, SettingShown(Settings[i], plan.File.Values[i].Raw),
                        SettingShown(Settings[i], plan.Held[i])}));
        status = ExitFailed;
    }
    return status;
}

bool AllAnswered(const ProbeChange& change) {
    for (const ProbeChangeWrite& write : change.Writes)
        if (!write.Done) return false;
    return true;
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
    if (int status = ReadHeld(context, session, plan, false, _("; nothing written"))) return status;
    PlanChange(plan);
    std::vector<SettingWrite> writes = Differences(context, plan);
    if (writes.empty() && !plan.ChangesProbe) {
        context.Say(_("nothing to write"));
        return ExitDone;
    }
    if (arguments.Has("--dry-run")) {
        context.Say(_("dry run: nothing written"));
        return ExitDone;
    }
    if (context.Stop.Requested())
        return context.Fail(ExitInterrupted, session.Port, _("interrupted; nothing written"));
    const int changed = plan.ChangesProbe ? WriteChange(context, session, plan) : ExitDone;
    if (plan.ChangesProbe && !AllAnswered(plan.Change)) return changed;
    // The probe change is done: what is said of the writes names it too.
    if (plan.ChangesProbe)
        writes.insert(writes.begin(), {&Settings[ProbeIndex], plan.File.Values[ProbeIndex].Raw,
                                       plan.Change.Writes[0].Returned, true});
    const int written = WriteSettings(context, session, writes);
    if (!AllDone(writes)) return written;
    std::vector<const Setting*> keys;
    for (const SettingWrite& write : writes) keys.push_back(write.Target);
    context.Say(Format(_("wrote {0}"), {KeyList(keys)}));
    const int verified = Verify(context, session, plan, writes);
    for (int status : {changed, written, verified})
        if (status != ExitDone) return status;
    return ExitDone;
}

} // namespace

const CommandSpec LoadCommand = {
    "load",
    N_("PORT FILE [--dry-run] [--with-calibration]"),
    N_("compare, print the differences, write only what differs, verify"),
    {
        N_("Checks the whole settings FILE (see vl4 save --help) before the first frame goes\n"
           "out: a bad file is named with its line and nothing is written. Then reads the\n"
           "transmitter, prints each difference (offset: 1.5 -> 0), writes the probe type\n"
           "first when it differs, as the window's probe dialog does: with the new probe's\n"
           "default offset, sensitivity, lower and upper range and no calibration date,\n"
           "so that nothing of the old probe's calibration stays behind. Then every other\n"
           "setting that differs from what the transmitter holds now, each checked against\n"
           "the transmitter's reply, and reads everything back. A value the transmitter\n"
           "holds differently from the file is reported and makes the exit status 1.\n"),
        N_("  --dry-run             print the differences and write nothing\n"
           "  --with-calibration    write [calibration] too: offset, sensitivity and date\n"
           "                        belong to a probe, and carrying them to another\n"
           "                        transmitter is right only when the probe goes with them\n"),
        N_("Ctrl+C stops before the next frame and says what was written.\n"),
    },
    2,
    2,
    {{"--dry-run", nullptr, false}, {"--with-calibration", nullptr, false}},
    Load,
};
