// The calibration with a record in the window, from its system menu, against
// the simulator's electrode: what it records is what vl4 records, and what it
// does not finish writes nothing and leaves the damping as it was.
#include "calibration/oxygen_solubility.h"
#include "child_process.h"
#include "core/local_time.h"
#include "e2e/tool_fixture.h"
#include "record_rows.h"

#include <fstream>
#include <iterator>
#include <set>

namespace e2e {
namespace {

using namespace RecordedItems;

// A point takes 66 readings 300 ms apart once the probe is steady.
constexpr DWORD PointTimeoutMs = 60000;

// A file in the temporary folder, gone before the test.
std::string TempFile(const std::string& name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    const std::string path = std::string(folder) + name;
    DeleteFileA(path.c_str());
    return path;
}

std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<RecordRowText> Rows(const std::string& path) {
    return RecordRowsOf(FileText(path));
}

// The frames that write (a length byte not 00) by command, the damping's too.
std::vector<int> WriteCommands(const std::vector<Request>& requests) {
    std::vector<int> writes;
    for (const Request& request : requests)
        if (!request.Data.empty()) writes.push_back(request.Command);
    return writes;
}

constexpr int DampingCommand = 44, OffsetCommand = 49, SensitivityCommand = 50, DateCommand = 45;

struct RecordedCalibration : ToolTest {
    void SetUp() override {
        ToolTest::SetUp();
        Record = TempFile("vl4-e2e-window-record.csv");
        Set("settle-tau", "0");
        Set("damping", "4");
    }

    void Open(bool verify = false) {
        Connect();
        ASSERT_TRUE(Dialog.Open(Window, verify, WaitTimeoutMs));
    }

    // Returns once the dialog has handled the click: the calibration waits
    // again, or has ended.
    void Press(int id) {
        ASSERT_TRUE(Dialog.Enabled(id)) << id;
        Dialog.Click(id);
    }
    // Další starts; the first time in a run the record file is asked for,
    // in the Save dialog the click opens.
    void Start(bool askedForRecord = true) {
        if (!askedForRecord) return Press(Next);
        Dialog.PostClick(Next);
        ASSERT_TRUE(Dialog.AnswerFileDialog(Record, WaitTimeoutMs));
    }
    // The calibration asks for the probe to go into the next standard.
    bool WaitProbeReady() {
        return WaitFor([&] { return Dialog.Enabled(Next) && Dialog.Enabled(Interrupt); },
                       PointTimeoutMs);
    }
    bool WaitWrite() {
        return WaitFor([&] { return Dialog.Enabled(Write); }, PointTimeoutMs);
    }
    bool WaitFinished() {
        return WaitFor([&] { return !Dialog.Enabled(Interrupt) && Dialog.Enabled(Next); },
                       PointTimeoutMs);
    }
    std::string Steps() {
        std::string all;
        for (const std::string& line : Dialog.Steps()) all += line + "\n";
        return all;
    }

