#include "cli/setting_writes.h"

namespace {

std::string Progress(const std::vector<SettingWrite>& writes) {
    std::vector<const Setting*> written, left;
    for (const SettingWrite& write : writes) (write.Done ? written : left).push_back(write.Target);
    return Format(_("wrote {0}; not written: {1}"), {KeyList(written), KeyList(left)});
}

} // namespace

int ReadSettings(CommandContext& context, TransmitterSession& session,
                 const std::function<bool(int)>& wanted, uint32_t (&raw)[SettingCount],
                 const char* when) {
    for (int i = 0; i < SettingCount; ++i) {
        if (!wanted(i)) continue;
        if (context.Stop.Requested())
            return context.Fail(ExitInterrupted, session.Port,
                                _("interrupted") + std::string(when));
        if (!ReadSetting(session.Link, Settings[i], raw[i]))
            return session.NoAnswer(context,
                                    Format(_("no answer reading {0}"), {Settings[i].Key}) + when);
    }
    return ExitDone;
}

bool WriteChecked(CommandContext& context, TransmitterSession& session, SettingWrite& write,
                  int& status) {
    uint32_t raw = write.Wanted;
    if (!WriteSetting(session.Link, *write.Target, raw)) return false;
    write.Returned = raw;
    write.Done = true;
    if (raw == write.Wanted) return true;
    status = context.Fail(ExitFailed, session.Port,
                          Format(_("{0}: wrote {1}, transmitter holds {2}"),
                                 {write.Target->Key, SettingShown(*write.Target, write.Wanted),
                                  SettingShown(*write.Target, raw)}));
    return true;
}

int WriteSettings(CommandContext& context, TransmitterSession& session,
                  std::vector<SettingWrite>& writes) {
    int status = ExitDone;
    for (SettingWrite& write : writes) {
        if (write.Done) continue; // written before, as a probe change is
        if (context.Stop.Requested())
            return context.Fail(ExitInterrupted, session.Port,
                                Format(_("interrupted; {0}"), {Progress(writes)}));
        if (!WriteChecked(context, session, write, status))
            return session.NoAnswer(context, Format(_("no answer writing {0}; {1}"),
                                                    {write.Target->Key, Progress(writes)}));
    }
    return status;
}

std::string KeyList(const std::vector<const Setting*>& settings) {
    std::string list;
    for (const Setting* setting : settings)
        list += (list.empty() ? "" : ", ") + std::string(setting->Key);
    return list.empty() ? _("nothing") : list;
}
