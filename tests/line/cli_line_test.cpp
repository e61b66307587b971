// vl4's commands against the simulated transmitter over the cable, run in
// the test's process.
#include "cli/spreadsheet_dialect.h"
#include "core/calibration_math.h"
#include "core/local_time.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "core/transmitter_settings.h"
#include "line/vl4_on_cable.h"
#include "stress/cable_control.h"
#include "tool_driver.h"

#include <algorithm>
#include <cstdlib>
#include <thread>

namespace {

const char* const FloatKeys[] = {"depth", "lower", "upper", "offset", "sensitivity"};

TEST_F(Vl4OnCable, SaveThenLoadWritesBackBitIdenticalValuesAndChangesTheProbeAsTheWindowDoes) {
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
    const char* const phTransmitter[] = {"set probe 0",
                                         "set damping 5",
                                         "set depth 1",
                                         "set lower 0",
                                         "set upper 14",
                                         "set offset 0",
                                         "set sensitivity -59.16",
                                         "set caldate 2024-03-15"};
    for (const char* setting : phTransmitter) Steer(setting);
    Requests();

    // Another probe type comes with its own defaults and no calibration
    // date, as the window's probe dialog writes it; the file's settings follow.
    EXPECT_EQ(Run({"load", "COM5", path, "--dry-run"}), ExitDone) << Err.Text;
    EXPECT_NE(Out.Text.find("probe: pH -> chlorine (calibration reset to the chlorine defaults; "
                            "calibrate the probe)\n"),
              std::string::npos)
        << Out.Text;
    EXPECT_NE(Out.Text.find("lower: 0 -> -0\n"), std::string::npos) << Out.Text;
    EXPECT_NE(Out.Text.find("sensitivity: 200 -> 1.0000001 (calibration"), std::string::npos);
    EXPECT_EQ(Writes(Requests()), Frames{});
    EXPECT_EQ(Run({"load", "COM5", path}), ExitDone) << Err.Text;
    EXPECT_EQ(Writes(Requests()),
              (Frames{"01 2B 01 02", "01 30 04 00", "01 31 04 00", "01 2E 04 00", "01 2F 04 00",
                      "01 2D 04 00", "01 2C 01 09", "01 32 04 CD", "01 2E 04 00", "01 2F 04 95"}))
        << "type, offset 0, sensitivity 200, lower 0, upper 2, no date; then the file";
    auto loaded = Dump();
    EXPECT_EQ(loaded.at("sensitivity"), "200 0x43480000") << "no pH slope on a chlorine probe";
    EXPECT_EQ(loaded.at("caldate"), "0x00000000");

    for (const char* setting : phTransmitter) Steer(setting);
    Requests();
    EXPECT_EQ(Run({"load", "COM5", path, "--with-calibration"}), ExitDone) << Err.Text;
    const Frames writes = Writes(Requests());
    ASSERT_EQ(writes.size(), 13u) << "the probe change, then everything the file has";
    EXPECT_EQ(writes[0], "01 2B 01 02") << "the probe type first";
    loaded = Dump();
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
    EXPECT_EQ(Member(json, "calibration_date_raw"), "missing");
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
    Steer("set caldate 0x20241399"); // no day of the calendar
    EXPECT_EQ(Run({"read", "COM5", "--json"}), ExitFailed);
    EXPECT_EQ(Member(Out.Text, "offset"), "null");
    EXPECT_EQ(Member(Out.Text, "calibration_date"), "null");
    EXPECT_EQ(Member(Out.Text, "calibration_date_raw"), "\"0x20241399\"");
}

// The measured value's reply comes 250 ms late, after its time-out: no value
// may land in another's place, in JSON or in a log, and a log with a read
// that failed is no complete log.
TEST_F(Vl4OnCable, ALateReplyIsNeverTakenForAnotherValue) {
    Steer("set voltage 12.5");
    const auto dump = Dump();
    const float ratio =
        FloatWithBits(std::strtoul(DumpBits(dump.at("ratio")).c_str(), nullptr, 16));
    const std::string percent = Hex(BitsOfFloat(ratio * 100.0f));
    WhenRequested("01 25 00 DA", "fault late 250 unique");
    EXPECT_EQ(Run({"read", "COM5", "--json"}), ExitFailed);
    EXPECT_EQ(Member(Out.Text, "value"), "null");
    EXPECT_EQ(TextBits(Member(Out.Text, "ratio_percent")), percent) << Out.Text;
    EXPECT_EQ(TextBits(Member(Out.Text, "voltage_mv")), DumpBits(dump.at("voltage")));

    EXPECT_EQ(Run({"log", "COM5", "--every", "0.5", "--count", "3"}), ExitFailed);
    const std::vector<std::string> lines = [&] {
        std::vector<std::string> all;
        for (size_t at = 0, end; (end = Out.Text.find('\n', at)) != std::string::npos; at = end + 1)
            all.push_back(Out.Text.substr(at, end - at));
        return all;
    }();
    ASSERT_EQ(lines.size(), 4u) << Out.Text;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> cells = Fields(lines[i]);
        ASSERT_EQ(cells.size(), 4u) << lines[i];
        EXPECT_EQ(cells[0].size(), 29u) << "with its UTC offset: " << cells[0];
        EXPECT_EQ(TextBits(cells[1]), DumpBits(dump.at("voltage"))) << lines[i];
        EXPECT_EQ(cells[2], "") << lines[i];
        EXPECT_EQ(TextBits(cells[3]), percent) << lines[i];
    }
    EXPECT_NE(Err.Text.find("vl4: COM5: 3 of 9 reads failed; their cells are empty"),
              std::string::npos)
        << Err.Text;
}

