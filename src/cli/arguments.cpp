#include "cli/command.h"

namespace {

const OptionSpec* FindOption(const CommandSpec& command, const std::string& name) {
    for (const OptionSpec& option : command.Options)
        if (name == option.Name) return &option;
    return nullptr;
}

// "--every 0.5" or "--every=0.5".
bool TakeOption(const CommandSpec& command, const std::vector<std::string>& words, size_t& i,
                Arguments& arguments, std::string& problem) {
    const std::string& word = words[i];
    const size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    const OptionSpec* option = FindOption(command, name);
    if (!option) {
        problem = Format(_("unknown option {0}"), {name});
        return false;
    }
    if (!option->Repeatable && arguments.Has(option->Name)) {
        problem = Format(_("{0} given twice"), {name});
        return false;
    }
    std::string value;
    if (!option->ValueName) {
        if (equals != std::string::npos) {
            problem = Format(_("{0} takes no value"), {name});
            return false;
        }
    } else if (equals != std::string::npos) {
        value = word.substr(equals + 1);
    } else if (i + 1 < words.size()) {
        value = words[++i];
    } else {
        problem = Format(_("{0} needs {1}"), {name, option->ValueName});
        return false;
    }
    arguments.Options.emplace_back(option->Name, value);
    return true;
}

} // namespace

bool Arguments::Has(const char* option) const {
    return Value(option) != nullptr;
}

const std::string* Arguments::Value(const char* option) const {
    const std::string* found = nullptr;
    for (const auto& given : Options)
        if (given.first == option) found = &given.second;
    return found;
}

std::vector<std::string> Arguments::Values(const char* option) const {
    std::vector<std::string> values;
    for (const auto& given : Options)
        if (given.first == option) values.push_back(given.second);
    return values;
}

bool ParseArguments(const CommandSpec& command, const std::vector<std::string>& words,
                    Arguments& arguments, std::string& problem) {
    for (size_t i = 0; i < words.size(); ++i) {
        // A lone "-" or a negative number is a value, not an option.
        const std::string& word = words[i];
        if (word.size() > 2 && word.compare(0, 2, "--") == 0) {
            if (!TakeOption(command, words, i, arguments, problem)) return false;
        } else {
            arguments.Positional.push_back(word);
        }
    }
    const int count = static_cast<int>(arguments.Positional.size());
    if (count < command.MinPositional) {
        problem = Format(_("expected {0}"), {_(command.Synopsis)});
    } else if (command.MaxPositional >= 0 && count > command.MaxPositional) {
        problem =
            Format(_("unexpected argument {0}"), {arguments.Positional[command.MaxPositional]});
    }
    return problem.empty();
}

int UsageError(CommandContext& context, const CommandSpec& command, const std::string& what) {
    context.Err.Write(Format(_("vl4 {0}: {1}; see vl4 {0} --help"), {command.Name, what}) + "\n");
    return ExitUsage;
}

int CommandContext::Fail(int status, const std::string& where, const std::string& what) {
    Err.Write("vl4: " + where + ": " + what + "\n");
    return status;
}

void CommandContext::Warn(const std::string& where, const std::string& what) {
    Err.Write(Format(_("vl4: {0}: warning: {1}"), {where, what}) + "\n");
}

void CommandContext::Note(const std::string& what) {
    Err.Write(Format(_("note: {0}"), {what}) + "\n");
}
