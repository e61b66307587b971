#pragma once

// vl4's commands run in the test's process, with their output captured,
// against the simulated transmitter on the simulator's end of the cable
// (COM6); vl4 talks to COM5.
#include "cli/command_line.h"
#include "core/number_text.h"
#include "line/sim_on_cable.h"
#include "record_rows.h"
#include "sim/sim_console.h"
#include "vl4_console.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using Frames = std::vector<std::string>;

// The frames that write a value (their length byte is not 00), up to their
// first data byte.
inline Frames Writes(const Frames& frames) {
    Frames writes;
    for (const std::string& frame : frames)
        if (frame.compare(6, 2, "00") != 0) writes.push_back(frame.substr(0, 11));
    return writes;
}

// The bits of the dump's "1.5 0x3FC00000".
inline std::string DumpBits(const std::string& value) {
    return value.substr(value.find(' ') + 1);
}

inline std::string Hex(uint32_t bits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(bits));
    return text;
}

inline std::string TextBits(const std::string& text) {
    float value = 0;
    EXPECT_TRUE(ParseNumber(text.c_str(), value)) << text;
    return Hex(BitsOfFloat(value));
}

// A member of a one-line JSON object, as its text: "-59.16", "null", "{...}".
inline std::string Member(const std::string& json, const std::string& name) {
    size_t at = json.find("\"" + name + "\": ");
    if (at == std::string::npos) return "missing";
    at += name.size() + 4;
    const size_t end = json[at] == '{' ? json.find('}', at) + 1 : json.find_first_of(",}", at);
    return json.substr(at, end - at);
}

inline std::vector<std::string> Fields(const std::string& line) {
    return CsvFields(line);
}

// The lines of a text, without their line ends.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at - (end > at && text[end - 1] == '\r')));
    return lines;
}

class Vl4OnCable : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Sim.Started);
        Sim.Server.WithModel([this](TransmitterModel& m) {
            m.Log = [this, &m](const std::string& line) {
                Log.push_back(line);
                const auto planned = OnRequest.find(line.substr(0, 14));
                if (line.compare(0, 3, "RX ") != 0 || planned == OnRequest.end()) return;
                std::vector<std::string> out;
                RunSimCommand(m, planned->second, out);
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

    // Each request frame with this text ("01 30 00 CF") arms the simulator
    // command for its own reply ("fault noreply").
    void WhenRequested(const std::string& request, const std::string& command) {
        Sim.Server.WithModel([&](TransmitterModel&) { OnRequest["RX " + request] = command; });
    }
    void SwallowRepliesTo(const std::string& request) { WhenRequested(request, "fault noreply"); }

    std::vector<std::string> Files;
    std::vector<std::string> Log;                 // written under the model's lock
    std::map<std::string, std::string> OnRequest; // "RX 01 30 00 CF" -> sim command
    size_t Seen = 0;
    SimOnCable Sim; // stopped before the log goes
    CapturedOutput Out, Err;
    ScriptedInput In;
    std::unique_ptr<Interruption> Stop;
};
