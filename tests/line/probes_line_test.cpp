// vl4 calibrate and vl4 verify over the cable with the probes other than
// pH, as a technician notices them: an oxygen probe in air at a site's
// temperature, altitude and salinity; a chlorine grab sample whose reading
// is held while its value is typed; a Redox solution from its bottle's table;
// a verification that writes nothing.
#include "core/number_text.h"
#include "line/vl4_on_cable.h"

#include <windows.h>

namespace {

class Probes : public Vl4OnCable {
protected:
    // When a line that begins so is written, the bench does this.
    void OnLine(const std::string& begins, std::function<void()> act) {
        Moves.emplace_back(begins, act);
        Out.Seen = [this](const std::string& text) {
            for (const auto& move : Moves)
                if (text.compare(0, move.first.size(), move.first) == 0) move.second();
        };
    }
    float Held(const std::string& key) {
        return FloatWithBits(std::strtoul(DumpBits(Dump().at(key)).c_str(), nullptr, 16));
    }
    std::vector<std::pair<std::string, std::function<void()>>> Moves;
};

TEST_F(Probes, AnOxygenProbeInAirAtTheSitesConditionsGetsItsOwnSensitivity) {
    for (const char* setting :
         {"set probe 3", "set offset 0", "set sensitivity 9", "set probe-offset 0.3",
          "set probe-sensitivity 8.1", "set temperature 15", "set pressure 954.61",
          "set salinity 5", "set solution 0"})
        Steer(setting);
    OnLine("point 2:", [this] { Steer("set solution air"); });
    const std::string record = FileNamed("record.csv");
    ASSERT_EQ(Run({"calibrate", "COM5", "--zero", "--air", "--temperature", "15", "--altitude",
                   "500", "--salinity", "5", "--yes", "--record", record}),
              ExitDone)
        << Err.Text;
    EXPECT_NEAR(Held("sensitivity"), 8.1, 0.005);
    EXPECT_NEAR(Held("offset"), 0.3, 0.005);
    EXPECT_NE(Out.Text.find("point 1: zero solution\n"), std::string::npos) << Out.Text;
    EXPECT_NE(Out.Text.find("point 2: air at 15.0 \xC2\xB0"
                            "C, 954.6 hPa, salinity 5: 9."),
              std::string::npos)
        << Out.Text;
    EXPECT_NE(
        Out.Text.find("slope 90.0 % of the nominal slope (9 mV per mg/L), zero 0.037 mg/L: ok"),
        std::string::npos)
        << Out.Text;
    const std::vector<RecordRowText> rows = RecordRowsOf(Contents(record));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][RecStandardKind1] + " " + rows[0][RecStandardKind2], "zero air");
    EXPECT_EQ(rows[0][RecSalinity], "5");
}

// The chlorine in the stream rises while the sample is tested: the
// calibration keeps the reading the sample was taken at.
TEST_F(Probes, AChlorineGrabSampleKeepsTheReadingItWasTakenAt) {
    for (const char* setting :
         {"set probe 2", "set offset 0", "set sensitivity 200", "set probe-offset 0",
          "set probe-sensitivity 190", "set solution 0.8"})
        Steer(setting);
    OnLine("point 1: take the grab sample now", [this] {
        Steer("set solution 1.5");
        Sleep(1100); // the DPD test
    });
    In.Lines = {"", " 0,80 "};
    const std::string record = FileNamed("record.csv");
    ASSERT_EQ(Run({"calibrate", "COM5", "--grab", "--ph", "7.2", "--record", record}), ExitDone)
        << Err.Text;
    EXPECT_NEAR(Held("sensitivity"), 190.0, 0.2) << "the held reading, not the one after";
    EXPECT_NE(Err.Text.find("grab sample result in mg/L: "), std::string::npos) << Err.Text;
    EXPECT_NE(Out.Text.find("point 1: grab sample 0.8 mg/L, "), std::string::npos) << Out.Text;
    const std::vector<RecordRowText> rows = RecordRowsOf(Contents(record));
    ASSERT_EQ(rows.size(), 1u);
    float delay = 0;
    EXPECT_TRUE(ParseNumber(rows[0][RecGrabDelay].c_str(), delay));
    EXPECT_GE(delay, 1.0f);
    EXPECT_EQ(rows[0][RecHoclPercent].substr(0, 4), "68.4");
}

TEST_F(Probes, ARedoxSolutionIsTakenAtItsTablesValueForTheTemperature) {
    const std::string table = Written("zobell.csv", "temperature;228;475\r\n10;239;481\r\n"
                                                    "15;250,5;479\r\n25;228;475\r\n");
    for (const char* setting :
         {"set probe 1", "set offset 0", "set probe-offset 7", "set solution 250.5"})
        Steer(setting);
    ASSERT_EQ(Run({"calibrate", "COM5", "--standard", "228", "--buffer-table", table,
                   "--temperature", "15", "--yes"}),
              ExitDone)
        << Err.Text;
    EXPECT_NEAR(Held("offset"), 7.0, 0.005);
    EXPECT_NE(Out.Text.find("point 1: standard 228 at 15.0 \xC2\xB0"
                            "C: 250.5\n"),
              std::string::npos)
        << Out.Text;
    EXPECT_NE(Out.Text.find("offset 7.0 mV: ok"), std::string::npos) << Out.Text;
}

TEST_F(Probes, AVerificationWritesNothingAndFailsOutsideItsTolerance) {
    Steer("set solution 7");
    const std::string record = FileNamed("record.csv");
    Requests();
    EXPECT_EQ(Run({"verify", "COM5", "--standard", "7", "--yes", "--record", record}), ExitDone)
        << Err.Text;
    EXPECT_EQ(Writes(Requests()), (Frames{"01 2C 01 00", "01 2C 01 05"})) << "the damping only";
    Steer("set probe-offset 6");
    EXPECT_EQ(Run({"verify", "COM5", "--standard", "7", "--yes", "--record", record}), ExitFailed);
    EXPECT_NE(Err.Text.find("the verification failed; nothing was written"), std::string::npos)
        << Err.Text;
    const std::vector<RecordRowText> rows = RecordRowsOf(Contents(record));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][RecOutcome], "verified");
    EXPECT_EQ(rows[1][RecOutcome], "verify failed");
}

} // namespace
