// The calibration record as an auditor reads it: every calibration and undo
// recorded as it happened, whole lines only, every fact its certificate
// shows, readable after a hand edit, a spreadsheet or a full disk. vl4 runs
// here against the simulated transmitter on a line of its own, its files in
// memory and its time passing only when it waits.
#include "calibration/calibration_record.h"
#include "calibration/record_layout.h"
#include "cli/command_line.h"
#include "cli/questions.h"
#include "core/calibration_math.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "record_rows.h"
#include "unit/fake_files.h"
#include "unit/sim_line.h"
#include "vl4_console.h"
#include "vl4_version.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

const std::string Record = "r.csv";

class RecordedCalibration : public ::testing::Test {
protected:
    void SetUp() override {
        Out.Seen = [this](const std::string& text) {
            for (const auto& move : Moves)
                if (text.compare(0, move.first.size(), move.first) == 0) move.second();
        };
    }

    int Run(const std::vector<std::string>& words) {
        Out.Text.clear();
        Err.Text.clear();
        Line.Frames.clear();
        CommandContext context = {Out, Err, In, Stop};
        return RunVl4(context, words);
    }
    // When a line that begins so is written, the bench does this.
    void OnLine(const std::string& begins, std::function<void()> act) {
        Moves.emplace_back(begins, act);
    }
    void OnLine(const std::string& begins, const std::string& simCommand) {
        OnLine(begins, [this, simCommand] { Line.Steer(simCommand); });
    }
    void Forget(const std::string& begins) {
        for (auto move = Moves.begin(); move != Moves.end();)
            move = move->first == begins ? Moves.erase(move) : move + 1;
    }
    // A two-point calibration of the simulated electrode, 7 and 4.01,
    // written; more words are added to its command line.
    int Calibrate(std::vector<std::string> more = {}) {
        if (!BenchMoves) {
            OnLine("point 1:", "set solution 7");
            OnLine("point 2:", "set solution 4.01");
            BenchMoves = true;
        }
        Line.Steer("set solution 7");
        std::vector<std::string> words = {"calibrate",  "COM5",       "--standard", "7",
                                          "--standard", "4.01",       "--yes",      "--record",
                                          Record,       "--due-days", "100"};
        words.insert(words.end(), more.begin(), more.end());
        return Run(words);
    }
    int Undo(const std::string& answer) {
        In.Lines = {answer};
        return Run({"calibrate", "COM5", "--undo", "--record", Record});
    }
    std::vector<RecordRowText> Rows() { return RecordRowsOf(Files.Content[Record]); }
    // Swallows the transmitter's reply to the next write of the command.
    void SwallowWrite(BYTE command) {
        Line.OnRequest = [this, command](BYTE asked, bool writes) {
            if (asked != command || !writes) return;
            Line.Model.Faults.Arm(Fault::NoReply, 1);
            Line.OnRequest = nullptr;
        };
    }
    const std::string& Page(const std::string& name) { return Files.Content[name]; }

    FakeClock Time;
    SimulatedLine Line{Time};
    FakeFiles Files;
    CapturedOutput Out, Err;
    ScriptedInput In;
    Interruption Stop;
    std::vector<std::pair<std::string, std::function<void()>>> Moves;
    bool BenchMoves = false;
};

std::vector<float> Readings(const std::string& text) {
    std::vector<float> readings;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        float value = std::nanf("");
        const std::string reading = text.substr(at, end - at);
        if (reading != "-") {
            EXPECT_TRUE(ParseNumber(reading.c_str(), value)) << reading;
        }
        readings.push_back(value);
        at = end + 1;
    }
    return readings;
}

