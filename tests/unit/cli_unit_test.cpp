// vl4's parts that need neither a port nor a transmitter: its help and usage
// errors, the trend picture, the statistics of a calibration point.
#include "cli/command_line.h"
#include "cli/trend_svg.h"
#include "core/voltage_samples.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Captured : TextOutput {
    void Write(const std::string& text) override { Text += text; }
    std::string Text;
};
struct NoInput : LineInput {
    InputEvent WaitForLine(const Interruption&, std::string&) override { return InputEvent::End; }
};

struct Vl4Words {
    int Run(const std::vector<std::string>& words) {
        Out.Text.clear();
        Err.Text.clear();
        CommandContext context = {Out, Err, In, Stop};
        return RunVl4(context, words);
    }
    Captured Out, Err;
    NoInput In;
    Interruption Stop;
};

TEST(Vl4CommandLine, HelpListsEveryCommandAndAWrongCallSaysWhatAndWhere) {
    Vl4Words vl4;
    EXPECT_EQ(vl4.Run({"--help"}), ExitDone);
    for (const char* usage :
         {"vl4 ports\n", "vl4 scan [--json]\n", "vl4 read PORT [--json | --csv]\n",
          "vl4 set PORT NAME=VALUE ...\n", "vl4 save PORT FILE\n",
          "vl4 load PORT FILE [--dry-run] [--with-calibration]\n",
          "vl4 log PORT [--every SECONDS] [--count N] [--out FILE.csv] [--svg FILE.svg]\n",
          "vl4 calibrate PORT --standard N1 [--standard N2] [OPTIONS] | PORT --undo --record "
          "FILE\n"})
        EXPECT_NE(vl4.Out.Text.find(usage), std::string::npos) << usage;
    EXPECT_EQ(vl4.Run({"load", "--help"}), ExitDone);
    EXPECT_EQ(vl4.Out.Text.find("usage: vl4 load PORT FILE"), 0u) << vl4.Out.Text;
    EXPECT_EQ(vl4.Run({"--version"}), ExitDone);
    EXPECT_EQ(vl4.Out.Text.find("vl4 "), 0u);

    EXPECT_EQ(vl4.Run({}), ExitUsage);
    EXPECT_EQ(vl4.Err.Text.find("vl4 - "), 0u) << "the overview, to standard error";
    const std::pair<std::vector<std::string>, std::string> wrong[] = {
        {{"frob"}, "vl4: frob: no such command; see vl4 --help\n"},
        {{"read"}, "vl4 read: expected PORT [--json | --csv]; see vl4 read --help\n"},
        {{"read", "COM5", "--bogus"}, "vl4 read: unknown option --bogus; see vl4 read --help\n"},
        {{"read", "COM5", "--json", "--csv"}, "vl4 read: --json and --csv exclude each other"},
        {{"log", "COM5", "--every"}, "vl4 log: --every needs SECONDS"},
        {{"log", "COM5", "--every", "0.05"}, "vl4 log: --every takes seconds from 0.1 to 86400"},
        {{"log", "COM5", "--count=0"}, "vl4 log: --count takes a number of samples from 1"},
        {{"log", "COM5", "--out", "a", "--out", "b"}, "vl4 log: --out given twice"},
        {{"set", "COM5", "damping"}, "vl4 set: expected NAME=VALUE, not damping"},
        {{"set", "COM5", "probe=pH"}, "vl4 set: no setting probe"},
        {{"set", "COM5", "damping=31"}, "vl4 set: damping must be a whole number 0 to 30"},
        {{"calibrate", "COM5"}, "vl4 calibrate: give one or two --standard values"},
        {{"calibrate", "COM5", "--standard", "nan"}, "vl4 calibrate: --standard takes a number"},
        {{"calibrate", "COM5", "--standard", "7", "--temperature", "120"},
         "vl4 calibrate: --temperature takes the solutions' temperature"},
        {{"calibrate", "COM5", "--standard", "7", "--standard", "4", "--keep-slope"},
         "vl4 calibrate: --keep-slope keeps the slope of a one-point calibration"},
        {{"calibrate", "COM5", "--standard", "7", "--buffers", "din"},
         "vl4 calibrate: --buffers knows nist, not din"},
        {{"calibrate", "COM5", "--standard", "7.1", "--buffers", "nist"},
         "vl4 calibrate: the standard 7.1 names no buffer of nist (within 0.02)"},
        {{"calibrate", "COM5", "--standard", "6.86", "--buffers", "nist", "--temperature", "60"},
         "vl4 calibrate: nist has no values at 60.0"},
        {{"calibrate", "COM5", "--standard", "7", "--no-settle", "--max-drift", "1"},
         "vl4 calibrate: --no-settle takes no --max-drift"},
        {{"calibrate", "COM5", "--undo"}, "vl4 calibrate: --undo needs the --record FILE"},
        {{"ports", "COM5"}, "vl4 ports: unexpected argument COM5"},
    };
    for (const auto& call : wrong) {
        EXPECT_EQ(vl4.Run(call.first), ExitUsage) << call.second;
        EXPECT_EQ(vl4.Err.Text.find(call.second), 0u) << vl4.Err.Text;
        EXPECT_EQ(vl4.Err.Text.find('\n'), vl4.Err.Text.size() - 1) << "one line: " << vl4.Err.Text;
    }
}

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The d attribute of the n-th curve.
std::string Curve(const std::string& svg, int n) {
    size_t at = 0;
    for (int i = 0; i <= n; ++i) at = svg.find("<path", at + 1);
    at = svg.find(" d=\"", at) + 4;
    return svg.substr(at, svg.find('"', at) - at);
}

