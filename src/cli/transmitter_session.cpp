#include "cli/transmitter_session.h"

#include "core/text_encoding.h"
#include "devlink/transmitter_names.h"

namespace {

Connection OpenProblem() {
    switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return Connection::NoSuchPort;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return Connection::PortInUse;
    default:
        return Connection::CannotOpen;
    }
}

bool IsDevicePath(const std::string& port) {
    return port.compare(0, 2, "\\\\") == 0;
}

} // namespace

Connection TransmitterSession::Connect(const std::string& port) {
    // A reply that comes after its time-out must never pass for the next
    // command's: vl4's values go into files and scripts that cannot tell.
    Link.SettleAfterFailure = true;
    Port = port;
    Watch.Port = port;
    Identification.clear();
    const bool open = IsDevicePath(port) ? Link.OpenPath(port.c_str()) : Link.Open(port.c_str());
    if (!open) return port.empty() ? Connection::NoSuchPort : OpenProblem();
    const char* ident = Link.Identify();
    if (!ident) return Connection::NoAnswer;
    Identification = IdentificationText(ident);
    return IsAcceptedIdentification(ident) ? Connection::Identified : Connection::Foreign;
}

int TransmitterSession::Open(CommandContext& context, const std::string& port) {
    Watch.Trace = context.Trace;
    const Connection connection = Connect(port);
    if (connection == Connection::Identified) return ExitDone;
    std::string problem = ConnectionProblem(connection);
    if (connection == Connection::Foreign)
        problem = "the device answers as \"" + Identification + "\", not as a VL4 transmitter";
    return context.Fail(ExitFailed, port, problem);
}

int TransmitterSession::NoAnswer(CommandContext& context, const std::string& what) {
    return context.Fail(ExitFailed, Port, "no answer " + what);
}

const char* ConnectionProblem(Connection connection) {
    switch (connection) {
    case Connection::Identified:
        return "";
    case Connection::NoSuchPort:
        return "no such port";
    case Connection::PortInUse:
        return "the port is in use by another program";
    case Connection::CannotOpen:
        return "the port cannot be opened";
    case Connection::NoAnswer:
        return "no transmitter answers";
    case Connection::Foreign:
        break;
    }
    return "not a VL4 transmitter";
}
