// vl4 calibrate against the simulated electrode over the cable, as a
// technician or a bench script runs it: what is written, what is refused or
// asked, when a point is taken, and what the record proves.
#include "core/calibration_math.h"
#include "core/local_time.h"
#include "core/machine_text.h"
#include "line/vl4_on_cable.h"

#include <windows.h>

#include <cmath>
#include <cstdlib>

namespace {

const char Degrees[] = "\xC2\xB0"
                       "C";

class Calibrate : public Vl4OnCable {
protected:
    // The record's lines; the test fails when it is no record.
    std::vector<RecordRowText> Rows(const std::string& path) {
        return RecordRowsOf(Contents(path));
    }
    // When a line that begins so is written, the simulator does the command:
    // the bench moves the probe when the point begins.
    void OnLine(const std::string& begins, const std::string& command) {
        Moves.emplace_back(begins, command);
        Out.Seen = [this](const std::string& text) {
            for (const auto& move : Moves)
                if (text.compare(0, move.first.size(), move.first) == 0) Steer(move.second);
        };
    }
    static float Float(const std::string& text) {
        float value = 0;
        EXPECT_TRUE(ParseNumber(text.c_str(), value)) << text;
        return value;
    }
    float DumpFloat(const std::string& key) {
        return FloatWithBits(std::strtoul(DumpBits(Dump().at(key)).c_str(), nullptr, 16));
    }
    std::vector<std::pair<std::string, std::string>> Moves;
};

const Frames DampingOnly = {"01 2C 01 00", "01 2C 01 05"};

// The probe left in the first buffer, and an offset beyond what an electrode
// gives: written only when someone says so; a one-point pair claims no slope.
TEST_F(Calibrate, AnUnusualPairIsWrittenOnlyWhenSomeoneSaysSo) {
    const std::string record = FileNamed("record.csv");
    Steer("set voltage 20");
    OnLine("point 2:", "set voltage 20.3"); // hardly moved: -0.1 mV/pH
    EXPECT_EQ(Run({"calibrate", "COM5", "--standard", "7", "--standard", "4.01", "--yes",
                   "--record", record}),
              ExitFailed);
    EXPECT_NE(Err.Text.find("vl4: COM5: unusual calibration"), std::string::npos) << Err.Text;
    EXPECT_NE(Err.Text.find("nothing written (--accept-unusual writes it)"), std::string::npos);
    EXPECT_NE(Out.Text.find("slope 0.2 % of an ideal electrode"), std::string::npos) << Out.Text;
    EXPECT_EQ(Writes(Requests()), DampingOnly);
    Moves.clear();
    Out.Seen = nullptr;

    // One point in pH 7 at 80 mV: the offset is beyond 60 mV. The person
    // answers the point's Enter and then the question.
    Steer("set probe-offset 80");
    Steer("set solution 7");
    for (const char* answer : {"n", "  Yes "}) {
        In.Lines = {"", answer};
        In.Discards = 0;
        const int status = Run({"calibrate", "COM5", "--standard", "7", "--record", record});
        EXPECT_EQ(In.Discards, 2) << "typed-ahead keys answer neither the point nor the question";
        EXPECT_NE(Err.Text.find("write anyway? [y/N] "), std::string::npos)
            << "asked where the person sees it: " << Err.Text;
        EXPECT_EQ(Out.Text.find('%'), std::string::npos) << "no slope claimed:\n" << Out.Text;
        EXPECT_NE(Out.Text.find("(assumed: one point measures no slope)"), std::string::npos);
        if (answer[0] == 'n') {
            EXPECT_EQ(status, ExitFailed);
            EXPECT_NE(Err.Text.find("vl4: COM5: not written"), std::string::npos) << Err.Text;
            EXPECT_EQ(Writes(Requests()), DampingOnly);
        } else {
            EXPECT_EQ(status, ExitDone) << Err.Text;
            EXPECT_EQ(Writes(Requests()).size(), 5u) << "offset, sensitivity and date written";
        }
    }
    Steer("set offset 0");
    EXPECT_EQ(Run({"calibrate", "COM5", "--standard", "7", "--yes", "--accept-unusual", "--record",
                   record}),
              ExitDone)
        << Err.Text;
    EXPECT_EQ(DumpBits(Dump().at("offset")), Hex(BitsOfFloat(80.0f)));

    const std::vector<RecordRowText> rows = Rows(record);
    ASSERT_EQ(rows.size(), 4u);
    const char* const outcomes[] = {"declined", "declined", "written", "written"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(rows[i][RecOutcome], outcomes[i]) << i;
    EXPECT_NEAR(Float(rows[0][RecSlopePercent]), 0.3 / 2.99 / 59.1577 * 100, 0.0001);
    EXPECT_EQ(rows[3][RecSlopePercent], "") << "a one-point slope is not measured";
    EXPECT_EQ(rows[3][RecHealth], "check probe (offset only; slope assumed)");
    EXPECT_EQ(rows[3][RecLeftOffset], "80");

    // A record that cannot be written, or is of another layout: nothing goes out.
    Requests();
    EXPECT_EQ(Run({"calibrate", "COM5", "--standard", "7", "--yes", "--record",
                   "no such folder/record.csv"}),
              ExitUsage);
    EXPECT_NE(Err.Text.find("cannot write the record: no such folder"), std::string::npos)
        << Err.Text;
    const std::string old = Written("old.csv", "time,port,identification,production_number,probe,"
                                               "standard_1\n2026-01-05T10:00:00,COM5,VL4\n");
    EXPECT_EQ(Run({"calibrate", "COM5", "--standard", "7", "--yes", "--record", old}), ExitUsage);
    EXPECT_NE(Err.Text.find(old + ":1: not a calibration record (another header)"),
              std::string::npos)
        << Err.Text;
    EXPECT_EQ(Requests(), Frames{}) << "not even the identification";
}

// An electrode still settling after the move (10 mV + 30 mV e^(-t/2 s)): the
// point is taken once the last 66 readings are stable, not before and not a
// whole window later; one that never settles, or a transmitter that stops
// answering, writes nothing and gets its damping back.
TEST_F(Calibrate, APointIsTakenWhenTheProbeHasSettled) {
    const std::string record = FileNamed("record.csv");
    for (const char* setting : {"set probe-offset 10", "set settle-mv 30", "set settle-tau 2",
                                "set noise 0.05", "set seed 3", "set solution 7"})
        Steer(setting);
    ASSERT_EQ(Run({"calibrate", "COM5", "--standard", "7", "--yes", "--record", record}), ExitDone)
        << Err.Text;
    std::vector<RecordRowText> rows = Rows(record);
    ASSERT_EQ(rows.size(), 1u);
    const RecordRowText& row = rows[0];
    const float settle = Float(row[RecSettle1]), voltage = Float(row[RecVoltage1]);
    // 66 readings alone take 19.5 s; the drift falls below 0.6 mV a minute
    // about 24 s after the move.
    EXPECT_GT(settle, 22.0f) << "taken while the probe was still settling";
    EXPECT_LT(settle, 32.0f) << "waited more than the window needs";
    EXPECT_NEAR(voltage, 10.0f, 0.05f) << "the mean of a settled window";
    EXPECT_LE(std::fabs(Float(row[RecDrift1])), 0.6f);
    EXPECT_LE(Float(row[RecSpread1]), 0.5f);
    EXPECT_GT(std::atoi(row[RecReadings1].c_str()), 66);
    EXPECT_NE(Out.Text.find("point 1: stable after"), std::string::npos) << Out.Text;
    Requests();

    Steer("set drift 3"); // 3 mV a minute, for ever
    EXPECT_EQ(Run({"calibrate", "COM5", "--standard", "7", "--yes", "--settle-timeout", "20",
                   "--record", record}),
              ExitFailed);
    EXPECT_NE(Err.Text.find("vl4: COM5: point 1 did not settle within 20 s: drift 3.0 mV/min, "
                            "spread 0."),
              std::string::npos)
        << Err.Text;
    EXPECT_EQ(Writes(Requests()), DampingOnly);
    EXPECT_EQ(Rows(record).size(), 1u) << "no result, no line";

    // The transmitter falls silent at the first standard.
    In.Answer = [this] {
        Steer("fault noreply 10");
        return InputEvent::Line;
    };
    EXPECT_EQ(Run({"calibrate", "COM5", "--standard", "7"}), ExitFailed);
    EXPECT_NE(Err.Text.find("stopped answering while point 1 was sampled"), std::string::npos)
        << Err.Text;
    EXPECT_EQ(Writes(Requests()), DampingOnly);
}

// Buffers at 15 degrees: the values used are the table's there, the slope
// found is the electrode's, the check in a third buffer passes, and the
// record keeps what the transmitter held before and holds after.
TEST_F(Calibrate, NistBuffersAtTheirTemperatureGiveTheElectrodesSlopeAndACheckProvesIt) {
    const std::string record = FileNamed("record.csv");
    for (const char* setting : {"set temperature 15", "set probe-offset 5", "set solution 6.9"})
        Steer(setting);
    OnLine("point 2:", "set solution 3.998");
    OnLine("check:", "set solution 9.276");
    const std::string technician = "Jan Nov\xC3\xA1k, \"senior\"";
    ASSERT_EQ(Run({"calibrate",    "COM5",       "--standard",
                   "6.86",         "--standard", "4.01",
                   "--buffers",    "nist",       "--temperature",
                   "15",           "--check",    "9.18",
                   "--yes",        "--record",   record,
                   "--technician", technician,   "--tag",
                   "K1",           "--due-days", "365"}),
              ExitDone)
        << Err.Text;
    EXPECT_NE(Out.Text.find(std::string("point 1: standard 6.86 at 15.0 ") + Degrees + ": 6.900"),
              std::string::npos)
        << Out.Text;
    EXPECT_NE(Out.Text.find("): pass\n"), std::string::npos) << Out.Text;
    EXPECT_EQ(Err.Text, "") << "the temperature was given";

    const std::vector<RecordRowText> rows = Rows(record);
    ASSERT_EQ(rows.size(), 1u);
    const RecordRowText& r = rows[0];
    EXPECT_EQ(r[RecTechnician], technician) << "quoted and read back";
    EXPECT_EQ(r[RecStandardUsed1], "6.9");
    EXPECT_EQ(r[RecStandardUsed2], "3.998");
    EXPECT_EQ(r[RecTemperature], "15");
    // The electrode's slope at 15 degrees is its 25 degree slope scaled by
    // the absolute temperature: 100 % of the ideal one there.
    EXPECT_NEAR(Float(r[RecComputedSensitivity]), -59.16 * 288.15 / 298.15, 0.01);
    EXPECT_NEAR(Float(r[RecSlopePercent]), 100.0, 0.05);
    EXPECT_NEAR(Float(r[RecOffsetPh7]), 5.0, 0.01);
    // The dialog's arithmetic on the recorded means, bit for bit.
    CalibrationResult expected;
    ASSERT_TRUE(ComputeCalibration(
        {0, false, true, true, 6.9f, 3.998f, Float(r[RecVoltage1]), Float(r[RecVoltage2])},
        expected));
    EXPECT_EQ(r[RecComputedOffset], ExactText(expected.Offset));
    EXPECT_EQ(r[RecComputedSensitivity], ExactText(expected.Sensitivity));
    // As found: what the simulator held before; as left: what it holds now.
    EXPECT_EQ(r[RecFoundOffset], "0");
    EXPECT_EQ(r[RecFoundSensitivity], "-59.16");
    EXPECT_EQ(r[RecFoundDate], "2024-03-15");
    // In pH 6.9 at 15 degrees the old calibration read 6.82.
    EXPECT_NEAR(Float(r[RecFoundValue1]), 7.0 + (5.0 + 0.1 * 57.1756) / -59.16, 0.002);
    EXPECT_EQ(r[RecLeftOffset], ExactText(DumpFloat("offset")));
    EXPECT_EQ(r[RecLeftSensitivity], ExactText(DumpFloat("sensitivity")));
    EXPECT_EQ(r[RecLeftDate], LocalTime::Now().IsoDate());
    EXPECT_EQ(r[RecCheckStandardUsed], "9.276");
    EXPECT_NEAR(Float(r[RecCheckValue]), 9.276, 0.002);
    EXPECT_EQ(r[RecCheckResult], "pass");
    EXPECT_EQ(r[RecHealth], "ok");
    EXPECT_EQ(r[RecOutcome], "written");
    EXPECT_EQ(r[RecDueDate], LocalTime::Now().DaysLater(365).IsoDate());
}

// A one-point standardisation that keeps the transmitter's slope, proven
// wrong by the check (the electrode's slope has fallen); then undone bit for
// bit, but only while the transmitter holds what the calibration left.
TEST_F(Calibrate, AKeptSlopeAFailedCheckAndItsUndo) {
    const std::string record = FileNamed("record.csv");
    for (const char* setting :
         {"set sensitivity -57.3", "set offset 1.25", "set caldate 2026-06-01",
          "set probe-sensitivity -50", "set probe-offset 3", "set solution 7"})
        Steer(setting);
    const auto before = Dump();
    OnLine("check:", "set solution 4.01");
    EXPECT_EQ(Run({"calibrate", "COM5", "--standard", "7", "--keep-slope", "--check", "4.01",
                   "--yes", "--record", record}),
              ExitFailed);
    EXPECT_NE(Err.Text.find("the check failed; the calibration stays written"), std::string::npos)
        << Err.Text;
    const Frames writes = Writes(Requests());
    ASSERT_EQ(writes.size(), 4u) << "the offset and the date, not the sensitivity";
    EXPECT_EQ(writes[1].substr(0, 5), "01 30");
    EXPECT_EQ(writes[2].substr(0, 5), "01 2D");
    EXPECT_EQ(Dump().at("sensitivity"), before.at("sensitivity"));
    EXPECT_EQ(Dump().at("offset"), "3 0x40400000");
    std::vector<RecordRowText> rows = Rows(record);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][RecOutcome], "failed");
    EXPECT_EQ(rows[0][RecCheckResult], "fail");
    EXPECT_EQ(rows[0][RecLeftSensitivity], "-57.3");
    EXPECT_NEAR(Float(rows[0][RecCheckValue]), 7.0 + (152.5 - 3.0) / -57.3, 0.002);
    EXPECT_EQ(rows[0][RecSlopePercent], "") << "kept: not measured here";
    EXPECT_EQ(rows[0][RecSlopeSource], "kept");

