#include "cli/command_line.h"

#include "cli/link_trace.h"
#include "core/local_time.h"
#include "core/text_encoding.h"
#include "vl4_version.h"

#include <algorithm>

namespace {

const CommandSpec* const Commands[] = {&PortsCommand,   &ScanCommand,       &ReadCommand,
                                       &SetCommand,     &SaveCommand,       &LoadCommand,
                                       &LogCommand,     &CalibrateCommand,  &VerifyCommand,
                                       &HistoryCommand, &CertificateCommand};

// The commands that talk to a transmitter; each takes --trace FILE besides
// its own options, handled here for all of them.
const CommandSpec* const TalkingCommands[] = {&ScanCommand,      &ReadCommand,  &SetCommand,
                                              &SaveCommand,      &LoadCommand,  &LogCommand,
                                              &CalibrateCommand, &VerifyCommand};
const OptionSpec TraceOption = {"--trace", "FILE", false};
const char TraceHelp[] =
    N_("  --trace FILE      append every frame to FILE as it goes, for support: a header\n"
       "                    line with the command line, the port and the version, then\n"
       "                    one line a frame: milliseconds since the start, the port,\n"
       "                    > sent or < received, the bytes in hex and a reply's outcome\n"
       "                    (ok, time-out, bad checksum, cut, unexpected, late: discarded);\n"
       "                    a FILE that holds anything but a trace is refused\n");

const char Version[] = "vl4 " VL4_VERSION_TEXT "\n";

const char Intro[] =
    N_("vl4 - the VL4 transmitter's settings, values and calibration from the command line\n"
       "\n"
       "usage: vl4 COMMAND [ARGUMENTS]\n"
       "\n"
       "commands:\n");

const char Closing[] =
    N_("  vl4 --version | --help | COMMAND --help\n"
       "\n"
       "PORT is a name from 'vl4 ports' (COM3) or a device path (\\\\.\\COM3).\n"
       "Every command that talks to a transmitter takes --trace FILE: each frame into FILE.\n"
       "Exit status: 0 done; 1 the transmitter did not answer, refused, or a value did\n"
       "not verify; 2 wrong usage or a bad file; 130 interrupted (Ctrl+C).\n");

bool IsHelp(const std::string& word) {
    return word == "--help" || word == "-h";
}

std::string Usage(const CommandSpec& command) {
    std::string usage = std::string("vl4 ") + command.Name;
    if (*command.Synopsis) usage += std::string(" ") + _(command.Synopsis);
    return usage;
}

std::string Overview() {
    std::string text = _(Intro);
    for (const CommandSpec* command : Commands) {
        const std::string usage = Usage(*command);
        text += "  " + usage + "\n      " + _(command->Summary) + "\n";
    }
    return text + _(Closing);
}

bool TalksToTransmitter(const CommandSpec& command) {
    return std::find(std::begin(TalkingCommands), std::end(TalkingCommands), &command) !=
           std::end(TalkingCommands);
}

std::string CommandHelp(const CommandSpec& command) {
    const bool traced = TalksToTransmitter(command);
    std::string text =
        Format(_("usage: {0}"), {Usage(command) + (traced ? " [--trace FILE]" : "")}) + "\n\n" +
        _(command.Summary) + "\n";
    for (const char* block : command.Details) text += std::string("\n") + _(block);
    return text + (traced ? _(TraceHelp) : "");
}

// "# vl4 1.1.0 trace, 2026-12-07T16:56:19.457+01:00, port COM5: vl4 read COM5 --trace t.txt"
std::string TraceHeader(const CommandSpec& command, const Arguments& arguments,
                        const std::vector<std::string>& words) {
    std::string line = "vl4";
    for (const std::string& word : words)
        line +=
            " " + (word.empty() || word.find(' ') != std::string::npos ? "\"" + word + "\"" : word);
    const std::string port =
        command.MinPositional > 0 ? "port " + arguments.Positional[0] : "every registered port";
    return "# vl4 " VL4_VERSION_TEXT " trace, " + LocalTime::Now().IsoWithMilliseconds() + ", " +
           port + ": " + OnOneLine(line);
}

// Runs the command with its frames into the trace file that --trace names.
int RunTraced(CommandContext& context, const CommandSpec& command, const Arguments& arguments,
              const std::vector<std::string>& words) {
    const std::string& path = *arguments.Value("--trace");
    LinkTrace trace;
    std::string problem;
    if (!trace.Open(path, TraceHeader(command, arguments, words), problem))
        return context.Fail(ExitUsage, path, problem);
    CommandContext traced = context;
    traced.Trace = &trace;
    int status = command.Run(traced, arguments);
    if (trace.Failed()) {
        const int failed =
            context.Fail(ExitFailed, path,
                         Format(_("cannot write: {0}; the trace ends early"), {trace.Problem()}));
        if (status == ExitDone) status = failed;
    }
    return status;
}

const CommandSpec* FindCommand(const std::string& name) {
    for (const CommandSpec* command : Commands)
        if (name == command->Name) return command;
    return nullptr;
}

// Takes --lang out of the words, wherever it stands, and speaks its
// language from then on; false, with the problem, for a language vl4 lacks.
bool TakeLanguage(std::vector<std::string>& words, Language& language, std::string& problem) {
    for (size_t i = 0; i < words.size(); ++i) {
        std::string code;
        size_t count = 1;
        if (words[i] == "--lang") {
            if (i + 1 == words.size()) {
                problem = _("--lang needs cs or en");
                return false;
            }
            code = words[i + 1];
            count = 2;
        } else if (words[i].compare(0, 7, "--lang=") == 0) {
            code = words[i].substr(7);
        } else {
            continue;
        }
        if (!ParseLanguageCode(code, language)) {
            problem = Format(_("--lang takes cs or en, not {0}"), {code});
            return false;
        }
        words.erase(words.begin() + i, words.begin() + i + count);
        --i;
    }
    return true;
}

// The command the words name, in the language already chosen.
int RunWords(CommandContext& context, const std::vector<std::string>& words) {
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
    if (!command) return context.Fail(ExitUsage, first, _("no such command; see vl4 --help"));
    const std::vector<std::string> rest(words.begin() + 1, words.end());
    for (const std::string& word : rest) {
        if (IsHelp(word)) {
            context.Out.Write(CommandHelp(*command));
            return ExitDone;
        }
    }
    CommandSpec accepted = *command;
    if (TalksToTransmitter(*command)) accepted.Options.push_back(TraceOption);
    Arguments arguments;
    std::string problem;
    if (!ParseArguments(accepted, rest, arguments, problem))
        return UsageError(context, *command, problem);
    const int status = arguments.Has("--trace") ? RunTraced(context, *command, arguments, words)
                                                : command->Run(context, arguments);
    // A result nobody received is no success.
    if (status == ExitDone && context.Out.Failed())
        return context.Fail(ExitFailed, _("standard output"),
                            Format(_("cannot write: {0}"), {context.Out.Problem()}));
    return status;
}

} // namespace

// The language first: --lang, or the context's own.
int RunVl4(CommandContext& context, const std::vector<std::string>& given) {
    std::vector<std::string> words = given;
    Language language = context.DefaultLanguage;
    std::string problem;
    SetLanguage(language);
    if (!TakeLanguage(words, language, problem)) return context.Fail(ExitUsage, "vl4", problem);
    SetLanguage(language);
    return RunWords(context, words);
}