// Two NIST buffers at 15 degrees and a check, on an electrode that settles
// after each move: the line holds how each point was taken and its readings,
// and the certificate made later from the record is the very page written
// at the calibration.
TEST_F(RecordedCalibration, ALineHoldsEveryFactAndTheCertificateIsMadeAgainFromIt) {
    for (const char* setting :
         {"set temperature 15", "set probe-offset 4", "set probe-sensitivity -58.1",
          "set settle-tau 2", "set solution 6.9"})
        Line.Steer(setting);
    OnLine("point 2:", "set solution 3.998");
    OnLine("check:", "set solution 9.276");
    ASSERT_EQ(Run({"calibrate",
                   "COM5",
                   "--standard",
                   "6.86",
                   "--standard",
                   "4.01",
                   "--buffers",
                   "nist",
                   "--temperature",
                   "15",
                   "--check",
                   "9.18",
                   "--check-tolerance",
                   "0.1",
                   "--yes",
                   "--record",
                   Record,
                   "--technician",
                   "Jana Nov\xC3\xA1kov\xC3\xA1",
                   "--certificate",
                   "at-calibration.html"}),
              ExitDone)
        << Err.Text;
    const std::vector<RecordRowText> rows = Rows();
    ASSERT_EQ(rows.size(), 1u);
    const RecordRowText& r = rows[0];
    EXPECT_EQ(r[RecVersion], VL4_VERSION_TEXT);
    EXPECT_EQ(r[RecTemperatureGiven], "yes");
    EXPECT_EQ(r[RecSettleRule], "settled");
    EXPECT_EQ(r[RecMaxDrift], "0.6");
    EXPECT_EQ(r[RecMaxSpread], "0.5");
    EXPECT_EQ(r[RecBuffers], "nist");
    EXPECT_EQ(r[RecSlopeSource], "measured");
    EXPECT_EQ(r[RecCheckTolerance], "0.1");
    EXPECT_EQ(r[RecStandardKind1] + r[RecStandardKind2] + r[RecCheckKind], "bufferbufferbuffer");
    EXPECT_EQ(r[RecCheckResult], "pass");
    EXPECT_EQ(
        r[RecPressure] + r[RecSalinity] + r[RecSamplePh] + r[RecHoclPercent] + r[RecGrabDelay], "");
    // Each point's readings from its start: the settling shows, the last 66
    // are the window its figures were taken from.
    const int firsts[] = {RecStandard1, RecStandard2};
    const int traces[] = {RecReadingsMv1, RecReadingsMv2};
    for (int point = 0; point < 2; ++point) {
        const std::vector<float> readings = Readings(r.Fields[traces[point]]);
        ASSERT_GT(readings.size(), 66u) << "the probe was waited for";
        EXPECT_EQ(r.Fields[firsts[point] + 5], IntegerText(static_cast<int32_t>(readings.size())));
        EXPECT_GT(std::fabs(readings.front() - readings.back()), 5.0f) << "it moved";
        PointResult again;
        again.Trace = readings;
        again.SummariseTrace();
        EXPECT_EQ(ExactText(again.Voltage), r.Fields[firsts[point] + 2]);
        EXPECT_EQ(ExactText(static_cast<float>(again.SettleSeconds)), r.Fields[firsts[point] + 6]);
    }
    EXPECT_GT(Readings(r[RecCheckReadingsMv]).size(), 66u);

    ASSERT_EQ(Run({"certificate", Record, "--out", "again.html"}), ExitDone) << Err.Text;
    EXPECT_EQ(Page("again.html"), Page("at-calibration.html"));
    EXPECT_NE(Page("again.html").find("Jana Nov\xC3\xA1kov\xC3\xA1"), std::string::npos);
    EXPECT_EQ(Page("again.html").find("not recorded"), std::string::npos);
    EXPECT_NE(Page("again.html").find("NIST table at 15.0"), std::string::npos);
}

