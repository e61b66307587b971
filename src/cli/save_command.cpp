// vl4 save: the transmitter's settings and calibration into a settings file.
#include "cli/command_line.h"
#include "cli/setting_writes.h"
#include "cli/transmitter_session.h"
#include "core/local_time.h"
#include "core/machine_text.h"
#include "files/settings_file.h"
#include "files/text_files.h"

namespace {

int ReadSaved(CommandContext& context, TransmitterSession& session, SavedTransmitter& saved) {
    WORD firmware;
    LONG production;
    if (!session.Link.GetFirmwareVersion(firmware))
        return session.NoAnswer(context,
                                _("no answer reading the firmware version; no file written"));
    if (!session.Link.GetProductionNumber(production))
        return session.NoAnswer(context,
                                _("no answer reading the production number; no file written"));
    saved.Firmware = firmware;
    saved.ProductionNumber = production;
    return ReadSettings(
        context, session, [](int) { return true; }, saved.Raw, _("; no file written"));
}

// A value the transmitter holds that a settings file cannot carry (a damping
// above 30, a float that is not a number, a date that is no day) is saved as
// it is and reported: load refuses the file until it is mended.
int WarnAboutUnloadable(CommandContext& context, const std::string& path,
                        const SavedTransmitter& saved) {
    int status = ExitDone;
    for (int i = 0; i < SettingCount; ++i) {
        const std::string text = SettingText(Settings[i], saved.Raw[i]);
        uint32_t back;
        std::string problem;
        if (ParseSetting(Settings[i], text, back, problem) && back == saved.Raw[i]) continue;
        context.Warn(
            path, Format(_("the transmitter holds {0} {1}; {2}, so load refuses the file as it is"),
                         {Settings[i].Key, text, problem}));
        status = ExitFailed;
    }
    return status;
}

int Save(CommandContext& context, const Arguments& arguments) {
    const std::string& path = arguments.Positional[1];
    TransmitterSession session;
    if (int status = session.Open(context, arguments.Positional[0])) return status;
    SavedTransmitter saved;
    if (int status = ReadSaved(context, session, saved)) return status;
    saved.Port = session.Port;
    saved.Identification = session.Identification;
    saved.SavedAt = LocalTime::Now().ToMinute();
    std::string problem;
    if (!ReplaceFileContent(path, FormatSettingsFile(saved), problem))
        return context.Fail(ExitUsage, path, Format(_("cannot write: {0}"), {problem}));
    context.Say(
        Format(_("saved {0} {1} on {2} to {3}"),
               {session.Identification, IntegerText(saved.ProductionNumber), session.Port, path}));
    return WarnAboutUnloadable(context, path, saved);
}

} // namespace

const CommandSpec SaveCommand = {
    "save",
    N_("PORT FILE"),
    N_("the transmitter's settings and calibration into a settings file"),
    {
        N_("Reads the probe type, damping, depth, lower and upper range, offset,\n"
           "sensitivity and calibration date and writes them into FILE, a small text file\n"
           "to read, compare, edit and load into this or another transmitter:\n"),
        N_("  # vl4 settings, saved 2026-12-07 14:03 from COM5\n"
           "  [transmitter]              where the file came from; never written back\n"
           "  identification = VL4\n"
           "  production_number = 2403117\n"
           "  firmware = 1.02\n"
           "  [settings]\n"
           "  probe = pH                 pH, Redox, chlorine or oxygen\n"
           "  damping = 5                0 to 30\n"
           "  depth = 1\n"
           "  lower = 0\n"
           "  upper = 14\n"
           "  [calibration]              loaded only with --with-calibration\n"
           "  offset = 0\n"
           "  sensitivity = -59.16\n"
           "  date = 2024-03-15          0000-00-00: never calibrated\n"),
        N_("Numbers are the shortest decimals that read back to the very same float, so\n"
           "that a load writes bit-identical values. Nothing is written when a read fails.\n"),
    },
    2,
    2,
    {},
    Save,
};