// A trace of a read holds every frame the transmitter received and sent, in
// their order, and says what became of each reply: the offset's never came,
// the measured value's came after its time-out and was dropped before the
// next request.
TEST_F(Vl4OnCable, ATraceHoldsEveryFrameOfACommandAndWhatBecameOfEachReply) {
    const std::string path = FileNamed("read.trace");
    SwallowRepliesTo("01 30 00 CF");
    WhenRequested("01 25 00 DA", "fault late 250 unique");
    EXPECT_EQ(Run({"read", "COM5", "--trace", path}), ExitFailed);
    std::vector<std::string> expected, late;
    Sim.Server.WithModel([&](TransmitterModel&) {
        for (const std::string& line : Log) {
            const std::string bytes = line.substr(3, line.find("  [") - 3);
            if (line.compare(0, 3, "RX ") == 0) {
                expected.insert(expected.end(), late.begin(), late.end());
                late.clear();
                expected.push_back(">  " + bytes);
            } else if (line.compare(0, 4, "TX -") == 0 || line.find("[late") != std::string::npos) {
                expected.push_back("<  time-out");
                if (bytes != "-") late.push_back("<  " + bytes + "  late: discarded");
            } else if (line.compare(0, 3, "TX ") == 0) {
                expected.push_back("<  " + bytes + "  ok");
            }
        }
    });
    const std::vector<std::string> lines = Lines(Contents(path));
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].find("# vl4 "), 0u) << lines[0];
    EXPECT_NE(lines[0].find(", port COM5: vl4 read COM5 --trace " + path), std::string::npos)
        << lines[0];
    std::vector<std::string> frames;
    double before = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        float ms = -1;
        EXPECT_TRUE(ParseNumber(line.substr(0, 9).c_str(), ms) && ms >= before) << line;
        before = ms;
        EXPECT_EQ(line.substr(9, 8), "  COM5  ") << line;
        frames.push_back(line.substr(17));
    }
    EXPECT_EQ(frames, expected);
    EXPECT_EQ(std::count(frames.begin(), frames.end(), "<  time-out"), 2);
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(),
                            [](const std::string& frame) {
                                return frame.find("  late: discarded") != std::string::npos;
                            }),
              1);
}

// A log goes on in a file it wrote before, in the same dialect, under its
// one header, and starts an empty file with one; a trace goes on in a trace,
// each command with a header line of its own.
TEST_F(Vl4OnCable, ALogAndATraceGoOnInFilesOfTheirOwnKind) {
    const std::string csv = FileNamed("log.csv"), sheet = FileNamed("sheet.csv"),
                      trace = FileNamed("log.trace"), empty = Written("empty.csv", "");
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(
            Run({"log", "COM5", "--every", "0.1", "--count", "2", "--out", csv, "--trace", trace}),
            ExitDone)
            << Err.Text;
        EXPECT_EQ(Run({"log", "COM5", "--every", "0.1", "--count", "2", "--out", sheet, "--excel"}),
                  ExitDone)
            << Err.Text;
    }
    EXPECT_EQ(Run({"log", "COM5", "--every", "0.1", "--count", "1", "--out", empty}), ExitDone);
    const CsvDialect dialect = SpreadsheetDialect();
    const std::string header = "time,voltage_mv,value,ratio_percent";
    const std::string sheetHeader = "\xEF\xBB\xBFtime" + dialect.Separator + "voltage_mv" +
                                    dialect.Separator + "value" + dialect.Separator +
                                    "ratio_percent";
    for (const auto& file : {std::make_pair(csv, header), std::make_pair(sheet, sheetHeader)}) {
        const std::vector<std::string> rows = Lines(Contents(file.first));
        ASSERT_EQ(rows.size(), 5u) << Contents(file.first);
        EXPECT_EQ(rows[0], file.second);
        for (size_t i = 1; i < rows.size(); ++i)
            EXPECT_EQ(rows[i].compare(0, 2, "20"), 0) << "a sample: " << rows[i];
    }
    EXPECT_EQ(Lines(Contents(empty)).size(), 2u);
    EXPECT_EQ(Lines(Contents(empty))[0], header);
    int headers = 0;
    for (const std::string& line : Lines(Contents(trace)))
        headers += line.compare(0, 6, "# vl4 ") == 0;
    EXPECT_EQ(headers, 2);
}