// A write the transmitter did not confirm, at each step of the writes: the
// calibration failed, the unit is not taken to hold it, nothing is due from
// it and its certificate says so.
TEST_F(RecordedCalibration, WritesNotConfirmedAreAFailureTheUnitIsNotTakenToHold) {
    ASSERT_EQ(Calibrate(), ExitDone) << Err.Text;
    const std::string firstTime = Rows()[0][RecTime];
    const std::pair<BYTE, const char*> steps[] = {
        {CmdOffset, "offset"}, {CmdSensitivity, "sensitivity"}, {CmdCalibrationDate, "date"}};
    float electrode = 0;
    for (const auto& step : steps) {
        Time.Seconds += 3600;
        Line.Steer("set probe-offset " + ExactText(++electrode)); // it aged since
        SwallowWrite(step.first);
        EXPECT_EQ(Calibrate({"--certificate", "c.html"}), ExitFailed) << step.second;
        const RecordRowText last = Rows().back();
        EXPECT_EQ(last[RecOutcome], "failed") << step.second;
        EXPECT_EQ(last[RecHealth], std::string("not confirmed: ") + step.second);
        EXPECT_EQ(last[RecDueDate], "") << "nothing is due from it";
        EXPECT_NE(Page("c.html").find("NOT CONFIRMED"), std::string::npos) << step.second;
        EXPECT_EQ(Page("c.html").find("someone said so"), std::string::npos);
    }
    EXPECT_EQ(Run({"history", Record}), ExitDone);
    EXPECT_EQ(Out.Text.find("VL4 2403117: not confirmed: read the unit\n"), 0u) << Out.Text;
    EXPECT_NE(Out.Text.find(" failed  pH     100.0    1.0 -0.02 -     not confirmed -"),
              std::string::npos)
        << Out.Text;
    EXPECT_EQ(Run({"history", Record, "--json"}), ExitDone);
    EXPECT_NE(Out.Text.find("\"due_date\": null, \"overdue\": false, \"confirmed\": false"),
              std::string::npos);

    // The unit is still taken to hold the first calibration, which the
    // transmitter no longer holds: an undo refuses to write over it.
    EXPECT_EQ(Undo("y"), ExitFailed);
    EXPECT_NE(Err.Text.find("no longer holds what the calibration of " + firstTime + " left"),
              std::string::npos)
        << Err.Text;
    EXPECT_EQ(Line.WriteCommands(), std::vector<BYTE>{});
}

// An undo whose writes the cable took away is recorded as such and can be
// tried again; once the transmitter confirmed it, it is an undo, and the
// calibration it put back cannot be put back twice.
TEST_F(RecordedCalibration, AnUndoIsRecordedAsOneOnlyWhenTheTransmitterConfirmedIt) {
    Line.Steer("set offset 1.25");
    Line.Steer("set sensitivity -57.3");
    const TransmitterValues before = Line.Model.Values;
    ASSERT_EQ(Calibrate(), ExitDone) << Err.Text;
    const TransmitterValues calibrated = Line.Model.Values;

    // The cable is pulled once the question is answered.
    Line.OnRequest = [this](BYTE, bool writes) { Line.Unplugged |= writes; };
    EXPECT_EQ(Undo(" Yes "), ExitFailed);
    EXPECT_NE(Err.Text.find("the undo was not confirmed: offset, sensitivity, date"),
              std::string::npos)
        << Err.Text;
    ASSERT_EQ(Rows().size(), 2u);
    EXPECT_EQ(Rows()[1][RecOutcome], "undo failed");
    EXPECT_EQ(Rows()[1][RecHealth], "not confirmed: offset, sensitivity, date");
    EXPECT_EQ(Line.Model.Values.Offset, calibrated.Offset);
    EXPECT_EQ(Run({"history", Record}), ExitDone);
    EXPECT_EQ(Out.Text.find("VL4 2403117: not confirmed: read the unit\n"), 0u) << Out.Text;

    // Back in: only the date's reply is lost, then all goes through.
    Line.Unplugged = false;
    Line.OnRequest = nullptr;
    SwallowWrite(CmdCalibrationDate);
    EXPECT_EQ(Undo("y"), ExitFailed);
    EXPECT_EQ(Rows().back()[RecOutcome], "undo failed");
    EXPECT_EQ(Rows().back()[RecHealth], "not confirmed: date");
    EXPECT_EQ(Undo("YES"), ExitDone) << Err.Text;
    EXPECT_EQ(Rows().back()[RecOutcome], "undo");
    EXPECT_EQ(BitsOfFloat(Line.Model.Values.Offset), BitsOfFloat(before.Offset));
    EXPECT_EQ(BitsOfFloat(Line.Model.Values.Sensitivity), BitsOfFloat(before.Sensitivity));
    EXPECT_EQ(Line.Model.Values.CalibrationDate, before.CalibrationDate);

    EXPECT_EQ(Run({"history", Record}), ExitDone);
    EXPECT_EQ(Out.Text.find("VL4 2403117: no written calibration\n"), 0u) << Out.Text;
    EXPECT_EQ(Undo("y"), ExitFailed);
    EXPECT_NE(Err.Text.find("was undone on " + Rows().back()[RecTime] + "; nothing written"),
              std::string::npos)
        << Err.Text;

    // Anything but yes is no; the input's end is no as well.
    ASSERT_EQ(Calibrate(), ExitDone);
    for (const char* answer : {"", "n", "yess", "ano"}) {
        EXPECT_EQ(Undo(answer), ExitFailed) << answer;
        EXPECT_NE(Err.Text.find("not written"), std::string::npos);
    }
    EXPECT_EQ(Line.WriteCommands(), std::vector<BYTE>{});
}

