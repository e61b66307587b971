// vl4 ports: the serial ports the system has registered, in the order the
// window's port selector lists them.
#include "cli/command_line.h"
#include "core/port_name_list.h"

namespace {

int Ports(CommandContext& context, const Arguments&) {
    PortNameList* ports = new PortNameList;
    ports->ForEachItem([&](void* name) { context.Say(static_cast<const char*>(name)); });
    if (ports->Count == 0)
        context.Err.Write(std::string(_("vl4: no serial ports are registered")) + "\n");
    ports->Free();
    return ExitDone;
}

} // namespace

const CommandSpec PortsCommand = {
    "ports",
    "",
    N_("registered serial ports, in the selector's order"),
    {
        N_("Lists the serial ports registered in the system's serial device map, one a\n"
           "line, shorter names first (COM2 before COM10), as the window's port selector\n"
           "lists them. Names longer than 7 characters are left out there and here.\n"),
    },
    0,
    0,
    {},
    Ports,
};
