// vl4's commands against the simulated transmitter over the cable, run in
// the test's process.
#include "cli/local_time.h"
#include "cli/transmitter_settings.h"
#include "core/calibration_math.h"
#include "core/number_text.h"
#include "line/vl4_on_cable.h"

#include <algorithm>
#include <cstdlib>

namespace {

using Frames = std::vector<std::string>;

// The frames that write a value (their length byte is not 00), up to their
// first data byte.
Frames Writes(const Frames& frames) {
    Frames writes;
    for (const std::string& frame : frames)
        if (frame.compare(6, 2, "00") != 0) writes.push_back(frame.substr(0, 11));
    return writes;
}

// The bits of the dump's "1.5 0x3FC00000".
std::string DumpBits(const std::string& value) {
    return value.substr(value.find(' ') + 1);
}

std::string Hex(uint32_t bits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(bits));
    return text;
}

std::string TextBits(const std::string& text) {
    float value = 0;
    EXPECT_TRUE(ParseNumber(text.c_str(), value)) << text;
    return Hex(BitsOfFloat(value));
}

// A member of a one-line JSON object, as its text: "-59.16", "null", "{...}".
std::string Member(const std::string& json, const std::string& name) {
    size_t at = json.find("\"" + name + "\": ");
    if (at == std::string::npos) return "missing";
    at += name.size() + 4;
    const size_t end = json[at] == '{' ? json.find('}', at) + 1 : json.find_first_of(",}", at);
    return json.substr(at, end - at);
}

std::vector<std::string> Fields(const std::string& line) {
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == ',')
            fields.emplace_back();
        else if (c != '\n')
            fields.back() += c;
    }
    return fields;
}

const char* const FloatKeys[] = {"depth", "lower", "upper", "offset", "sensitivity"};