// The cable pulled during a log at 0.1 s and put back, the simulator serving
// the new cable as the unit that comes back (or as another): the same unit's
// log goes on, its rows in the gap with empty cells at their times, and ends
// with exit 1 for them; another unit ends the log.
TEST_F(Vl4OnCable, ALogGoesOnWhenItsUnitComesBackAfterAPulledCableAndEndsAtAnother) {
    CableControl cable;
    const auto pulledDuring = [&](const std::vector<std::string>& words, const char* change) {
        int status = -1;
        std::thread log([&] { status = Run(words); });
        int samples = 0; // the ratio is the last read of a sample
        EXPECT_TRUE(cable.Arm());
        EXPECT_TRUE(Eventually(
            [&] {
                for (const std::string& frame : Requests())
                    samples += frame.compare(0, 8, "01 26 00") == 0;
                return samples >= 5;
            },
            60000, 5));
        EXPECT_TRUE(cable.Fire() && cable.Finish() && cable.Plug());
        Sim.Server.Stop();
        if (change) Steer(change);
        EXPECT_TRUE(Sim.Server.Start(SimOnCable::Port));
        log.join();
        return status;
    };

    const std::string csv = FileNamed("log.csv"), svg = FileNamed("trend.svg");
    EXPECT_EQ(pulledDuring(
                  {"log", "COM5", "--every", "0.1", "--count", "100", "--out", csv, "--svg", svg},
                  nullptr),
              ExitFailed);
    EXPECT_NE(Err.Text.find("; reconnecting every 2 s\nnote: reconnected to COM5 after "),
              std::string::npos)
        << Err.Text;
    EXPECT_NE(Err.Text.find(" discarded, 1 reconnect; reply time median "), std::string::npos)
        << Err.Text;
    EXPECT_NE(Err.Text.find(" reads failed; their cells are empty"), std::string::npos);
    const std::vector<std::string> rows = Lines(Contents(csv));
    ASSERT_EQ(rows.size(), 101u);
    EXPECT_EQ(rows[0], "time,voltage_mv,value,ratio_percent");
    // Before the gap every value, then only empty rows, then every value again.
    int part = 0, gap = 0;
    for (size_t i = 1; i < rows.size(); ++i) {
        const std::vector<std::string> cells = Fields(rows[i]);
        ASSERT_EQ(cells.size(), 4u) << rows[i];
        if (i > 1) {
            EXPECT_LT(rows[i - 1].substr(0, 23), cells[0].substr(0, 23)) << "in time order";
        }
        const int empty = (cells[1] == "") + (cells[2] == "") + (cells[3] == "");
        if (part == 0 && empty > 0) part = 1;
        if (part == 1 && empty == 0) part = 2;
        EXPECT_EQ(empty, part == 1 ? 3 : 0) << i << ": " << rows[i];
        gap += part == 1;
    }
    EXPECT_EQ(part, 2) << "the log went on after the gap";
    EXPECT_GE(gap, 10) << "a row every 0.1 s while the port was away";
    // The picture breaks each curve there: one start before the gap, one after.
    const std::string picture = Contents(svg);
    size_t curve = 0;
    for (int i = 0; i < 3; ++i) {
        curve = picture.find(" d=\"", curve + 1);
        ASSERT_NE(curve, std::string::npos) << i;
        const std::string d = picture.substr(curve, picture.find('"', curve + 4) - curve);
        EXPECT_EQ(std::count(d.begin(), d.end(), 'M'), 2) << i << ": " << d;
    }

    // Another unit at the other end: the log ends. It writes for a
    // spreadsheet: the locale's separator and decimal symbol, the numbers as
    // the console shows them.
    const CsvDialect dialect = SpreadsheetDialect();
    const auto dump = Dump();
    const std::string sheet = FileNamed("sheet.csv");
    EXPECT_EQ(pulledDuring({"log", "COM5", "--every", "0.1", "--out", sheet, "--excel"},
                           "set production 999"),
              ExitFailed);
    EXPECT_NE(Err.Text.find("vl4: log: another transmitter on COM5 (production number 999, "
                            "was 2403117); log ended\n"),
              std::string::npos)
        << Err.Text;
    const std::string text = Contents(sheet);
    EXPECT_EQ(text.find("\xEF\xBB\xBFtime" + dialect.Separator + "voltage_mv" + dialect.Separator +
                        "value" + dialect.Separator + "ratio_percent\r\n"),
              0u)
        << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
              std::count(text.begin(), text.end(), '\r'));
    float voltage, value;
    ASSERT_TRUE(
        ParseNumber(dump.at("voltage").substr(0, dump.at("voltage").find(' ')).c_str(), voltage) &&
        ParseNumber(dump.at("value").substr(0, dump.at("value").find(' ')).c_str(), value));
    const std::vector<std::string> first = Fields(Lines(text)[1]);
    ASSERT_EQ(first.size(), 4u) << Lines(text)[1];
    EXPECT_EQ(first[1], FixedText(voltage, 3, dialect.DecimalSymbol));
    EXPECT_EQ(first[2], FixedText(value, 2, dialect.DecimalSymbol));
}

} // namespace
