// vl4's help as a technician reads it: in Czech on an 80-column console,
// naming every option the command takes; in English as it always was.
#include "cli/command_line.h"
#include "core/text_encoding.h"

#include "vl4_console.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

const CommandSpec* const Commands[] = {&PortsCommand,   &ScanCommand,       &ReadCommand,
                                       &SetCommand,     &SaveCommand,       &LoadCommand,
                                       &LogCommand,     &CalibrateCommand,  &VerifyCommand,
                                       &HistoryCommand, &CertificateCommand};

std::set<std::string> OptionsNamed(const std::string& text) {
    static const std::regex option("--[a-z][a-z-]*[a-z]");
    std::set<std::string> names;
    for (std::sregex_iterator i(text.begin(), text.end(), option), end; i != end; ++i)
        names.insert(i->str());
    return names;
}

// The lines a translation laid out: the usage lines are the program's, as
// long in Czech as they are in English.
void ExpectFits(const std::string& help, const std::string& where) {
    std::istringstream lines(help);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind("použití: vl4 ", 0) == 0 || line.rfind("  vl4 ", 0) == 0) continue;
        EXPECT_LE(CharacterCount(line), 80) << where << ": " << line;
    }
}

TEST(Vl4Help, InCzechEachLineFitsAConsoleAndEveryOptionIsNamed) {
    Vl4Words vl4;
    ASSERT_EQ(vl4.Run({"--lang", "en", "--help"}), ExitDone);
    const std::string english = vl4.Out.Text;
    ASSERT_EQ(vl4.Run({"--lang", "cs", "--help"}), ExitDone);
    EXPECT_NE(vl4.Out.Text.find("použití: vl4 PŘÍKAZ"), std::string::npos) << vl4.Out.Text;
    EXPECT_EQ(OptionsNamed(vl4.Out.Text), OptionsNamed(english));
    ExpectFits(vl4.Out.Text, "vl4 --help");

    for (const CommandSpec* command : Commands) {
        const std::string name = command->Name;
        ASSERT_EQ(vl4.Run({"--lang", "en", name, "--help"}), ExitDone);
        const std::string english = vl4.Out.Text;
        ASSERT_EQ(vl4.Run({"--lang", "cs", name, "--help"}), ExitDone);
        const std::string& czech = vl4.Out.Text;
        EXPECT_EQ(czech.find("použití: vl4 " + name), 0u) << czech;
        // Its summary and its first paragraph come from the catalog.
        const size_t summary = english.find("\n\n") + 2;
        for (size_t at : {summary, english.find("\n\n", summary) + 2})
            EXPECT_EQ(czech.find(english.substr(at, 20)), std::string::npos)
                << name << ": " << czech;
        const std::set<std::string> named = OptionsNamed(czech);
        for (const OptionSpec& option : command->Options)
            EXPECT_EQ(named.count(option.Name), 1u) << name << " " << option.Name;
        EXPECT_EQ(named, OptionsNamed(english)) << name;
        ExpectFits(czech, "vl4 " + name + " --help");
    }
}

TEST(Vl4Help, InEnglishAsItWasAndItsUsageErrorsPointToIt) {
    Vl4Words vl4;
    ASSERT_EQ(vl4.Run({"--help"}), ExitDone);
    EXPECT_EQ(vl4.Out.Text.find("vl4 - the VL4 transmitter's settings, values and calibration "
                                "from the command line\n\nusage: vl4 COMMAND [ARGUMENTS]\n\n"
                                "commands:\n  vl4 ports\n      registered serial ports, in the "
                                "selector's order\n  vl4 scan [--json]\n"),
              0u)
        << vl4.Out.Text;
    EXPECT_NE(vl4.Out.Text.find("\n  vl4 --version | --help | COMMAND --help\n\nPORT is a name"),
              std::string::npos);

    ASSERT_EQ(vl4.Run({"calibrate", "--help"}), ExitDone);
    const std::string& calibrate = vl4.Out.Text;
    EXPECT_EQ(calibrate.find("usage: vl4 calibrate PORT STANDARD [STANDARD] [OPTIONS] | PORT "
                             "--undo --record FILE [--trace FILE]\n\na one- or two-point "
                             "calibration with settled points, a check and a record\n\n"
                             "Calibrates the probe as"),
              0u)
        << calibrate;
    // The paragraphs joined by one blank line, the trace's option last.
    EXPECT_NE(calibrate.find("fails the calibration.\n\nThe standards, one or two, in the order "
                             "given:\n  --standard N          a standard's value"),
              std::string::npos);
    EXPECT_NE(calibrate.find("holds what that calibration left; asks first unless\n"
                             "                        --yes\n  --trace FILE      append"),
              std::string::npos);
    const std::string last = "a FILE that holds anything but a trace is refused\n";
    EXPECT_EQ(calibrate.compare(calibrate.size() - last.size(), last.size(), last), 0);
    ASSERT_EQ(vl4.Run({"set", "--help"}), ExitDone);
    EXPECT_NE(vl4.Out.Text.find("1e3)\n\nexample: vl4 set COM5 damping=3 upper=12.5\n"),
              std::string::npos);

    EXPECT_EQ(vl4.Run({"calibrate"}), ExitUsage);
    EXPECT_EQ(vl4.Err.Text, "vl4 calibrate: expected PORT STANDARD [STANDARD] [OPTIONS] | PORT "
                            "--undo --record FILE; see vl4 calibrate --help\n");
    EXPECT_EQ(vl4.Run({"read", "COM5", "--json=1"}), ExitUsage);
    EXPECT_EQ(vl4.Err.Text, "vl4 read: --json takes no value; see vl4 read --help\n");
    EXPECT_EQ(vl4.Run({"--lang", "cs", "read", "COM5", "x"}), ExitUsage);
    EXPECT_EQ(vl4.Err.Text, "vl4 read: nadbytečný argument x; viz vl4 read --help\n");
    EXPECT_EQ(vl4.Run({"--lang", "cs", "calibrate"}), ExitUsage);
    EXPECT_NE(vl4.Err.Text.find("PORT STANDARD [STANDARD] [VOLBY] | PORT --undo --record FILE;"),
              std::string::npos)
        << vl4.Err.Text;
}

} // namespace
