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
    std::string problem = Translated(ConnectionProblem(connection));
    if (connection == Connection::Foreign)
        problem =
            Format(_("the device answers as \"{0}\", not as a VL4 transmitter"), {Identification});
    return context.Fail(ExitFailed, port, problem);
}

int TransmitterSession::NoAnswer(CommandContext& context, const std::string& what) {
    return context.Fail(ExitFailed, Port, what);
}

const char* ConnectionProblem(Connection connection) {
    switch (connection) {
    case Connection::Identified:
        return "";
    case Connection::NoSuchPort:
        return N_("no such port");
    case Connection::PortInUse:
        return N_("the port is in use by another program");
    case Connection::CannotOpen:
        return N_("the port cannot be opened");
    case Connection::NoAnswer:
        return N_("no transmitter answers");
    case Connection::Foreign:
        break;
    }
    return N_("not a VL4 transmitter");
}
