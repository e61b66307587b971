#pragma once

#include "cli/console.h"
#include "cli/interruption.h"
#include "core/exit_status.h"
#include "core/language.h"

#include <string>
#include <utility>
#include <vector>

class LinkTrace;

// What a command talks to: its output, the person at the console and the
// interruption that Ctrl+C requests.
struct CommandContext {
    TextOutput& Out;
    TextOutput& Err;
    LineInput& In;
    Interruption& Stop;
    // Where the links of a command given --trace write each frame; null without.
    LinkTrace* Trace = nullptr;
    // The language of a command without --lang: the user's Windows display
    // language for vl4.exe, English for the tests that run commands.
    Language DefaultLanguage = Language::English;

    void Say(const std::string& line) { Out.Write(line + "\n"); }
    // One error line, "vl4: WHERE: WHAT"; answers the status to exit with.
    int Fail(int status, const std::string& where, const std::string& what);
    // The same as a warning, which changes no exit status.
    void Warn(const std::string& where, const std::string& what);
    // A note for the person, on the error stream with the warnings, so that
    // standard output holds results only: "note: WHAT".
    void Note(const std::string& what);
};

struct OptionSpec {
    const char* Name;      // "--every"
    const char* ValueName; // "SECONDS"; null for a flag
    bool Repeatable;
};

// A command's arguments after checking them against its options.
class Arguments {
public:
    std::vector<std::string> Positional;

    bool Has(const char* option) const;
    // The value given with the option; null when it was not given.
    const std::string* Value(const char* option) const;
    std::vector<std::string> Values(const char* option) const;

    std::vector<std::pair<std::string, std::string>> Options;
};

// Its texts for a person are marked N_ and translated where the help is
// printed; a synopsis's option names and placeholders stay as they are typed.
struct CommandSpec {
    const char* Name;
    const char* Synopsis; // the arguments after the name
    const char* Summary;  // one line for vl4 --help
    // The rest of vl4 COMMAND --help: its paragraphs and option blocks, each
    // a text of its own for the translator, a blank line between them.
    std::vector<const char*> Details;
    int MinPositional;
    int MaxPositional; // -1: no limit
    std::vector<OptionSpec> Options;
    int (*Run)(CommandContext& context, const Arguments& arguments);
};

// Sorts the words after the command's name into its arguments. False, with
// what is wrong in problem, when they do not fit the command.
bool ParseArguments(const CommandSpec& command, const std::vector<std::string>& words,
                    Arguments& arguments, std::string& problem);

// The usage error of a command: "vl4 set: WHAT; see vl4 set --help".
int UsageError(CommandContext& context, const CommandSpec& command, const std::string& what);
