#include "cli/console_front_end.h"

#include "cli/questions.h"
#include "core/language.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "core/text_encoding.h"

namespace {

// The progress line stays within a console of 80 columns, in either language:
// a line that wrapped would be redrawn only in its last row.
constexpr int ProgressWidth = 8, ConsoleWidth = 79;

Reply ReplyOf(int status, bool yes, bool ended) {
    if (status == ExitInterrupted) return Reply::Interrupted;
    if (ended) return Reply::Ended;
    return yes ? Reply::Yes : Reply::No;
}

} // namespace

ConsoleFrontEnd::ConsoleFrontEnd(CommandContext& context) : Context(context) {}

ConsoleFrontEnd::~ConsoleFrontEnd() = default;

void ConsoleFrontEnd::Step(CalibrationStep, const CalibrationRecord&, const std::string& line) {
    Context.Say(line);
}

void ConsoleFrontEnd::Note(const std::string& what) {
    Context.Note(what);
}

void ConsoleFrontEnd::Warn(const std::string& where, const std::string& what) {
    Context.Warn(where, what);
}

void ConsoleFrontEnd::Fail(int status, const std::string& where, const std::string& what) {
    if (where.empty())
        Context.Err.Write("vl4: " + what + "\n");
    else
        Context.Fail(status, where, what);
}

void ConsoleFrontEnd::LineForTheRecord(const std::string& line) {
    Context.Err.Write(std::string(_("the line for the record, to add by hand:")) + "\n" + line);
}

Reply ConsoleFrontEnd::ProbeReady(const std::string& point, const std::string& standard) {
    std::string line;
    bool ended;
    const int status =
        AskLine(Context,
                Format(_("{0}: put the probe in the {1} and press Enter (Ctrl+C cancels)"),
                       {point, standard}) +
                    "\n",
                line, ended);
    return ReplyOf(status, true, ended);
}

// "point 1 [###.....] 9.596 mV  drift -0.54 mV/min  spread 0.080 mV  22 s"
void ConsoleFrontEnd::Reading(const PointProgress& progress) {
    if (!Progress) Progress.reset(new StatusLine(Context.Out));
    const int filled = progress.WindowCount * ProgressWidth / SettlingWindow::Size;
    std::vector<std::string> parts = {
        progress.Name + " [" + std::string(filled, '#') + std::string(ProgressWidth - filled, '.') +
            "]",
        progress.Read || progress.Now == PointProgress::Taken ? Decimal(progress.Voltage, 3) + " mV"
                                                              : std::string(_("no answer")),
        Format(_("drift {0} mV/min"), {Decimal(progress.DriftMvPerMinute, 2)}),
        Format(_("spread {0} mV"), {Decimal(progress.SpreadMv, 3)}),
        IntegerText(static_cast<int32_t>(progress.Seconds)) + " s"};
    if (progress.Now == PointProgress::Taken) parts.push_back(_("stable"));
    // The figures two spaces apart, or one where that would not fit.
    std::string line;
    for (const char* gap : {"  ", " "}) {
        line = parts[0] + " " + parts[1];
        for (size_t i = 2; i < parts.size(); ++i) line += gap + parts[i];
        if (CharacterCount(line) <= ConsoleWidth) break;
    }
    if (progress.Now != PointProgress::Ended) Progress->Show(CutToWidth(line, ConsoleWidth));
    if (progress.Now != PointProgress::Sampling) Progress.reset();
}

// Asked again until it is a number; an empty line or the input's end is none.
Reply ConsoleFrontEnd::GrabValue(const std::string&, double& value) {
    for (;;) {
        std::string answer;
        bool ended;
        const int status =
            AskLine(Context, std::string(_("grab sample result in mg/L:")) + " ", answer, ended);
        if (status == ExitInterrupted) return Reply::Interrupted;
        if (ended) return Reply::Ended;
        const size_t first = answer.find_first_not_of(" \t\r");
        if (first == std::string::npos) return Reply::No;
        float number;
        if (ParseNumber(answer.substr(first, answer.find_last_not_of(" \t\r") + 1 - first).c_str(),
                        number) &&
            IsFiniteNumber(number) && number >= 0) {
            value = number;
            return Reply::Yes;
        }
        Context.Err.Write(
            "vl4: " +
            Format(_("a grab sample's result is a number of mg/L, 0 or more, not {0}"), {answer}) +
            "\n");
    }
}

// Running the command said to write; the console asks only what is unusual.
Reply ConsoleFrontEnd::Ask(Question question, const std::string& context) {
    if (question == Question::Write) return Reply::Yes;
    const std::string text = question == Question::WriteUnusual
                                 ? context + "\n" + _("write anyway? [y/N]") + " "
                                 : std::string(_("put it back? [y/N]")) + " ";
    std::string answer;
    bool ended;
    const int status = AskLine(Context, text, answer, ended);
    return ReplyOf(status, IsYes(answer), ended);
}

bool ConsoleFrontEnd::OutputLost(std::string& why) {
    if (!Context.Out.Failed()) return false;
    why = Context.Out.Problem();
    return true;
}

const StopSignal& ConsoleFrontEnd::Stop() {
    return Context.Stop;
}