    // Someone changed the offset since: the undo would overwrite it.
    Steer("set offset 1");
    EXPECT_EQ(Run({"calibrate", "COM5", "--undo", "--record", record, "--yes"}), ExitFailed);
    EXPECT_NE(Err.Text.find("no longer holds what the calibration of " + rows[0][RecTime] +
                            " left: offset 1 (the calibration left 3)"),
              std::string::npos)
        << Err.Text;
    EXPECT_EQ(Writes(Requests()), Frames{});

    Steer("set offset 3");
    ASSERT_EQ(Run({"calibrate", "COM5", "--undo", "--record", record, "--yes"}), ExitDone)
        << Err.Text;
    const auto after = Dump();
    for (const char* key : {"offset", "sensitivity", "caldate"})
        EXPECT_EQ(after.at(key), before.at(key)) << key << " bit for bit";
    rows = Rows(record);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][RecOutcome], "undo");
    EXPECT_EQ(rows[1][RecLeftOffset], "1.25");
    EXPECT_EQ(rows[1][RecFoundOffset], "3");
    EXPECT_EQ(Run({"calibrate", "COM5", "--undo", "--record", record, "--yes"}), ExitFailed);
    EXPECT_NE(Err.Text.find("was undone on " + rows[1][RecTime]), std::string::npos) << Err.Text;
}