    RecordedDialog Dialog;
    std::string Record;
};

// vl4.exe calibrates the same electrode; the simulator is steered when its
// lines say a point begins.
int RunVl4(SimProcess& sim, const std::string& arguments,
           const std::vector<std::pair<std::string, std::string>>& moves, std::string& output) {
    ChildProcess vl4;
    if (!vl4.Start("\"" + WindowsPath(VL4_EXE) + "\" " + arguments)) return -1;
    std::string line;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 4 * PointTimeoutMs) {
        sim.Drain();
        if (!vl4.ReadLine(line, 100)) {
            if (!vl4.Running()) break;
            continue;
        }
        output += line + "\n";
        for (const auto& move : moves)
            if (line.compare(0, move.first.size(), move.first) == 0) sim.Command(move.second);
    }
    output += vl4.AllOutput(WaitTimeoutMs);
    return static_cast<int>(vl4.ExitCode());
}

// Two NIST buffers at 15 °C and a check, as a technician does them in the
// window; then the same with vl4 on the same electrode, found as the window
// found it. The two lines differ only where time and sampling differ.
TEST_F(RecordedCalibration, APhCalibrationWithACheckRecordsWhatVl4Records) {
    const std::string found[][2] = {
        {"offset", "0"}, {"sensitivity", "-59.16"}, {"caldate", "2024-03-15"}};
    for (const auto& value : found) Set(value[0], value[1]);
    Set("temperature", "15");
    Set("probe-offset", "5");
    Set("solution", "6.9");
    Open();
    Dialog.Choose(1); // Pufry NIST
    const std::pair<int, const char*> typed[] = {
        {Standard1, "6.86"},         {Standard2, "4.01"}, {Temperature, "15"}, {Check, "9.18"},
        {Technician, "J. Nov\xE1k"}, {Tag, "AT-101"},     {DueDays, "365"}};
    for (const auto& field : typed) Dialog.SetItemText(field.first, field.second);
    Start();
    ASSERT_TRUE(WaitProbeReady()) << Steps();
    Press(Next);
    ASSERT_TRUE(WaitProbeReady()) << Steps();
    Set("solution", "3.998");
    Press(Next);
    ASSERT_TRUE(WaitWrite()) << Steps();
    Press(Write);
    ASSERT_TRUE(WaitProbeReady()) << Steps();
    Set("solution", "9.276");
    Press(Next);
    ASSERT_TRUE(WaitFinished()) << Steps();

    // Written, shown as the transmitter returned it, its damping back.
    const std::vector<RecordRowText> window = Rows(Record);
    ASSERT_EQ(window.size(), 1u) << FileText(Record);
    const RecordRowText& w = window[0];
    EXPECT_EQ(w[RecOutcome], "written");
    EXPECT_EQ(w[RecCheckResult], "pass");
    EXPECT_EQ(w[RecTechnician], "J. Nov\xC3\xA1k");
    EXPECT_EQ(w[RecLeftDate], LocalTime::Now().IsoDate());
    EXPECT_EQ(Stored("damping"), "4");
    EXPECT_NEAR(std::stod(TextAt(Sensitivity)), std::stod(Stored("sensitivity")), 0.0006);
    EXPECT_EQ(w[RecLeftSensitivity].substr(0, 6), TextAt(Sensitivity).substr(0, 6));
    EXPECT_TRUE(Dialog.Enabled(Certificate));

    // The certificate of that line, in Czech, where the Save dialog says.
    const std::string certificate = TempFile("vl4-e2e-certificate.html");
    Dialog.PostClick(Certificate);
    ASSERT_TRUE(Dialog.AnswerFileDialog(certificate, WaitTimeoutMs));
    ASSERT_TRUE(WaitFor([&] { return !FileText(certificate).empty(); }, WaitTimeoutMs));
    EXPECT_NE(FileText(certificate).find("<html lang=\"cs\">"), std::string::npos);
    PostMessageA(Dialog.Handle, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(Dialog.WaitClosed(WaitTimeoutMs));

    // The history of the record, as a page in the browser.
    const std::string history = TempFile("vl4-historie.html"); // where the tool writes it
    PostMessageA(Window.Handle, WM_SYSCOMMAND, HistoryCommand, 0);
    ASSERT_TRUE(AnswerFileDialog(Window.ProcessId, Window.Handle, Record, WaitTimeoutMs));
    ASSERT_TRUE(WaitFor([&] { return !FileText(history).empty(); }, WaitTimeoutMs));
    EXPECT_NE(FileText(history).find("<html lang=\"cs\">"), std::string::npos);
    EXPECT_NE(FileText(history).find(w[RecProductionNumber]), std::string::npos);
    // The port is the tool's no more once it picks the port that is nobody's.
    ASSERT_TRUE(Window.PickPort("COM7"));

    for (const auto& value : found) Set(value[0], value[1]);
    Set("solution", "6.9");
    const std::string vl4Record = TempFile("vl4-e2e-vl4-record.csv");
    std::string output;
    ASSERT_EQ(RunVl4(Sim,
                     "calibrate COM5 --lang en --standard 6.86 --standard 4.01 --buffers nist "
                     "--temperature 15 --check 9.18 --technician \"J. Nov\xE1k\" --tag AT-101 "
                     "--due-days 365 --yes --record \"" +
                         vl4Record + "\"",
                     {{"point 2:", "set solution 3.998"}, {"check:", "set solution 9.276"}},
                     output),
              0)
        << output;
    const std::vector<RecordRowText> vl4 = Rows(vl4Record);
    ASSERT_EQ(vl4.size(), 1u) << output;
    const std::set<int> sampling = {RecTime,    RecSpread1,     RecDrift1,      RecReadings1,
                                    RecSettle1, RecSpread2,     RecDrift2,      RecReadings2,
                                    RecSettle2, RecReadingsMv1, RecReadingsMv2, RecCheckReadingsMv};
    for (int column = 0; column < RecordColumnCount; ++column)
        if (!sampling.count(column)) {
            EXPECT_EQ(w.Fields[column], vl4[0].Fields[column]) << RecordColumnNames[column];
        }
}

// Oxygen in air 500 m up: the solubility at the pressure there is the
// standard, as vl4 --air --altitude 500 takes it.
TEST_F(RecordedCalibration, OxygenInAirAtAnAltitude) {
    Set("probe", "3");
    Set("temperature", "20");
    const double pressure = PressureAtAltitude(500);
    Set("pressure", std::to_string(pressure));
    Set("solution", "air");
    Open();
    Dialog.Choose(1); // Vzduch
    Dialog.SetItemText(Temperature, "20");
    Dialog.SetItemText(Altitude, "500");
    Start();
    ASSERT_TRUE(WaitProbeReady()) << Steps();
    Press(Next);
    ASSERT_TRUE(WaitWrite()) << Steps();
    Press(Write);
    ASSERT_TRUE(WaitFinished()) << Steps();
    const std::vector<RecordRowText> rows = Rows(Record);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][RecStandardKind1], "air");
    EXPECT_NEAR(std::stod(rows[0][RecPressure]), pressure, 0.01);
    EXPECT_NEAR(std::stod(rows[0][RecStandardUsed1]), OxygenSolubility(20, pressure, 0), 0.001);
    EXPECT_NEAR(std::stod(rows[0][RecSlopePercent]), 100.0, 0.5) << "the electrode's own slope";
    EXPECT_EQ(rows[0][RecOutcome], "written");
    EXPECT_EQ(Stored("damping"), "4");
}

