#pragma once

// vl4's commands run in a test's process: what they write is captured and
// the questions they ask are answered from a script.
#include "cli/command.h"
#include "cli/command_line.h"

#include <functional>
#include <string>
#include <vector>

// What a command writes; Seen hears each piece the moment it is written (a
// bench moves the probe when a point begins).
struct CapturedOutput : TextOutput {
    void Write(const std::string& text) override {
        Text += text;
        if (Seen) Seen(text);
    }
    std::string Text;
    std::function<void(const std::string&)> Seen;
};

// Answers each question of a command; the test may steer the transmitter
// meanwhile (put the probe in the next standard). Lines is what the answers
// type, one line each; an empty line once it runs out.
struct ScriptedInput : LineInput {
    InputEvent WaitForLine(const Interruption&, std::string& line) override {
        line.clear();
        if (!Lines.empty()) {
            line = Lines.front();
            Lines.erase(Lines.begin());
        }
        return Answer ? Answer() : InputEvent::Line;
    }
    void DiscardTypedAhead() override { ++Discards; }
    std::function<InputEvent()> Answer;
    std::vector<std::string> Lines;
    int Discards = 0;
};

// vl4 run with words and nobody to answer: what it wrote, on each stream.
struct Vl4Words {
    Vl4Words() {
        In.Answer = [] { return InputEvent::End; };
    }
    int Run(const std::vector<std::string>& words) {
        Out.Text.clear();
        Err.Text.clear();
        CommandContext context = {Out, Err, In, Stop};
        return RunVl4(context, words);
    }
    CapturedOutput Out, Err;
    ScriptedInput In;
    Interruption Stop;
};
