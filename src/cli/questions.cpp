#include "cli/questions.h"

int AskLine(CommandContext& context, const std::string& question, std::string& answer,
            bool& ended) {
    context.In.DiscardTypedAhead();
    (context.Out.IsConsole() ? context.Out : context.Err).Write(question);
    answer.clear();
    ended = false;
    switch (context.In.WaitForLine(context.Stop, answer)) {
    case InputEvent::Line:
        return ExitDone;
    case InputEvent::Interrupted:
        return ExitInterrupted;
    case InputEvent::End:
        break;
    }
    ended = true;
    return ExitDone;
}

bool IsYes(const std::string& answer) {
    const size_t first = answer.find_first_not_of(" \t\r");
    if (first == std::string::npos) return false;
    const size_t last = answer.find_last_not_of(" \t\r");
    std::string word = answer.substr(first, last + 1 - first);
    for (char& c : word) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    // A Czech question takes its own yes as well.
    const bool czech = CurrentLanguage() == Language::Czech && (word == "a" || word == "ano");
    return word == "y" || word == "yes" || czech;
}

int AskYesNo(CommandContext& context, const std::string& question, bool& yes) {
    std::string answer;
    bool ended;
    const int status = AskLine(context, question, answer, ended);
    yes = status == ExitDone && !ended && IsYes(answer);
    return status;
}
