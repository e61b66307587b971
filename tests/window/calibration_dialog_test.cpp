#include "app/calibration_dialog.h"
#include "core/number_text.h"
#include "shown_text.h"
#include "window/app_dialog_fixture.h"

#include <commctrl.h>

using namespace fwtest;

namespace {

using CalDialog = Recorder<CalibrationDialog>;
using D = CalibrationDialog;

const ShownBox BadPoints = {"Kalibrace",
                            "Chyba kalibra\xE8n\xED"
                            "ch bod\xF9.",
                            MB_ICONERROR};

void Tick(HWND dialog, int count = 1) {
    for (int i = 0; i < count; ++i) SendMessageA(dialog, WM_TIMER, D::SampleTimerId, 0);
}

int Progress(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageA(dialog, D::ProgressId, PBM_GETPOS, 0, 0));
}

// Types the standard and starts the point; a whole point's sampling follows
// unless the tick count says otherwise. A whole point is ticked until its
// sampling ends (the progress bar back at 0): on a loaded machine a read may
// miss its time-out, and a failed tick does not count.
void Measure(HWND dialog, int point, const char* standard, int ticks = SamplesPerPoint) {
    SetDlgItemTextA(dialog, point == 1 ? D::Standard1Id : D::Standard2Id, standard);
    Click(dialog, point == 1 ? D::Point1Id : D::Point2Id);
    Tick(dialog, ticks);
    if (ticks != SamplesPerPoint) return;
    for (int extra = 0; extra < SamplesPerPoint && Progress(dialog) != 0; ++extra) Tick(dialog);
}

bool Checked(HWND dialog) {
    return IsDlgButtonChecked(dialog, D::SinglePointId) == BST_CHECKED;
}

std::vector<bool> SecondRowEnabled(HWND dialog) {
    return {ItemEnabled(dialog, D::Standard2Id), ItemEnabled(dialog, D::Value2Id),
            ItemEnabled(dialog, D::Voltage2Id), ItemEnabled(dialog, D::Point2Id)};
}
const std::vector<bool> AllEnabled(4, true), NoneEnabled(4, false);

uint32_t Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return BcdDate(now.wYear, now.wMonth, now.wDay);
}

struct CalibrationDialogTest : AppDialogTest {
    CalDialog* NewDialog() { return new CalDialog(main, Link, *CalibrationFields); }
    std::vector<ShownBox> Boxes;
};

TEST_F(CalibrationDialogTest, SamplesBothPointsAndWritesAPhCalibrationWithTodaysDate) {
    Steer("set voltage 171.3");
    CalDialog* dialog = NewDialog();
    const uint32_t dayBefore = Today();
    Script(dialog, {[&](HWND h) {
               EXPECT_EQ(ItemText(h, D::ProbeNameId), "pH");
               EXPECT_EQ(ItemText(h, D::VoltageId), "171.300");
               EXPECT_EQ(Commands(), (std::vector<int>{43, 36}));
               EXPECT_FALSE(Checked(h)) << "two points by default";
               EXPECT_TRUE(ItemEnabled(h, D::SinglePointId));
               EXPECT_EQ(SecondRowEnabled(h), AllEnabled);
               EXPECT_EQ(SendDlgItemMessageA(h, D::ProgressId, PBM_GETRANGE, FALSE, 0), 66);

               Measure(h, 1, "4.01", 0);
               EXPECT_EQ(ItemText(h, D::Value1Id), "4.01");
               EXPECT_EQ(GetFocus(), GetDlgItem(h, IDOK));
               EXPECT_FALSE(ItemEnabled(h, D::Point1Id));
               // While a point samples, the other point, this point and OK do nothing.
               SetDlgItemTextA(h, D::Standard2Id, "9.21");
               Click(h, D::Point2Id);
               SendMessageA(h, WM_COMMAND, MAKEWPARAM(D::Point1Id, BN_CLICKED),
                            reinterpret_cast<LPARAM>(GetDlgItem(h, D::Point1Id)));
               ClickThroughBox(h, IDOK);
               EXPECT_EQ(ItemText(h, D::Value2Id), "");
               EXPECT_EQ(dialog->SamplingPoint, 1);
               Tick(h, SamplesPerPoint - 1);
               EXPECT_EQ(Progress(h), 65);
               EXPECT_EQ(ItemText(h, D::Voltage1Id), "");
               Tick(h);
               EXPECT_EQ(ItemText(h, D::Voltage1Id), "171.300");
               EXPECT_TRUE(ItemEnabled(h, D::Point1Id));
               EXPECT_EQ(Progress(h), 0);

               Steer("set voltage -165.3");
               Measure(h, 2, "9,21", SamplesPerPoint / 2);
               SaveScreenshot(h, "calibration-dialog");
               Tick(h, SamplesPerPoint / 2);
               EXPECT_EQ(ItemText(h, D::Value2Id), "9.21");
               EXPECT_EQ(ItemText(h, D::Voltage2Id), "-165.300");
               EXPECT_TRUE(ItemEnabled(h, D::Point2Id));
               Commands();
               ClickThroughBox(h, IDOK);
           }},
           &Boxes);
    EXPECT_EQ(app.RunDialog(dialog), IDOK);
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(Commands(), (std::vector<int>{48, 49, 45}));
    // The means are exact only when summed in double precision.
    const float sensitivity = -64.73077392578125f, offset = -22.244997024536133f;
    uint32_t date = 0;
    Model([&](TransmitterModel& m) {
        EXPECT_EQ(m.Values.Sensitivity, sensitivity);
        EXPECT_EQ(m.Values.Offset, offset);
        date = m.Values.CalibrationDate;
    });
    EXPECT_TRUE(date == dayBefore || date == Today()) << std::hex << date;
    EXPECT_EQ(TextOf(OffsetEdit), "-22.245");
    EXPECT_EQ(TextOf(SensitivityEdit), "-64.731");
    EXPECT_EQ(TextOf(DateDisplay), ShownDate(date));
}