// In Czech a technician reads every step in Czech, with decimal commas and
// Czech dates, and answers the question with a or ano; the record gets the
// very line an English run gives it.
TEST_F(RecordedCalibration, InCzechTheStepsAndTheQuestionAreCzechAndTheRecordLineTheSame) {
    OnLine("check:", "set solution 7");
    OnLine("bod 1:", "set solution 7");
    OnLine("bod 2:", "set solution 4.01");
    OnLine("kontrola:", "set solution 7");
    Line.Steer("set offset 1.25");
    Line.Steer("set sensitivity -57.3");
    const TransmitterValues before = Line.Model.Values;
    const std::vector<std::string> more = {"--technician", "Nov\xC3\xA1k", "--check", "7"};
    ASSERT_EQ(Calibrate(more), ExitDone) << Err.Text;
    const std::string english = Out.Text;
    Line.Model.Values = before;
    Time.Seconds = 0;
    std::vector<std::string> czech = more;
    czech.insert(czech.begin(), {"--lang", "cs"});
    ASSERT_EQ(Calibrate(czech), ExitDone) << Err.Text;
    SetLanguage(Language::English);

    for (const char* step :
         {"sonda typu pH na COM5 (VL4 2403117, firmware 1.02)\n",
          "p\xC5\x99"
          "ed kalibrac\xC3\xAD: ofset 1,25 mV, citlivost -57,3 mV/pH", // před kalibrací
          "bod 1: norm\xC3\xA1l 7\n", "bod 2: norm\xC3\xA1l 4,01\n",   // normál
          "bod 1: ust\xC3\xA1leno po ",                                // ustáleno
          " ode\xC4\x8Dt\xC5\xAF; posledn\xC3\xAD"
          "ch 66: drift ",          // odečtů; posledních
          "zaps\xC3\xA1no: ofset ", // zapsáno
          ", datum 8. 12. 2026\n",
          "kontrola, norm\xC3\xA1l 7; p\xC5\x99"
          "evodn\xC3\xADk ukazuje 7,000 (chyba +0,000, "
          "tolerance 0,05): vyhovuje\n", // převodník
          "ulo\xC5\xBE"
          "eno do z\xC3\xA1znamu r.csv: zaps\xC3\xA1no\n"}) // uloženo do záznamu
        EXPECT_NE(Out.Text.find(step), std::string::npos) << step << " in\n" << Out.Text;
    for (const char* english : {"point", "stable", "sensitivity", "written", "7.000", "-57.3"})
        EXPECT_EQ(Out.Text.find(english), std::string::npos) << english << " in\n" << Out.Text;
    EXPECT_NE(english.find("check: the transmitter reads 7.000 in the standard 7"),
              std::string::npos)
        << english;

    // What programs read does not depend on the language.
    const std::vector<std::string> lines = [this] {
        std::vector<std::string> split;
        const std::string& text = Files.Content[Record];
        for (size_t at = 0, end; at < text.size(); at = end + 2)
            split.push_back(text.substr(at, (end = text.find("\r\n", at)) - at));
        return split;
    }();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[2], lines[1]);

    // The undo's question, with the Czech yes; anything else is no.
    for (const char* no : {"n", "", "y es"}) {
        In.Lines = {no};
        EXPECT_EQ(Run({"--lang", "cs", "calibrate", "COM5", "--undo", "--record", Record}),
                  ExitFailed)
            << no;
        EXPECT_NE(Err.Text.find("vr\xC3\xA1tit tyto hodnoty? [a/N] "), std::string::npos)
            << Err.Text;
        EXPECT_NE(Err.Text.find("vl4: COM5: nezaps\xC3\xA1no\n"), std::string::npos) << Err.Text;
    }
    In.Lines = {" ano "};
    EXPECT_EQ(Run({"--lang", "cs", "calibrate", "COM5", "--undo", "--record", Record}), ExitDone)
        << Err.Text;
    SetLanguage(Language::English);
    EXPECT_NE(Out.Text.find("vr\xC3\xA1"
                            "ceno: ofset 1,25, citlivost -57,3, datum "),
              std::string::npos)
        << Out.Text;
    EXPECT_EQ(Rows().back()[RecOutcome], "undo");
    EXPECT_EQ(BitsOfFloat(Line.Model.Values.Offset), BitsOfFloat(before.Offset));
}