TEST_F(Vl4OnCable, SaveThenLoadWritesBackBitIdenticalValuesAndOnlyWhatDiffers) {
    for (const char* setting : {"set probe 2", "set damping 9", "set depth 0x3DCCCCCD",
                                "set lower 0x80000000", "set upper 1e-7", "set offset 123.456",
                                "set sensitivity 0x3F800001", "set caldate 2025-06-30"})
        Steer(setting);
    const auto saved = Dump();
    const std::string path = FileNamed("settings.txt");
    ASSERT_EQ(Run({"save", "COM5", path}), ExitDone) << Err.Text;
    const std::string file = Contents(path);
    for (const char* line : {"[transmitter]\nidentification = VL4\nproduction_number = 2403117\n",
                             "probe = chlorine\n", "lower = -0\n", "upper = 1e-7\n",
                             "sensitivity = 1.0000001\n", "date = 2025-06-30\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line << " in\n" << file;
    for (const char* setting :
         {"set probe 0", "set damping 5", "set depth 1", "set lower 0", "set upper 14",
          "set offset 0", "set sensitivity -59.16", "set caldate 2024-03-15"})
        Steer(setting);
    Requests();

    EXPECT_EQ(Run({"load", "COM5", path, "--dry-run"}), ExitDone) << Err.Text;
    EXPECT_NE(Out.Text.find("probe: pH -> chlorine\n"), std::string::npos) << Out.Text;
    EXPECT_NE(Out.Text.find("lower: 0 -> -0\n"), std::string::npos) << Out.Text;
    EXPECT_EQ(Writes(Requests()), Frames{});

    EXPECT_EQ(Run({"load", "COM5", path, "--with-calibration"}), ExitDone) << Err.Text;
    const Frames writes = Writes(Requests());
    ASSERT_EQ(writes.size(), 8u);
    EXPECT_EQ(writes[0], "01 2B 01 02") << "the probe type first";
    const auto loaded = Dump();
    for (const char* key : FloatKeys)
        EXPECT_EQ(DumpBits(loaded.at(key)), DumpBits(saved.at(key))) << key;
    for (const char* key : {"probe", "damping", "caldate"})
        EXPECT_EQ(loaded.at(key), saved.at(key)) << key;

    // Calibration values stay where they are without --with-calibration.
    Steer("set offset 7");
    Steer("set damping 10");
    EXPECT_EQ(Run({"load", "COM5", path}), ExitDone) << Err.Text;
    EXPECT_NE(Out.Text.find("offset: 7 -> 123.456 (calibration"), std::string::npos) << Out.Text;
    EXPECT_EQ(Writes(Requests()), Frames{"01 2C 01 09"});
    EXPECT_EQ(Dump().at("offset"), "7 0x40E00000");
}

TEST_F(Vl4OnCable, AValueTheTransmitterHoldsDifferentlyIsReported) {
    // The transmitter stores a depth below 0 as 0.
    const std::string path = Written("limited.txt", "[settings]\ndepth = -1\nupper = 20\n");
    EXPECT_EQ(Run({"load", "COM5", path}), ExitFailed);
    EXPECT_NE(Err.Text.find("vl4: COM5: depth: wrote -1, transmitter holds 0\n"), std::string::npos)
        << Err.Text;
    EXPECT_EQ(Dump().at("upper"), "20 0x41A00000");
    EXPECT_EQ(Run({"set", "COM5", "depth=-2", "damping=3"}), ExitFailed);
    EXPECT_EQ(Out.Text, "depth: 0\ndamping: 3\n");
    EXPECT_NE(Err.Text.find("depth: wrote -2, transmitter holds 0"), std::string::npos) << Err.Text;
}

TEST_F(Vl4OnCable, ABadFileIsNamedWithItsLineAndNothingGoesOut) {
    const std::pair<std::string, std::string> files[] = {
        {"[settings]\ndamping = 31\n", ":2: damping must be a whole number 0 to 30"},
        {"[settings]\ndamping = 5\r\ndamping = 6\r\n",
         ":3: damping appears twice (first on line 2)"},
        {"[settings]\nupper = nan\n", ":2: upper must be a finite number"},
        {"[settings]\nupper = -1e39\n", ":2: upper must be a finite number"},
        {"[calibration]\ndate = 2023-02-29\n", ":2: date must be a date"},
        {"[settings]\nsensitivity = 1\n", ":2: unknown key sensitivity in [settings]"},
        {"damping = 5\n", ":1: damping is outside a section"},
        {"[setting]\n", ":1: unknown section [setting]"},
        {"[transmitter]\nidentification = VL4\n", ": holds no settings"},
        {"[settings]\ndamping = 5\n\x01\x02", ":3: not a text file (byte 0x01)"},
        {"[settings]\ndepth = 1\xFF\n", ":2: not UTF-8 text"},
        {std::string(65 * 1024, '#'), ": larger than 64 KiB"},
    };
    int i = 0;
    for (const auto& file : files) {
        const std::string path = Written("bad" + std::to_string(i++) + ".txt", file.first);
        EXPECT_EQ(Run({"load", "COM5", path}), ExitUsage) << file.first;
        EXPECT_NE(Err.Text.find(path + file.second), std::string::npos) << Err.Text;
    }
    EXPECT_EQ(Run({"load", "COM5", FileNamed("missing.txt")}), ExitUsage);
    EXPECT_NE(Err.Text.find("cannot read: no such file"), std::string::npos) << Err.Text;
    EXPECT_EQ(Requests(), Frames{}) << "not even the identification";
}

TEST_F(Vl4OnCable, ReadGivesTheTransmittersValuesBitForBit) {
    for (const char* setting :
         {"set probe 6", "set wiring 4", "set caldate 0", "set offset -0.0004",
          "set sensitivity 57.000004", "set depth 1.2345678", "set lower -1000", "set upper 0.125",
          "set voltage 4.005"})
        Steer(setting);
    const auto dump = Dump();
    ASSERT_EQ(Run({"read", "COM5", "--json"}), ExitDone) << Err.Text;
    const std::string& json = Out.Text;
    for (const char* key : FloatKeys)
        EXPECT_EQ(TextBits(Member(json, key)), DumpBits(dump.at(key))) << key;
    EXPECT_EQ(TextBits(Member(json, "voltage_mv")), DumpBits(dump.at("voltage")));
    EXPECT_EQ(TextBits(Member(json, "value")), DumpBits(dump.at("value")));
    EXPECT_EQ(Member(json, "probe"), "{\"code\": 6, \"name\": \"chlorine\"}");
    EXPECT_EQ(Member(json, "output"), "{\"code\": 4, \"name\": \"active 0-20 mA\"}");
    EXPECT_EQ(Member(json, "calibration_date"), "null") << "never calibrated";
    EXPECT_EQ(Member(json, "firmware"), "\"1.02\"");

    SwallowRepliesTo("01 30 00 CF"); // the offset
    EXPECT_EQ(Run({"read", "COM5", "--csv"}), ExitFailed);
    const std::string header = Out.Text.substr(0, Out.Text.find('\n') + 1);
    const std::vector<std::string> names = Fields(header),
                                   values = Fields(Out.Text.substr(header.size()));
    ASSERT_EQ(names.size(), values.size()) << Out.Text;
    const size_t offset = std::find(names.begin(), names.end(), "offset") - names.begin();
    ASSERT_LT(offset, values.size());
    EXPECT_EQ(values[offset], "") << "no stale or made-up value";
    EXPECT_EQ(Err.Text, "vl4: COM5: no answer reading offset\n");
    EXPECT_EQ(Run({"read", "COM5", "--json"}), ExitFailed);
    EXPECT_EQ(Member(Out.Text, "offset"), "null");
}

TEST_F(Vl4OnCable, TwoPointCalibrationWritesTheDialogsPairAndRecordsIt) {
    Steer("set probe-offset 12");
    Steer("set probe-sensitivity -57");
    // The transmitter falls silent at the first standard: the damping comes back.
    In.Answer = [this] {
        Steer("fault noreply 10");
        return InputEvent::Line;
    };
    EXPECT_EQ(Run({"calibrate", "COM5", "--standard", "7"}), ExitFailed);
    EXPECT_NE(Err.Text.find("stopped answering"), std::string::npos) << Err.Text;
    EXPECT_EQ(Writes(Requests()), (Frames{"01 2C 01 00", "01 2C 01 05"}));

    float voltages[2];
    const char* const solutions[] = {"set solution 7", "set solution 4"};
    int point = 0;
    In.Answer = [&] {
        Steer(solutions[point]);
        voltages[point++] =
            FloatWithBits(std::strtoul(DumpBits(Dump().at("voltage")).c_str(), nullptr, 16));
        return InputEvent::Line;
    };
    const std::string record = FileNamed("record.csv");
    std::remove(record.c_str());
    ASSERT_EQ(Run({"calibrate", "COM5", "--standard", "7", "--standard", "4", "--record", record}),
              ExitDone)
        << Err.Text;
    CalibrationResult expected;
    ASSERT_TRUE(
        ComputeCalibration({0, false, true, true, 7, 4, voltages[0], voltages[1]}, expected));
    const Frames frames = Requests();
    size_t readings = 0;
    for (const std::string& frame : frames) readings += frame == "01 24 00 DB";
    EXPECT_EQ(readings, 2u * SamplesPerPoint);
    char offset[16], sensitivity[16], date[16];
    std::snprintf(offset, sizeof offset, "01 30 04 %02X", BitsOfFloat(expected.Offset) & 0xFF);
    std::snprintf(sensitivity, sizeof sensitivity, "01 31 04 %02X",
                  BitsOfFloat(expected.Sensitivity) & 0xFF);
    std::snprintf(date, sizeof date, "01 2D 04 %02X", LocalTime::Now().BcdDay() & 0xFF);
    EXPECT_EQ(Writes(frames), (Frames{"01 2C 01 00", offset, sensitivity, date, "01 2C 01 05"}));
    const auto dump = Dump();
    EXPECT_EQ(DumpBits(dump.at("offset")), Hex(BitsOfFloat(expected.Offset)));
    EXPECT_EQ(DumpBits(dump.at("sensitivity")), Hex(BitsOfFloat(expected.Sensitivity)));

    const std::string text = Contents(record);
    const size_t lineStart = text.find('\n') + 1;
    EXPECT_EQ(text.substr(0, lineStart).find("time,port,identification,production_number,probe,"),
              0u);
    const std::vector<std::string> fields = Fields(text.substr(lineStart));
    ASSERT_EQ(fields.size(), 20u) << text;
    EXPECT_EQ(std::vector<std::string>(fields.begin() + 1, fields.begin() + 13),
              (std::vector<std::string>{"COM5", "VL4", "2403117", "pH", "7", "4", "12", "183",
                                        "0.000", "0.000", "66", "66"}));
    EXPECT_EQ(TextBits(fields[13]), TextBits(fields[15])) << "computed and returned offset";
    EXPECT_EQ(fields[18], fields[13]) << "the offset is the voltage at pH 7";
    EXPECT_EQ(fields[17], "96.3") << "-57 of -59.16 mV/pH";
    EXPECT_EQ(fields[19], "ok");
}

} // namespace