// The certificate of a calibration at 15 degrees with a check: the facts the
// console and the record gave, every outside text as typed, nothing fetched
// (the browser test prints this very file: tests/browser/certificate_prints,
// and makes it again in Czech from the record left beside it);
// NOT CALIBRATED across a declined one; a place it cannot be written is
// refused before the first frame, and a certificate lost at the end makes a
// written calibration's status 1.
TEST_F(Calibrate, ACertificateSaysWhatTheCalibrationFoundAndDid) {
    EXPECT_EQ(Run({"calibrate", "COM5", "--standard", "7", "--yes", "--certificate",
                   "no such folder/certificate.html"}),
              ExitUsage);
    EXPECT_NE(Err.Text.find("vl4: no such folder/certificate.html: cannot write the "
                            "certificate: no such folder"),
              std::string::npos)
        << Err.Text;
    EXPECT_EQ(Requests(), Frames{});
    ASSERT_EQ(Run({"--version"}), ExitDone);
    const std::string version = Out.Text.substr(0, Out.Text.size() - 1);

    const std::string record = "certificate.csv", certificate = "certificate.html";
    std::remove(certificate.c_str());
    std::remove(record.c_str());
    for (const char* setting : {"set temperature 15", "set probe-offset 5", "set settle-tau 2",
                                "set noise 0.05", "set seed 7", "set solution 6.9"})
        Steer(setting);
    OnLine("point 2:", "set solution 3.998");
    OnLine("check:", "set solution 9.276");
    const std::string technician = "<b>Dvo\xC5\x99\xC3\xA1k</b> & \"Syn\"";
    ASSERT_EQ(Run({"calibrate", "COM5",          "--standard", "6.86",          "--standard",
                   "4.01",      "--buffers",     "nist",       "--temperature", "15",
                   "--check",   "9.18",          "--yes",      "--technician",  technician,
                   "--tag",     "Tank 3, inlet", "--due-days", "365",           "--record",
                   record,      "--certificate", certificate}),
              ExitDone)
        << Err.Text;
    EXPECT_NE(Out.Text.find("certificate in certificate.html\n"), std::string::npos) << Out.Text;
    const std::string html = Contents(certificate);
    for (const char* fetching : {"<script", "src=", "href=", "url(", "@import"})
        EXPECT_EQ(html.find(fetching), std::string::npos) << fetching;
    EXPECT_EQ(html.find(technician), std::string::npos);
    EXPECT_NE(html.find("&lt;b&gt;Dvo\xC5\x99\xC3\xA1k&lt;/b&gt; &amp; &quot;Syn&quot;"),
              std::string::npos);
    const std::vector<RecordRowText> rows = Rows(record);
    ASSERT_EQ(rows.size(), 1u);
    const RecordRowText& r = rows[0];
    const std::string time = r[RecTime];
    const auto cell = [](const std::string& text) { return "<td>" + text + "</td>"; };
    const auto number = [](const std::string& text) {
        return "<td class=\"number\">" + text + "</td>";
    };
    std::vector<std::string> facts = {
        version, cell("VL4"), cell("2403117"), cell("1.02"), cell("COM5"), cell("Tank 3, inlet"),
        cell(time.substr(0, 10) + " " + time.substr(11, 8) + " (UTC" + time.substr(23) + ")"),
        cell("pH"), cell(std::string("15.0 ") + Degrees + " (given)"),
        // As found and as left, side by side.
        number(r[RecFoundOffset]) + number(r[RecComputedOffset]) + number(r[RecLeftOffset]),
        number(r[RecFoundSensitivity]) + number(r[RecComputedSensitivity]) +
            number(r[RecLeftSensitivity]),
        number(r[RecFoundDate]) + number("-") + number(r[RecLeftDate]),
        FixedText(Float(r[RecSlopePercent]), 1) + " % of the ideal electrode (" +
            FixedText(IdealPhSlopeAt(15), 2) + " mV/pH at 15.0 " + Degrees + ")",
        cell(FixedText(Float(r[RecOffsetPh7]), 1) + " mV"), "Verdict: ok",
        "<td>" + FixedText(Float(r[RecCheckValue]), 3) + " (error ", cell("PASS"),
        cell(r[RecDueDate]),
        // A stability picture per point and the check.
        "point 1: voltage [mV]", "point 2: voltage [mV]", "check: voltage [mV]"};
    // Each point's row as the console reported it.
    for (RecordColumn first : {RecStandard1, RecStandard2, RecCheckStandard}) {
        const bool check = first == RecCheckStandard;
        const auto field = [&](int offset) { return Float(r[RecordColumn(first + offset)]); };
        facts.push_back(
            number(FixedText(field(1), 3)) +
            (check ? ""
                   : number(FixedText(field(2), 3)) + number(FixedText(field(3), 3)) +
                         number(FixedText(field(4), 2)) + number(r[RecordColumn(first + 5)]) +
                         number(FixedText(field(6), 1)) + number(FixedText(field(7), 3))));
    }
    for (const std::string& fact : facts) EXPECT_NE(html.find(fact), std::string::npos) << fact;
    EXPECT_EQ(html.find("NOT CALIBRATED"), std::string::npos);

    // One point 80 mV off, unattended: declined, and the certificate says so.
    Moves.clear();
    Out.Seen = nullptr;
    const std::string declined = FileNamed("declined.html");
    for (const char* setting : {"set settle-tau 0", "set probe-offset 80", "set solution 7"})
        Steer(setting);
    EXPECT_EQ(Run({"calibrate", "COM5", "--standard", "7", "--yes", "--certificate", declined}),
              ExitFailed);
    const std::string page = Contents(declined);
    EXPECT_NE(page.find("<div class=\"banner\"><strong>NOT CALIBRATED</strong>declined"),
              std::string::npos)
        << page;
    EXPECT_NE(page.find("assumed, -58 mV/pH: one point measures no slope"), std::string::npos);
    EXPECT_EQ(page.find("% of the ideal"), std::string::npos) << "no slope claimed";
    EXPECT_NE(page.find("<td class=\"number\">not written</td></tr>"), std::string::npos);

    // The certificate's folder goes while the point is sampled.
    const std::string folder = FileNamed("folder");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    Out.Seen = [&](const std::string& text) {
        if (text.compare(0, 8, "point 1:") == 0) RemoveDirectoryA(folder.c_str());
    };
    Steer("set probe-offset 5");
    Requests();
    EXPECT_EQ(Run({"calibrate", "COM5", "--standard", "7", "--yes", "--certificate",
                   folder + "/certificate.html"}),
              ExitFailed);
    EXPECT_NE(Err.Text.find(folder + "/certificate.html: calibration written, certificate not "
                                     "written: no such folder"),
              std::string::npos)
        << Err.Text;
    EXPECT_EQ(Writes(Requests()).size(), 5u) << "the calibration stands";
}

} // namespace