// What a hand edit or a changed unit makes of an undo: refused before
// anything is written.
TEST_F(RecordedCalibration, AnUndoRefusesValuesNoProbeHasAndAnotherProbe) {
    ASSERT_EQ(Calibrate(), ExitDone);
    const std::string good = Files.Content[Record];
    RecordRowText line = Rows()[0];
    for (const auto& edit :
         std::vector<std::pair<std::string, std::string>>{{"1e30", "0"}, {"0", "25"}}) {
        line.Fields[RecFoundOffset] = edit.first;
        line.Fields[RecFoundSensitivity] = edit.second;
        Files.Content[Record] = RecordHeader() + RecordLineText(line.Fields);
        EXPECT_EQ(Undo("y"), ExitFailed) << edit.first;
        EXPECT_NE(Err.Text.find("before it, which no working probe of its kind has; nothing "
                                "written"),
                  std::string::npos)
            << Err.Text;
    }
    // A value that is no number at all: the line is passed over, named.
    line.Fields[RecFoundOffset] = "nan";
    Files.Content[Record] = RecordHeader() + RecordLineText(line.Fields);
    EXPECT_EQ(Undo("y"), ExitFailed);
    EXPECT_EQ(Err.Text.find("vl4: r.csv:2: warning: line passed over: found_offset is not a "
                            "value"),
              0u)
        << Err.Text;
    Files.Content[Record] = good;
    Line.Steer("set probe 2");
    EXPECT_EQ(Undo("y"), ExitFailed);
    EXPECT_NE(Err.Text.find("was of a pH probe; the transmitter has a chlorine probe now"),
              std::string::npos)
        << Err.Text;
    EXPECT_EQ(Line.WriteCommands(), std::vector<BYTE>{});
}

// A check cut short proves nothing either way: the calibration stands
// written and is held, its check is not completed.
TEST_F(RecordedCalibration, ACheckCutShortIsNotCompleted) {
    OnLine("check:", [this] { Line.Unplugged = true; });
    EXPECT_EQ(Calibrate({"--check", "7", "--certificate", "lost.html"}), ExitFailed);
    EXPECT_NE(Err.Text.find("stopped answering while check was sampled"), std::string::npos)
        << Err.Text;
    Line.Unplugged = false;
    Forget("check:");
    OnLine("check:", [this] { Stop.Request(); });
    EXPECT_EQ(Calibrate({"--check", "7", "--certificate", "stopped.html"}), ExitInterrupted);
    const std::vector<RecordRowText> rows = Rows();
    ASSERT_EQ(rows.size(), 2u);
    for (const RecordRowText& row : rows) {
        EXPECT_EQ(row[RecOutcome], "written");
        EXPECT_EQ(row[RecCheckResult], "interrupted");
        EXPECT_EQ(row[RecCheckValue], "");
    }
    for (const char* page : {"lost.html", "stopped.html"})
        EXPECT_NE(Page(page).find("CHECK NOT COMPLETED"), std::string::npos) << page;
    EXPECT_EQ(Run({"history", Record}), ExitDone);
    EXPECT_NE(Out.Text.find(": due "), std::string::npos) << "the unit holds it: " << Out.Text;
}