// Also a type byte beyond the four whose name shows Redox (5 AND 3 = 1).
TEST_F(CalibrationDialogTest, RedoxTakesOnePointWithANegativeStandard) {
    Steer("set voltage -150.25");
    for (const char* type : {"1", "5"}) {
        SCOPED_TRACE(type);
        Steer(std::string("set probe ") + type);
        CalDialog* dialog = NewDialog();
        bool timerOnDialog = false;
        Script(dialog, {[&](HWND h) {
                   EXPECT_EQ(ItemText(h, D::ProbeNameId), "Redox");
                   EXPECT_TRUE(Checked(h));
                   EXPECT_FALSE(ItemEnabled(h, D::SinglePointId));
                   EXPECT_EQ(SecondRowEnabled(h), NoneEnabled);
                   Measure(h, 1, "-200");
                   EXPECT_EQ(ItemText(h, D::Value1Id), "-200.00");
                   timerOnDialog = KillTimer(h, D::SampleTimerId);
                   Commands();
                   ClickThroughBox(h, IDOK);
               }},
               &Boxes);
        EXPECT_EQ(app.RunDialog(dialog), IDOK);
        EXPECT_TRUE(timerOnDialog);
        EXPECT_TRUE(Boxes.empty());
        EXPECT_EQ(Commands(), (std::vector<int>{48, 49, 45}));
        Model([](TransmitterModel& m) {
            EXPECT_EQ(m.Values.Offset, 49.75f);
            EXPECT_EQ(m.Values.Sensitivity, 1.0f);
        });
        EXPECT_EQ(TextOf(OffsetEdit), "49.750");
        EXPECT_EQ(TextOf(SensitivityEdit), "1.000");
    }
}

// A type byte beyond the four whose name shows pH (4 AND 3 = 0) is
// calibrated as pH. Buffers typed the wrong way round give a rising slope,
// which no pH electrode has: refused like a bad point set. A worn
// electrode's 70 % is written only when the user says so.
TEST_F(CalibrationDialogTest, ImpossiblePairsAreRefusedAndUnusualPhPairsAskFirst) {
    Steer("set probe 4");
    CalDialog* dialog = NewDialog();
    std::vector<int> afterNo;
    bool keptAfterNo = false;
    Script(dialog,
           {[&](HWND h) {
                EXPECT_EQ(ItemText(h, D::ProbeNameId), "pH");
                EXPECT_FALSE(Checked(h));
                Steer("set voltage 5");
                Measure(h, 1, "7");
                Steer("set voltage -118.8");
                Measure(h, 2, "4.01");
                Commands();
                ClickThroughBox(h, IDOK);
            },
            [&](HWND h) {
                Steer("set voltage 128.8");
                Measure(h, 2, "4.01");
                Commands();
                ClickThroughBox(h, IDOK, IDNO);
            },
            [&](HWND h) {
                afterNo = Commands();
                keptAfterNo = dialog->Point1Valid && dialog->Point2Valid &&
                              ItemText(h, D::Voltage2Id) == "128.800";
                ClickThroughBox(h, IDOK, IDYES);
            }},
           &Boxes);
    EXPECT_EQ(app.RunDialog(dialog), IDOK);
    const ShownBox question = {"Kalibrace",
                               "Strmost sondy: 70 % jmenovit\xE9, posun: 5 mV.\n"
                               "Hodnoty jsou mimo obvykl\xFD rozsah. P\xF8"
                               "esto zapsat?",
                               MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2};
    EXPECT_EQ(Boxes, (std::vector<ShownBox>{BadPoints, question, question}));
    EXPECT_TRUE(afterNo.empty()) << "declined, nothing written";
    EXPECT_TRUE(keptAfterNo) << "the dialog stays with its points";
    EXPECT_EQ(Commands(), (std::vector<int>{48, 49, 45}));
    const float slope = static_cast<float>((static_cast<double>(128.8f) - 5.0) / (4.01f - 7.0));
    Model([&](TransmitterModel& m) {
        EXPECT_EQ(m.Values.Sensitivity, slope);
        EXPECT_EQ(m.Values.Offset, 5.0f) << "the voltage at pH 7";
    });
}