TEST(TrendSvg, EachValueHasItsOwnAxisAndItsCurveBreaksWhereReadsFailed) {
    std::vector<TrendSample> samples;
    for (int i = 0; i < 40; ++i) {
        const bool failed = i >= 10 && i < 14; // four samples without any answer
        samples.push_back({i * 0.5,
                           {!failed, !failed && i != 30, false},
                           {static_cast<float>(100 + i), 7.0f, 0}});
    }
    const std::string svg = TrendSvg(samples, "VL4 on COM5 <test>", "2026-12-07T14:03:05.123");
    EXPECT_EQ(svg.find("<?xml"), 0u);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    EXPECT_NE(svg.find("VL4 on COM5 &lt;test&gt;"), std::string::npos) << "escaped";
    EXPECT_EQ(Count(Curve(svg, 0), "M"), 2) << "one gap in the voltage";
    EXPECT_EQ(Count(Curve(svg, 1), "M"), 3) << "and one more in the value";
    EXPECT_NE(svg.find(">no readings<"), std::string::npos) << "the ratio never came";
    // Voltage 100..139 mV: its own axis; the constant value gets one around 7.
    EXPECT_NE(svg.find(">140<"), std::string::npos);
    EXPECT_NE(svg.find(">7.0<"), std::string::npos);
    EXPECT_NE(svg.find("time since 2026-12-07T14:03:05.123 [s]"), std::string::npos);

    // A night at 0.1 s: a column of the picture holds many samples.
    std::vector<TrendSample> night;
    for (int i = 0; i < 288000; ++i)
        night.push_back(
            {i * 0.1, {i % 50000 > 100, true, true}, {static_cast<float>(i % 97), 1, 2}});
    const std::string big = TrendSvg(night, "night", "22:00");
    EXPECT_LT(big.size(), 200000u);
    EXPECT_GE(Count(Curve(big, 0), "M"), 6) << "a gap of ten seconds still shows";
    EXPECT_NE(big.find("time since 22:00 [h]"), std::string::npos);
}

TEST(VoltageSamples, MeanAsTheDialogTakesItAndTheSpread) {
    VoltageSamples samples;
    EXPECT_EQ(samples.Mean(), 0.0f);
    for (float v : {100.1f, 100.3f, 100.2f, 100.6f}) samples.Add(v);
    EXPECT_EQ(samples.Count(), 4);
    const double sum = double(100.1f) + double(100.3f) + double(100.2f) + double(100.6f);
    EXPECT_EQ(samples.Mean(), static_cast<float>(sum / 4));
    EXPECT_NEAR(samples.StandardDeviation(), 0.2160247, 1e-6);
    VoltageSamples still;
    for (int i = 0; i < 66; ++i) still.Add(1234.5f);
    EXPECT_EQ(still.StandardDeviation(), 0.0) << "no spread made up from rounding";
}

} // namespace
