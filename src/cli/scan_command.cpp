// vl4 scan: which registered ports have a transmitter. The ports are probed
// at once, each by a thread with a link of its own, so that a scan takes
// about one identification time-out however many ports stay silent.
#include "cli/command_line.h"
#include "cli/transmitter_session.h"
#include "core/machine_text.h"
#include "core/port_name_list.h"

#include <thread>

namespace {

struct PortProbe {
    std::string Port;
    LinkTrace* Trace = nullptr;
    Connection State = Connection::NoAnswer;
    std::string Identification;
    bool HasFirmware = false, HasProduction = false;
    WORD Firmware = 0;
    LONG Production = 0;

    void Run() {
        TransmitterSession session;
        session.Watch.Trace = Trace;
        State = session.Connect(Port);
        Identification = session.Identification;
        if (State != Connection::Identified) return;
        HasFirmware = session.Link.GetFirmwareVersion(Firmware);
        HasProduction = session.Link.GetProductionNumber(Production);
    }
};

bool Unopened(Connection state) {
    return state == Connection::NoSuchPort || state == Connection::PortInUse ||
           state == Connection::CannotOpen;
}

std::vector<PortProbe> RegisteredPorts() {
    std::vector<PortProbe> probes;
    PortNameList* ports = new PortNameList;
    ports->ForEachItem([&](void* name) {
        probes.emplace_back();
        probes.back().Port = static_cast<const char*>(name);
    });
    ports->Free();
    return probes;
}

std::string AsText(const PortProbe& probe) {
    const std::string line = probe.Port + "  " + probe.Identification + "  ";
    if (probe.State == Connection::Foreign)
        return line + Translated(ConnectionProblem(probe.State)) + "\n";
    const std::string none = _("(no answer)");
    return line +
           Format(_("firmware {0}  production number {1}"),
                  {probe.HasFirmware ? VersionText(probe.Firmware) : none,
                   probe.HasProduction ? IntegerText(probe.Production) : none}) +
           "\n";
}

std::string AsJson(const PortProbe& probe) {
    JsonObject json;
    json.Add("port", JsonString(probe.Port));
    const bool found = probe.State == Connection::Identified;
    json.Add("found", found ? "true" : "false");
    if (found || probe.State == Connection::Foreign)
        json.Add("identification", JsonString(probe.Identification));
    if (!found) return json.Add("problem", JsonString(ConnectionProblem(probe.State))).Text();
    json.Add("firmware", probe.HasFirmware ? JsonString(VersionText(probe.Firmware)) : "null")
        .Add("production_number", probe.HasProduction ? IntegerText(probe.Production) : "null");
    return json.Text();
}

int Scan(CommandContext& context, const Arguments& arguments) {
    std::vector<PortProbe> probes = RegisteredPorts();
    for (PortProbe& probe : probes) probe.Trace = context.Trace;
    std::vector<std::thread> threads;
    for (PortProbe& probe : probes) threads.emplace_back([&probe] { probe.Run(); });
    for (std::thread& thread : threads) thread.join();
    if (context.Stop.Requested()) return context.Fail(ExitInterrupted, "scan", _("interrupted"));
    const bool json = arguments.Has("--json");
    std::string output = json ? "[" : "";
    int found = 0;
    for (const PortProbe& probe : probes) {
        found += probe.State == Connection::Identified;
        if (json)
            output += std::string(&probe == &probes[0] ? "\n  " : ",\n  ") + AsJson(probe);
        else if (probe.State == Connection::Identified || probe.State == Connection::Foreign)
            output += AsText(probe);
        else if (Unopened(probe.State))
            // A transmitter may sit behind a port another program holds.
            context.Warn(probe.Port, Translated(ConnectionProblem(probe.State)));
    }
    if (json) output += probes.empty() ? "]\n" : "\n]\n";
    context.Out.Write(output);
    if (found > 0) return ExitDone;
    return context.Fail(ExitFailed, "scan",
                        probes.empty() ? _("no serial ports are registered")
                                       : _("no VL4 transmitter answers on any registered port"));
}

} // namespace

const CommandSpec ScanCommand = {
    "scan",
    N_("[--json]"),
    N_("which ports have a transmitter: port, identification, firmware, production number"),
    {
        N_("Probes every registered serial port (vl4 ports) at the same time and lists each\n"
           "port where a transmitter answers, with its identification, firmware version and\n"
           "production number. A scan takes about one identification time-out (200 ms) however\n"
           "many ports stay silent. The exit status is 1 when no transmitter answers.\n"),
        N_("  --json    an array with one object per registered port: port, found, and\n"
           "            identification, firmware, production_number where one was found, or\n"
           "            problem (no transmitter answers, no such port, in use) where not\n"),
    },
    0,
    0,
    {{"--json", nullptr, false}},
    Scan,
};
