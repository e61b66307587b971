// vl4 in Czech and in English against the simulated transmitter: a person
// reads the language; a program reads the very same bytes and exit status
// in both.
#include "line/vl4_on_cable.h"

#include <algorithm>

namespace {

struct Said {
    int Status;
    std::string Out, Err;
};

class InBothLanguages : public Vl4OnCable {
protected:
    Said RunIn(const char* language, std::vector<std::string> words) {
        words.insert(words.begin(), {"--lang", language});
        const int status = Run(words);
        return {status, Out.Text, Err.Text};
    }
    // The same command in each language: what programs read must not differ.
    std::pair<Said, Said> RunInBoth(const std::vector<std::string>& words) {
        const Said cs = RunIn("cs", words), en = RunIn("en", words);
        EXPECT_EQ(cs.Status, en.Status) << words[0];
        return {cs, en};
    }
};

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string AfterFirstLine(const std::string& text) {
    return text.substr(text.find('\n') + 1);
}

// A log's rows without their times, which no two runs share.
std::vector<std::string> Untimed(const std::string& csv) {
    std::vector<std::string> rows = Lines(csv);
    for (std::string& row : rows) row = row.substr(row.find(','));
    return rows;
}

TEST_F(InBothLanguages, ReadSaveAndLogGiveAPersonCzechAndProgramsTheSameBytes) {
    Steer("set offset -1.5");
    Steer("set voltage 8.25");
    const auto text = RunInBoth({"read", "COM5"});
    EXPECT_EQ(text.first.Status, ExitDone) << text.first.Err;
    // The labels in a column of their own, whatever their letters.
    const std::vector<std::string> czech = Lines(text.first.Out);
    for (const char* line :
         {"výrobní číslo       2403117", "výstup              pasivní 4 až 20 mA",
          "sonda               pH", "datum kalibrace     15. 3. 2024", "ofset               -1,500",
          "citlivost           -59,160", "napětí sondy [mV]   8,250", "horní mez rozsahu   14,00"})
        EXPECT_NE(std::find(czech.begin(), czech.end(), line), czech.end()) << line << "\n"
                                                                            << text.first.Out;
    EXPECT_EQ(czech.size(), Lines(text.second.Out).size());
    for (const char* line : {"output              passive 4-20 mA",
                             "calibration date    2024-03-15", "offset              -1.500"})
        EXPECT_TRUE(Has(text.second.Out, std::string(line) + "\n")) << line << "\n"
                                                                    << text.second.Out;

    // A value that does not come: the same null, empty field and status.
    SwallowRepliesTo("01 30 00 CF"); // the offset
    for (const char* form : {"--json", "--csv"}) {
        const auto read = RunInBoth({"read", "COM5", form});
        EXPECT_EQ(read.first.Status, ExitFailed);
        EXPECT_EQ(read.first.Out, read.second.Out) << form;
        EXPECT_EQ(read.first.Err, "vl4: COM5: žádná odpověď při čtení: ofset\n");
        EXPECT_EQ(read.second.Err, "vl4: COM5: no answer reading offset\n");
    }
    OnRequest.clear();

    const std::string cs = FileNamed("cs.txt"), en = FileNamed("en.txt");
    EXPECT_EQ(RunIn("cs", {"save", "COM5", cs}).Out,
              "nastavení VL4 2403117 na COM5 uloženo do " + cs + "\n");
    EXPECT_EQ(RunIn("en", {"save", "COM5", en}).Status, ExitDone);
    // The first line says when, to the minute.
    EXPECT_EQ(AfterFirstLine(Contents(cs)), AfterFirstLine(Contents(en)));
    EXPECT_TRUE(Has(Contents(cs), "offset = -1.5\n")) << Contents(cs);
    // What the transmitter returned, and a difference, read as numbers in Czech.
    EXPECT_EQ(RunIn("cs", {"set", "COM5", "upper=12,5"}).Out, "upper: 12,5\n");
    const auto dry = RunInBoth({"load", "COM5", cs, "--dry-run"});
    EXPECT_EQ(dry.first.Out, "upper: 12,5 -> 14\nzkouška nanečisto: nic nezapsáno\n");
    EXPECT_EQ(dry.second.Out, "upper: 12.5 -> 14\ndry run: nothing written\n");

    const std::string csLog = FileNamed("cs.csv"), enLog = FileNamed("en.csv");
    const Said logged =
        RunIn("cs", {"log", "COM5", "--every", "0.1", "--count", "2", "--out", csLog});
    EXPECT_EQ(logged.Status, ExitDone) << logged.Err;
    EXPECT_EQ(logged.Out, "do souboru " + csLog + " zaznamenáno 2 vzorky, 0 neúspěšných čtení\n");
    EXPECT_TRUE(Has(logged.Err, "0 vypršení lhůty, 0 vadných rámců")) << logged.Err;
    EXPECT_TRUE(Has(logged.Err, "; doba odpovědi: medián ")) << logged.Err;
    EXPECT_EQ(RunIn("en", {"log", "COM5", "--every", "0.1", "--count", "2", "--out", enLog}).Out,
              "logged 2 samples, 0 failed reads into " + enLog + "\n");
    EXPECT_EQ(Untimed(Contents(csLog)), Untimed(Contents(enLog)));
    EXPECT_EQ(Untimed(Contents(csLog)).size(), 3u);
}

TEST_F(InBothLanguages, AFailingCommandSaysWhyInTheLanguageAndEndsAlike) {
    EXPECT_EQ(RunInBoth({"read", "COM5", "--bogus"}).first.Status, ExitUsage);

    const auto missing = RunInBoth({"read", "COM99"});
    EXPECT_EQ(missing.first.Status, ExitFailed);
    EXPECT_EQ(missing.first.Err, "vl4: COM99: takový port neexistuje\n");
    EXPECT_EQ(missing.second.Err, "vl4: COM99: no such port\n");

    Steer("fault noreply 100");
    const auto silent = RunInBoth({"read", "COM5", "--json"});
    Steer("fault clear");
    EXPECT_EQ(silent.first.Status, ExitFailed);
    EXPECT_EQ(silent.first.Out, "");
    EXPECT_EQ(silent.first.Err, "vl4: COM5: žádný převodník neodpovídá\n");
    EXPECT_EQ(silent.second.Err, "vl4: COM5: no transmitter answers\n");

    const auto settings =
        RunInBoth({"load", "COM5", Written("bad.txt", "[settings]\ndamping = 31\n")});
    EXPECT_EQ(settings.first.Status, ExitUsage);
    EXPECT_TRUE(Has(settings.first.Err, ":2: damping musí být celé číslo 0 až 30\n"))
        << settings.first.Err;
}

// A pair no probe gives (the voltage falls into the acid buffer) is refused
// alike: the same exit status and record line, the reason in the language.
TEST_F(InBothLanguages, ARefusedCalibrationEndsAlikeAndRecordsTheSameLine) {
    const std::string record = FileNamed("refused.csv");
    Out.Seen = [this](const std::string& text) {
        if (text.rfind("point 2:", 0) == 0 || text.rfind("bod 2:", 0) == 0)
            Steer("set voltage -150");
    };
    const auto refused = [&](const char* language) {
        Steer("set voltage 20");
        return RunIn(language, {"calibrate", "COM5", "--standard", "7", "--standard", "4.01",
                                "--yes", "--record", record});
    };
    const Said cs = refused("cs"), en = refused("en");
    Out.Seen = nullptr;
    EXPECT_EQ(cs.Status, ExitFailed);
    EXPECT_EQ(en.Status, ExitFailed);
    EXPECT_TRUE(Has(cs.Err, "body dávají strmost, jakou žádná funkční sonda tohoto druhu nemá; "
                            "nic nebylo zapsáno"))
        << cs.Err;
    EXPECT_TRUE(Has(en.Err, "the points give a slope no working probe of this kind has")) << en.Err;
    std::vector<RecordRowText> rows = RecordRowsOf(Contents(record));
    ASSERT_EQ(rows.size(), 2u);
    for (const RecordColumn column : {RecTime, RecReadings1, RecSettle1, RecReadingsMv1,
                                      RecReadings2, RecSettle2, RecReadingsMv2})
        for (RecordRowText& row : rows) row.Fields[column] = "";
    EXPECT_EQ(rows[0].Fields, rows[1].Fields);
    EXPECT_EQ(rows[0][RecOutcome], "refused");
}

// The person's yes in Czech is a or ano, in English y or yes; anything else,
// Enter too, is no. The record a calibration writes is the same in both.
TEST_F(InBothLanguages, AQuestionTakesTheLanguagesYesAndTheRecordStaysAsItWas) {
    const std::string record = FileNamed("record.csv");
    Steer("set solution 7");
    const auto undo = [&](const char* language, const char* answer) {
        In.Lines = {answer};
        return RunIn(language, {"calibrate", "COM5", "--undo", "--record", record}).Status;
    };
    const std::vector<std::string> calibrate = {"calibrate", "COM5",     "--standard", "7",
                                                "--yes",     "--record", record};
    ASSERT_EQ(RunIn("en", calibrate).Status, ExitDone) << Err.Text;
    for (const char* no : {"n", ""}) EXPECT_EQ(undo("cs", no), ExitFailed) << no;
    EXPECT_EQ(undo("en", "a"), ExitFailed) << "a is no yes in English";
    EXPECT_EQ(undo("cs", "a"), ExitDone) << Err.Text;
    ASSERT_EQ(RunIn("cs", calibrate).Status, ExitDone) << Err.Text;
    EXPECT_EQ(undo("cs", " Ano "), ExitDone) << Err.Text;

    std::vector<RecordRowText> rows = RecordRowsOf(Contents(record));
    ASSERT_EQ(rows.size(), 4u);
    for (const RecordColumn column : {RecTime, RecReadings1, RecSettle1, RecReadingsMv1})
        for (const int i : {0, 2}) rows[i].Fields[column] = "";
    EXPECT_EQ(rows[0].Fields, rows[2].Fields);
    EXPECT_EQ(rows[2][RecOutcome], "written");
    EXPECT_EQ(rows[3][RecOutcome], "undo");
}

} // namespace
