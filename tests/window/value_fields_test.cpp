#include "app/value_fields.h"
#include "window/control_fixture.h"

#include <commctrl.h>

#include <cmath>

using namespace fwtest;

namespace {

using ValueFieldTest = ControlTest;

// Wine would load the library for the first progress bar on its own; Windows
// does not.
TEST(CommonControls, AreLoadedBeforeAnyWindowIsMade) {
    EXPECT_NE(GetModuleHandleA("comctl32.dll"), nullptr);
}

TEST_F(ValueFieldTest, ValueDisplayShowsNumbersVersionsDatesAndNames) {
    auto* display = Add<ValueDisplay>("start", 10, 10, 150, 20, 2);
    EXPECT_EQ(NativeStyle(display), 0x50020002u);
    EXPECT_EQ(NativeExStyle(display), static_cast<DWORD>(WS_EX_CLIENTEDGE));
    EXPECT_EQ(GetDlgCtrlID(display->Handle), 0);
    EXPECT_EQ(TextOf(display), "start");
    auto shown = [&](auto show) {
        show();
        return TextOf(display);
    };
    EXPECT_EQ(shown([&] { display->ShowFloat(-59.16f); }), "-59.16");
    display->Decimals = 3;
    EXPECT_EQ(shown([&] { display->ShowFloat(1.5f); }), "1.500");
    EXPECT_EQ(shown([&] { display->ShowInteger(-2147483647 - 1); }), "-2147483648");
    EXPECT_EQ(shown([&] { display->ShowVersion(0x0A10); }), "a.10");
    EXPECT_EQ(shown([&] { display->ShowDate(0x20261206); }), "2026-12-06");
    EXPECT_EQ(shown([&] { display->ShowDate(CalibrationDate{0x15, 0x03, 0x2024}); }), "2024-03-15");
    EXPECT_EQ(shown([&] { display->ShowProbeType(4); }), "pH");
    EXPECT_EQ(shown([&] { display->ShowProbeType(7); }), "Kysl\xEDk");
    EXPECT_EQ(shown([&] { display->ShowOutputWiring(255); }), "Pasivn\xED 4 a\x9E 20 mA");

    auto* bound = Bind<ValueDisplay>("Static", SS_CENTER, 201, 1);
    EXPECT_EQ(NativeStyle(bound) & SS_TYPEMASK, static_cast<DWORD>(SS_CENTER)) << "the template's";
    bound->ShowFloat(2.25f);
    EXPECT_EQ(TextOf(bound), "2.3");
    EXPECT_EQ(bound->Transfer(nullptr, WindowObject::TransferGet), 0) << "no text in a transfer";
}

TEST_F(ValueFieldTest, ValueEditReadsWhatIsWhollyANumber) {
    auto* edit = Add<ValueEdit>("", 10, 10, 200, 24, 105, 1);
    EXPECT_EQ(NativeStyle(edit), 0x50030002u);
    EXPECT_EQ(NativeExStyle(edit), static_cast<DWORD>(WS_EX_CLIENTEDGE));
    EXPECT_EQ(GetDlgCtrlID(edit->Handle), 105);
    edit->ShowFloat(-0.25f);
    EXPECT_EQ(TextOf(edit), "-0.3");

    struct Case {
        const char* Text;
        float Full; // ReadFloat
        bool Short; // TryReadFloat
        float ShortValue;
        bool Finite; // ReadFiniteFloat
    };
    const float nan = NAN, inf = INFINITY;
    const Case cases[] = {
        {"12,5", 12.5f, true, 12.5f, true},
        {"1e3", 1000.0f, true, 1000.0f, true},
        {"", 0.0f, false, 0.0f, false},
        {"12 mV", 0.0f, false, 0.0f, false},
        {"1e39", 0.0f, false, 0.0f, false},
        {"nan", nan, true, nan, false},
        {"-INF", -inf, true, -inf, false},
        {"123456789012345", 123456789012345.0f, true, 123456789012345.0f, true},
        {"1234567890123456", 1234567890123456.0f, false, 0.0f, true},
        {"12345678901234567890123", 12345678901234567890123.0f, false, 0.0f, true},
        {"123456789012345678901234", 0.0f, false, 0.0f, false},
    };
    auto same = [](float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        edit->SetText(c.Text);
        EXPECT_PRED2(same, edit->ReadFloat(), c.Full);
        float value = 99.0f;
        EXPECT_EQ(edit->TryReadFloat(value), c.Short);
        EXPECT_PRED2(same, value, c.ShortValue) << "stored whatever the answer";
        value = 99.0f;
        EXPECT_EQ(edit->ReadFiniteFloat(value), c.Finite);
        EXPECT_PRED2(same, value, c.Finite ? c.Full : 99.0f) << "written only on success";
    }
}

TEST_F(ValueFieldTest, ProgressBarStartsGreyFromZeroToAHundredInSteps) {
    auto* bar = Bind<ProgressBar>(PROGRESS_CLASSA, 0, 201);
    char nativeClass[32] = {};
    GetClassNameA(bar->Handle, nativeClass, sizeof nativeClass);
    EXPECT_STRCASEEQ(nativeClass, "msctls_progress32");
    EXPECT_EQ(SendMessageA(bar->Handle, PBM_GETRANGE, TRUE, 0), 0);
    EXPECT_EQ(SendMessageA(bar->Handle, PBM_GETRANGE, FALSE, 0), 100);
    EXPECT_EQ(SendMessageA(bar->Handle, PBM_GETBKCOLOR, 0, 0), RGB(192, 192, 192));
    bar->SetPosition(40);
    bar->StepIt();
    EXPECT_EQ(SendMessageA(bar->Handle, PBM_GETPOS, 0, 0), 41) << "step 1";
    bar->SetStep(10);
    bar->StepIt();
    EXPECT_EQ(SendMessageA(bar->Handle, PBM_GETPOS, 0, 0), 51);
    bar->SetRange(10, 20);
    EXPECT_EQ(SendMessageA(bar->Handle, PBM_GETRANGE, TRUE, 0), 10);
    EXPECT_EQ(SendMessageA(bar->Handle, PBM_GETRANGE, FALSE, 0), 20);
}

} // namespace
