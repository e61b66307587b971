#pragma once

#include "cli/command.h"
#include "cli/link_watch.h"
#include "devlink/transmitter_link.h"

#include <string>

enum class Connection { Identified, NoSuchPort, PortInUse, CannotOpen, NoAnswer, Foreign };

// The transmitter on the port a command names.
class TransmitterSession {
public:
    TransmitterSession() { Link.Observer = &Watch; }
    TransmitterSession(const TransmitterSession&) = delete;
    TransmitterSession& operator=(const TransmitterSession&) = delete;

    // Opens the port (a name such as COM3 or a device path such as \\.\COM3)
    // and identifies the device on it; again after a Close.
    Connection Connect(const std::string& port);
    // The same for a command, its frames into the command's trace: the
    // reason on the error line and the exit status when the port holds no
    // VL4 transmitter; ExitDone when it does.
    int Open(CommandContext& context, const std::string& port);
    // The error line of a read or write that got no reply; `what` says so
    // whole ("no answer reading damping").
    int NoAnswer(CommandContext& context, const std::string& what);

    LinkWatch Watch; // before the link, which it watches until the end
    TransmitterLink Link;
    std::string Port;
    std::string Identification; // as received, in UTF-8; empty when none came
};

// Why the port holds no transmitter, in a few words: in English, as JSON
// gives it; Translated() for a person.
const char* ConnectionProblem(Connection connection);