// Chlorine: the standards are not negative, one point needs a standard other
// than 0, two points need different standards and a slope.
TEST_F(CalibrationDialogTest, BadStandardsAndPointSetsAreRefused) {
    Steer("set probe 2");
    Steer("set voltage 30");
    CalDialog* dialog = NewDialog();
    std::vector<std::string> shownForBadTexts;
    Script(dialog,
           {[&](HWND h) {
                for (const char* text : {"", "-1", "inf", "nan", "1.00000000000000", "4.01x"}) {
                    Measure(h, 1, text, 0);
                    shownForBadTexts.push_back(ItemText(h, D::Value1Id));
                    EXPECT_EQ(dialog->SamplingPoint, 0);
                    EXPECT_TRUE(ItemEnabled(h, D::Point1Id));
                }
                ClickThroughBox(h, IDOK); // nothing measured
            },
            [&](HWND h) {
                Click(h, D::SinglePointId);
                EXPECT_EQ(SecondRowEnabled(h), NoneEnabled);
                Measure(h, 1, "0");
                ClickThroughBox(h, IDOK); // one point at 0
            },
            [&](HWND h) {
                Click(h, D::SinglePointId);
                EXPECT_EQ(SecondRowEnabled(h), AllEnabled);
                Measure(h, 2, "0");
                ClickThroughBox(h, IDOK); // equal standards
            },
            [&](HWND h) {
                Measure(h, 2, "2");
                ClickThroughBox(h, IDOK); // equal voltages: no slope
            },
            [&](HWND h) {
                Steer("set voltage 90");
                Measure(h, 2, "2");
                Measure(h, 1, "-5", 0); // a rejected standard takes its point back
                EXPECT_EQ(ItemText(h, D::Value1Id), "Chyba");
                EXPECT_EQ(ItemText(h, D::Voltage1Id), "30.000") << "kept";
                ClickThroughBox(h, IDOK);
            },
            [&](HWND h) {
                Steer("set voltage 30");
                Measure(h, 1, "0");
                Commands();
                ClickThroughBox(h, IDOK);
            }},
           &Boxes);
    EXPECT_EQ(app.RunDialog(dialog), IDOK);
    EXPECT_EQ(shownForBadTexts, std::vector<std::string>(6, "Chyba"));
    EXPECT_EQ(Boxes, std::vector<ShownBox>(5, BadPoints));
    EXPECT_EQ(Commands(), (std::vector<int>{48, 49, 45}));
    Model([](TransmitterModel& m) {
        EXPECT_EQ(m.Values.Sensitivity, 30.0f);
        EXPECT_EQ(m.Values.Offset, 30.0f);
    });
}

TEST_F(CalibrationDialogTest, OnePointCheckedWhileTheSecondPointSamples) {
    Steer("set voltage 12.5");
    CalDialog* dialog = NewDialog();
    Script(dialog, {[&](HWND h) {
               Measure(h, 2, "9.21", 10);
               // A tick without a reading counts nothing, and its voltage is
               // cleared as a live value is: a frozen voltage with the cable
               // out would look like a steady probe. The next one fills it.
               Steer("set voltage 99");
               FailNext(36);
               Tick(h);
               EXPECT_EQ(dialog->Samples.Count(), 10);
               EXPECT_EQ(Progress(h), 10);
               EXPECT_EQ(ItemText(h, D::VoltageId), "");
               Steer("set voltage 12.5");
               Click(h, D::SinglePointId);
               Tick(h, SamplesPerPoint - 10);
               EXPECT_EQ(ItemText(h, D::VoltageId), "12.500");
               EXPECT_EQ(dialog->SamplingPoint, 0);
               EXPECT_TRUE(dialog->Point2Valid);
               EXPECT_EQ(ItemText(h, D::Voltage2Id), "12.500");
               EXPECT_EQ(SecondRowEnabled(h), NoneEnabled);
               Click(h, D::SinglePointId);
               EXPECT_EQ(SecondRowEnabled(h), AllEnabled);
               PressEscape(h);
           }});
    EXPECT_EQ(app.RunDialog(dialog), IDCANCEL);
}

