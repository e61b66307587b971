#pragma once

// vl4's commands run in the test's process, with their output captured,
// against the simulated transmitter on the simulator's end of the cable
// (COM6); vl4 talks to COM5.
#include "cli/command_line.h"
#include "line/sim_on_cable.h"
#include "sim/sim_console.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

struct CapturedOutput : TextOutput {
    void Write(const std::string& text) override { Text += text; }
    std::string Text;
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

class Vl4OnCable : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Sim.Started);
        Sim.Server.WithModel([this](TransmitterModel& m) {
            m.Log = [this, &m](const std::string& line) {
                Log.push_back(line);
                if (line == "RX " + Swallowed) m.Faults.Arm(Fault::NoReply, 1);
            };
        });
    }

    // The files a test made go with it.
    void TearDown() override {
        for (const std::string& path : Files) std::remove(path.c_str());
    }

    int Run(const std::vector<std::string>& words) {
        Out.Text.clear();
        Err.Text.clear();
        Stop.reset(new Interruption);
        CommandContext context = {Out, Err, In, *Stop};
        return RunVl4(context, words);
    }

    void Steer(const std::string& command) {
        std::vector<std::string> out;
        const CommandResult result = Sim.Server.WithModel(
            [&](TransmitterModel& m) { return RunSimCommand(m, command, out); });
        ASSERT_EQ(result, CommandResult::Ok) << command << ": " << out.back();
    }

    // "name value" lines of the simulator's dump; floats carry their bits.
    std::map<std::string, std::string> Dump() {
        std::vector<std::string> lines;
        Sim.Server.WithModel([&](TransmitterModel& m) { return RunSimCommand(m, "dump", lines); });
        std::map<std::string, std::string> values;
        for (const std::string& line : lines) {
            const size_t space = line.find(' ');
            if (space != std::string::npos) values[line.substr(0, space)] = line.substr(space + 1);
        }
        return values;
    }

    // The request frames received since the last call ("01 2B 00 D4").
    std::vector<std::string> Requests() {
        std::vector<std::string> frames;
        Sim.Server.WithModel([&](TransmitterModel&) {
            for (; Seen < Log.size(); ++Seen)
                if (Log[Seen].compare(0, 3, "RX ") == 0) frames.push_back(Log[Seen].substr(3, 11));
        });
        return frames;
    }

    // A file of this test's own in the working folder.
    std::string FileNamed(const std::string& name) {
        Files.push_back(
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "." +
            name);
        return Files.back();
    }
    std::string Written(const std::string& name, const std::string& content) {
        const std::string path = FileNamed(name);
        FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(content.data(), 1, content.size(), file);
        std::fclose(file);
        return path;
    }
    static std::string Contents(const std::string& path) {
        std::string text;
        if (FILE* file = std::fopen(path.c_str(), "rb")) {
            char buffer[4096];
            for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
                text.append(buffer, n);
            std::fclose(file);
        }
        return text;
    }

    // Every request frame with this text ("01 30 00 CF") goes unanswered.
    void SwallowRepliesTo(const std::string& request) {
        Sim.Server.WithModel([&](TransmitterModel&) { Swallowed = request; });
    }

    std::vector<std::string> Files;
    std::vector<std::string> Log; // written under the model's lock
    std::string Swallowed;
    size_t Seen = 0;
    SimOnCable Sim; // stopped before the log goes
    CapturedOutput Out, Err;
    ScriptedInput In;
    std::unique_ptr<Interruption> Stop;
};