// A kept slope is not a measured one, and a check's tolerance is bounded by
// what proves the probe.
TEST_F(RecordedCalibration, AKeptSlopeIsNotMeasuredAndACheckToleranceMustProveSomething) {
    Line.Steer("set solution 7");
    ASSERT_EQ(
        Run({"calibrate", "COM5", "--standard", "7", "--keep-slope", "--yes", "--record", Record}),
        ExitDone)
        << Err.Text;
    EXPECT_EQ(Rows()[0][RecSlopeSource], "kept");
    EXPECT_EQ(Rows()[0][RecSlopePercent], "");
    EXPECT_EQ(Run({"history", Record}), ExitDone);
    EXPECT_NE(Out.Text.find(" written pH         -    0.0"), std::string::npos) << Out.Text;

    EXPECT_EQ(Run({"calibrate", "COM5", "--standard", "7", "--check", "4", "--check-tolerance", "2",
                   "--yes"}),
              ExitUsage);
    EXPECT_NE(Err.Text.find("--check-tolerance of a pH probe is at most 1, not 2"),
              std::string::npos)
        << Err.Text;
    EXPECT_EQ(Line.WriteCommands(), std::vector<BYTE>{}) << "not even the damping";
}

// Whole lines only: a last line that lost its line end, a full disk, another
// writer holding the file.
TEST_F(RecordedCalibration, TheRecordHoldsWholeLinesWhateverBecomesOfItsFile) {
    ASSERT_EQ(Calibrate(), ExitDone);
    std::string& file = Files.Content[Record];
    file.resize(file.size() - 2); // a hand edit took the line end
    ASSERT_EQ(Calibrate(), ExitDone) << Err.Text;
    EXPECT_EQ(Rows().size(), 2u);
    EXPECT_EQ(Run({"history", Record}), ExitDone);
    EXPECT_EQ(Err.Text, "");

    const std::string whole = file;
    OnLine("wrote ", [this] { Files.ShortWrite = 100; });
    EXPECT_EQ(Calibrate(), ExitFailed);
    EXPECT_EQ(file, whole);
    EXPECT_NE(Err.Text.find("vl4: r.csv: calibration written, record not written: the disk is "
                            "full\nthe line for the record, to add by hand:\n"),
              std::string::npos)
        << Err.Text;
    EXPECT_EQ(Err.Text.find("system error"), std::string::npos);

    Forget("wrote ");
    OnLine("wrote ", [this] { Files.InUseOpens = 1000; });
    EXPECT_EQ(Calibrate(), ExitFailed);
    EXPECT_NE(Err.Text.find("record not written: in use by another program (waited 5 s)"),
              std::string::npos)
        << Err.Text;
    EXPECT_EQ(file, whole);
}

