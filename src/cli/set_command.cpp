// vl4 set: writes input parameters one by one and shows what the transmitter
// holds afterwards.
#include "cli/command_line.h"
#include "cli/setting_writes.h"

namespace {

bool Plan(const std::string& word, std::vector<SettingWrite>& writes, std::string& problem) {
    const size_t equals = word.find('=');
    if (equals == std::string::npos) {
        problem = Format(_("expected NAME=VALUE, not {0}"), {word});
        return false;
    }
    const std::string key = word.substr(0, equals);
    const Setting* setting = FindSetting(key);
    if (!setting || !SetAllowed(*setting)) {
        problem =
            Format(_("no setting {0} (damping, offset, sensitivity, depth, lower, upper)"), {key});
        return false;
    }
    uint32_t raw;
    if (!ParseSetting(*setting, word.substr(equals + 1), raw, problem)) return false;
    writes.push_back({setting, raw});
    return true;
}

int Set(CommandContext& context, const Arguments& arguments) {
    std::vector<SettingWrite> writes;
    std::string problem;
    for (size_t i = 1; i < arguments.Positional.size(); ++i)
        if (!Plan(arguments.Positional[i], writes, problem))
            return UsageError(context, SetCommand, problem);
    TransmitterSession session;
    if (int status = session.Open(context, arguments.Positional[0])) return status;
    const int status = WriteSettings(context, session, writes);
    for (const SettingWrite& write : writes)
        if (write.Done)
            context.Say(std::string(write.Target->Key) + ": " +
                        SettingShown(*write.Target, write.Returned));
    return status;
}

} // namespace

const CommandSpec SetCommand = {
    "set",
    N_("PORT NAME=VALUE ..."),
    N_("write damping, offset, sensitivity, depth, lower, upper; print what the transmitter "
       "returned"),
    {
        N_("Writes each value in the order given and prints the value the transmitter\n"
           "returned, as the window shows the reply after a write. A value the transmitter\n"
           "holds differently from what was written (it limits some) is reported and makes\n"
           "the exit status 1. Every value is checked before the first frame goes out.\n"),
        N_("  damping       a whole number 0 to 30\n"
           "  offset, sensitivity, depth, lower, upper\n"
           "                a number (a decimal point or comma, an exponent: 1.5, -59.16, 1e3)\n"),
        N_("example: vl4 set COM5 damping=3 upper=12.5\n"),
    },
    2,
    -1,
    {},
    Set,
};
