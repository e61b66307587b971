#include "cli/command_line.h"

#include "vl4_version.h"

namespace {

const CommandSpec* const Commands[] = {&PortsCommand, &ScanCommand,      &ReadCommand,
                                       &SetCommand,   &SaveCommand,      &LoadCommand,
                                       &LogCommand,   &CalibrateCommand, &HistoryCommand};

const char Version[] = "vl4 " VL4_VERSION_TEXT "\n";

const char Intro[] =
    "vl4 - the VL4 transmitter's settings, values and calibration from the command line\n"
    "\n"
    "usage: vl4 COMMAND [ARGUMENTS]\n"
    "\n"
    "commands:\n";

const char Closing[] =
    "  vl4 --version | --help | COMMAND --help\n"
    "\n"
    "PORT is a name from 'vl4 ports' (COM3) or a device path (\\\\.\\COM3).\n"
    "Exit status: 0 done; 1 the transmitter did not answer, refused, or a value did\n"
    "not verify; 2 wrong usage or a bad file; 130 interrupted (Ctrl+C).\n";

bool IsHelp(const std::string& word) {
    return word == "--help" || word == "-h";
}

std::string Usage(const CommandSpec& command) {
    std::string usage = std::string("vl4 ") + command.Name;
    if (*command.Synopsis) usage += std::string(" ") + command.Synopsis;
    return usage;
}

std::string Overview() {
    std::string text = Intro;
    for (const CommandSpec* command : Commands) {
        const std::string usage = Usage(*command);
        text += "  " + usage + "\n      " + command->Summary + "\n";
    }
    return text + Closing;
}

std::string CommandHelp(const CommandSpec& command) {
    return "usage: " + Usage(command) + "\n\n" + command.Summary + "\n\n" + command.Details;
}

const CommandSpec* FindCommand(const std::string& name) {
    for (const CommandSpec* command : Commands)
        if (name == command->Name) return command;
    return nullptr;
}

} // namespace

int RunVl4(CommandContext& context, const std::vector<std::string>& words) {
    if (words.empty()) {
        context.Err.Write(Overview());
        return ExitUsage;
    }
    const std::string& first = words[0];
    if (IsHelp(first)) {
        context.Out.Write(Overview());
        return ExitDone;
    }
    if (first == "--version") {
        context.Out.Write(Version);
        return ExitDone;
    }
    const CommandSpec* command = FindCommand(first);
    if (!command) return context.Fail(ExitUsage, first, "no such command; see vl4 --help");
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    for (const std::string& word : rest) {
        if (IsHelp(word)) {
            context.Out.Write(CommandHelp(*command));
            return ExitDone;
        }
    }
    Arguments arguments;
    std::string problem;
    if (!ParseArguments(*command, rest, arguments, problem))
        return UsageError(context, *command, problem);
    const int status = command->Run(context, arguments);
    // A result nobody received is no success.
    if (status == ExitDone && context.Out.Failed())
        return context.Fail(ExitFailed, "standard output",
                            "cannot write: " + context.Out.Problem());
    return status;
}