TEST_F(CalibrationDialogTest, AFailedWriteKeepsTheDialogOpenAndFieldsShowTheReplies) {
    Steer("set voltage 17.3");
    CalDialog* dialog = NewDialog();
    std::string offsetShown, sensitivityShown, dateShown;
    Script(dialog,
           {[&](HWND h) {
                Click(h, D::SinglePointId);
                Measure(h, 1, "7");
                FailNext(49);
                ClickThroughBox(h, IDOK);
            },
            [&](HWND h) {
                offsetShown = TextOf(OffsetEdit);
                sensitivityShown = TextOf(SensitivityEdit);
                dateShown = TextOf(DateDisplay);
                // Each reply now carries bytes of its own: the late reply
                // count in the low digit of the first byte, A0 in the others.
                Steer("fault late 0 unique 3");
                Commands();
                ClickThroughBox(h, IDOK);
            }},
           &Boxes);
    EXPECT_EQ(app.RunDialog(dialog), IDOK);
    EXPECT_EQ(Boxes, (std::vector<ShownBox>{{"Kalibrace", "Chyba komunikace", MB_ICONERROR}}));
    EXPECT_EQ(offsetShown, "17.300");
    EXPECT_EQ(sensitivityShown, "old");
    EXPECT_EQ(dateShown, ShownDate(Today()));
    EXPECT_EQ(Commands(), (std::vector<int>{48, 49, 45}));
    Model([](TransmitterModel& m) {
        EXPECT_EQ(m.Values.Offset, 17.3f);
        EXPECT_EQ(m.Values.Sensitivity, -58.0f);
    });
    EXPECT_EQ(TextOf(OffsetEdit), "-0.000") << "0xA0A0A0A1";
    EXPECT_EQ(TextOf(SensitivityEdit), "-0.000") << "0xA0A0A0A2";
    EXPECT_EQ(TextOf(DateDisplay), "a0a0-a0-a3");
}

TEST_F(CalibrationDialogTest, EscapeWritesNothingAndTheTimerEndsWithTheWindow) {
    CalDialog* dialog = NewDialog();
    BOOL timerLeft = TRUE;
    Script(dialog, {[](HWND h) { Measure(h, 1, "4.01", 5); }, PressEscape});
    auto script = dialog->Hook;
    dialog->Hook = [&, script](MessageRecord& msg) {
        if (msg.Msg == WM_NCDESTROY) timerLeft = KillTimer(msg.Hwnd, D::SampleTimerId);
        return script(msg);
    };
    EXPECT_EQ(app.RunDialog(dialog), IDCANCEL);
    EXPECT_FALSE(timerLeft);
    EXPECT_EQ(Commands(), (std::vector<int>{43, 36, 36, 36, 36, 36, 36})) << "setup, five ticks";
    EXPECT_EQ(TextOf(OffsetEdit), "old");
}

TEST_F(CalibrationDialogTest, WithoutTheProbeTypeNothingCanBeMeasured) {
    FailNext(43);
    CalDialog* dialog = NewDialog();
    Script(dialog,
           {[&](HWND h) {
                EXPECT_EQ(ItemText(h, D::ProbeNameId), "Chyba komunikace");
                EXPECT_EQ(ItemText(h, D::VoltageId), "");
                for (int id : {D::SinglePointId, D::Point1Id, D::Point2Id})
                    EXPECT_FALSE(ItemEnabled(h, id)) << id;
                for (int id : {D::Standard1Id, D::Standard2Id, IDOK})
                    EXPECT_TRUE(ItemEnabled(h, id)) << id;
                EXPECT_EQ(dialog->TimerStarted, 0u);
                EXPECT_FALSE(KillTimer(h, D::SampleTimerId));
                ClickThroughBox(h, IDOK);
            },
            PressEscape},
           &Boxes);
    EXPECT_EQ(app.RunDialog(dialog), IDCANCEL);
    EXPECT_EQ(Boxes, std::vector<ShownBox>{BadPoints});
    EXPECT_EQ(Commands(), std::vector<int>{43});
}

} // namespace