// What a spreadsheet, an editor or an earlier vl4 left: read by every
// reader, a damaged line named and passed over, signed production numbers.
TEST_F(RecordedCalibration, RecordsOfEveryShapeAreReadAndOnlyThisLayoutIsAddedTo) {
    Line.Steer("set production -5");
    ASSERT_EQ(Calibrate(), ExitDone);
    std::string& file = Files.Content[Record];
    // Saved again by an editor: a byte-order mark, and a line cut short.
    file = "\xEF\xBB\xBF" + file + "2026-12-01T10:00:00.000+01:00,COM5,VL4\r\n";
    Line.Steer("set production 2403117");
    ASSERT_EQ(Calibrate(), ExitDone) << Err.Text;
    EXPECT_EQ(file.compare(0, 3, "\xEF\xBB\xBF"), 0) << "the mark is kept";
    EXPECT_NE(Err.Text.find("vl4: r.csv:3: warning: line passed over: 3 fields instead of 62"),
              std::string::npos)
        << Err.Text;
    EXPECT_EQ(Run({"history", Record, "--unit", "-5"}), ExitDone);
    EXPECT_EQ(Out.Text.find("VL4 -5: due "), 0u) << Out.Text;
    EXPECT_EQ(Run({"history", Record}), ExitDone);
    EXPECT_NE(Out.Text.find("VL4 2403117: due "), std::string::npos) << Out.Text;
    // In Czech the damaged line is named in Czech; programs read the same.
    EXPECT_EQ(Run({"history", Record, "--json"}), ExitDone);
    const std::string json = Out.Text;
    EXPECT_EQ(Run({"--lang", "cs", "history", Record, "--json"}), ExitDone);
    SetLanguage(Language::English);
    EXPECT_EQ(Out.Text, json);
    EXPECT_NE(Err.Text.find("r.csv:3: "), std::string::npos) << Err.Text;
    EXPECT_NE(Err.Text.find(": \xC5\x99\xC3\xA1" // řádek přeskočen
                            "dek p\xC5\x99"
                            "esko\xC4\x8D"
                            "en: 3 pole m\xC3\xADsto 62\n"),
              std::string::npos)
        << Err.Text;

    // A record of the previous layout: read with this one, undone in its own
    // layout, never given a calibration's line.
    CsvReader newer(file);
    CsvRow old;
    while (newer.Next(old) && (old.Fields.size() <= RecProductionNumber ||
                               old.Fields[RecProductionNumber] != "2403117")) {
    }
    old.Fields.resize(RecPreviousLayoutColumns);
    std::vector<std::string> header(RecordColumnNames,
                                    RecordColumnNames + RecPreviousLayoutColumns);
    Files.Content["old.csv"] = RecordLineText(header) + RecordLineText(old.Fields);
    EXPECT_EQ(Run({"calibrate", "COM5", "--standard", "7", "--yes", "--record", "old.csv"}),
              ExitUsage);
    EXPECT_NE(Err.Text.find("old.csv: a record of an earlier vl4, with fewer columns; start a new "
                            "file for new calibrations (vl4 history reads both)"),
              std::string::npos)
        << Err.Text;
    EXPECT_EQ(Line.Frames, std::vector<std::string>{}) << "refused before the first frame";
    EXPECT_EQ(Run({"history", "old.csv", Record, "--json"}), ExitDone) << Err.Text;
    EXPECT_NE(Out.Text.find("{\"production_number\": -5"), std::string::npos);
    ASSERT_EQ(Run({"certificate", "old.csv", "--out", "old.html"}), ExitDone) << Err.Text;
    EXPECT_NE(Page("old.html").find("not recorded"), std::string::npos);
    ASSERT_EQ(Run({"calibrate", "COM5", "--undo", "--record", "old.csv", "--yes"}), ExitDone)
        << Err.Text;
    CsvReader reader(Files.Content["old.csv"]);
    CsvRow row;
    int lines = 0;
    while (reader.Next(row)) ++lines;
    EXPECT_EQ(lines, 3);
    EXPECT_EQ(row.Fields.size(), static_cast<size_t>(RecPreviousLayoutColumns));
    EXPECT_EQ(row.Fields[RecOutcome], "undo");
}

TEST(Questions, YesIsYOrYesInAnyCaseAndSpacingAndNothingElse) {
    for (const char* yes : {"y", "Y", "yes", "Yes", " YES ", "\tyes\r"})
        EXPECT_TRUE(IsYes(yes)) << yes;
    for (const char* no : {"", " ", "n", "no", "yess", "ye", "y es", "ok", "1", "a", "ano"})
        EXPECT_FALSE(IsYes(no)) << no;
    // A Czech question takes its own a and ano, and still y.
    SetLanguage(Language::Czech);
    for (const char* yes : {"a", "A", " ano ", "ANO\r", "y"}) EXPECT_TRUE(IsYes(yes)) << yes;
    for (const char* no : {"", "n", "ne", "an", "anoo", "no"}) EXPECT_FALSE(IsYes(no)) << no;
    SetLanguage(Language::English);
}

} // namespace