// Přerušit ends the point, the close box the dialog; neither writes, and the
// damping is back each time. The record file is asked for once a run.
TEST_F(RecordedCalibration, PrerusitAndTheCloseBoxDuringAPointWriteNothing) {
    Set("solution", "7");
    Open();
    Dialog.Click(OnePoint);
    Dialog.SetItemText(Standard1, "7");
    Requests();
    Start();
    ASSERT_TRUE(WaitProbeReady()) << Steps();
    Press(Next);
    ASSERT_TRUE(WaitFor([&] { return Stored("damping") == "0"; }, WaitTimeoutMs));
    Press(Interrupt);
    ASSERT_TRUE(WaitFinished()) << Steps();
    EXPECT_EQ(Stored("damping"), "4");

    Start(false);
    ASSERT_TRUE(WaitProbeReady()) << Steps();
    Press(Next);
    ASSERT_TRUE(WaitFor([&] { return Stored("damping") == "0"; }, WaitTimeoutMs));
    PostMessageA(Dialog.Handle, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(Dialog.WaitClosed(WaitTimeoutMs));
    EXPECT_EQ(Stored("damping"), "4");
    EXPECT_EQ(WriteCommands(Requests()),
              (std::vector<int>{DampingCommand, DampingCommand, DampingCommand, DampingCommand}));
    EXPECT_TRUE(Rows(Record).empty());
    EXPECT_TRUE(Window.Responds(WaitTimeoutMs));
}

// An offset of 80 mV is beyond a healthy electrode's: Zapsat asks once more,
// No is the default, and the record says it was declined.
TEST_F(RecordedCalibration, AnUnusualPairDeclinedIsRecordedAndNotWritten) {
    Set("probe-offset", "80");
    Set("solution", "7");
    Open();
    Dialog.Click(OnePoint);
    Dialog.SetItemText(Standard1, "7");
    Requests();
    Start();
    ASSERT_TRUE(WaitProbeReady()) << Steps();
    Press(Next);
    ASSERT_TRUE(WaitWrite()) << Steps();
    Dialog.PostClick(Write);
    std::string question;
    ASSERT_TRUE(Dialog.AnswerQuestion(IDNO, question, WaitTimeoutMs));
    EXPECT_NE(question.find("P\xF8"
                            "esto zapsat?"),
              std::string::npos)
        << question;
    ASSERT_TRUE(WaitFinished()) << Steps();
    const std::vector<RecordRowText> rows = Rows(Record);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][RecOutcome], "declined");
    EXPECT_EQ(WriteCommands(Requests()), (std::vector<int>{DampingCommand, DampingCommand}));
}

// A verification compares and writes nothing but its record line.
TEST_F(RecordedCalibration, AVerificationWritesNothing) {
    Set("solution", "7");
    Open(true);
    Dialog.Click(OnePoint);
    Dialog.SetItemText(Standard1, "7");
    Dialog.SetItemText(Tolerance, "0.05");
    EXPECT_FALSE(Dialog.Enabled(Check));
    Requests();
    Start();
    ASSERT_TRUE(WaitProbeReady()) << Steps();
    Press(Next);
    ASSERT_TRUE(WaitFinished()) << Steps();
    const std::vector<RecordRowText> rows = Rows(Record);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][RecOutcome], "verified");
    EXPECT_EQ(WriteCommands(Requests()), (std::vector<int>{DampingCommand, DampingCommand}));
}

} // namespace
} // namespace e2e
