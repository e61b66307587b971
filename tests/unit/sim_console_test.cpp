#include "sim/sim_console.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

struct SimConsole : ::testing::Test {
    // The command's output; the last line must be its verdict.
    std::vector<std::string> Run(const std::string& line, CommandResult expected) {
        std::vector<std::string> out;
        EXPECT_EQ(RunSimCommand(Model, line, out), expected) << line;
        EXPECT_FALSE(out.empty()) << line;
        if (!out.empty()) {
            const std::string verdict = out.back();
            EXPECT_EQ(verdict.rfind(expected == CommandResult::Error ? "error: " : "ok", 0), 0u)
                << line << " -> " << verdict;
        }
        return out;
    }
    void Ok(const std::string& line) { Run(line, CommandResult::Ok); }
    std::string Error(const std::string& line) { return Run(line, CommandResult::Error).back(); }
    // dump as name -> rest of line.
    std::map<std::string, std::string> Dump() {
        std::map<std::string, std::string> values;
        std::vector<std::string> out = Run("dump", CommandResult::Ok);
        for (size_t i = 0; i + 1 < out.size(); ++i) {
            size_t space = out[i].find(' ');
            values[out[i].substr(0, space)] = out[i].substr(space + 1);
        }
        return values;
    }
    Bytes Reply(uint8_t command) {
        Bytes wire;
        for (const SimReply& r : Model.Receive(RequestFrame(command))) wire = r.Wire;
        return wire;
    }

    TransmitterModel Model;
};

TEST_F(SimConsole, DumpShowsEveryValueAndFloatsWithTheirBits) {
    auto values = Dump();
    EXPECT_EQ(values["ident"], "VL4");
    EXPECT_EQ(values["firmware"], "0x0102");
    EXPECT_EQ(values["caldate"], "0x20240315");
    EXPECT_EQ(values["probe"], "0");
    EXPECT_EQ(values["sensitivity"], "-59.16 0xC26CA3D7");
    EXPECT_EQ(values["upper"], "14 0x41600000");
    EXPECT_EQ(values["pinned"], "no");
    EXPECT_EQ(values["requests"], "0");
    EXPECT_EQ(values["temperature"], "25 0x41C80000");
    EXPECT_EQ(values["slope"], "-59.16 0xC26CA3D7");
    EXPECT_EQ(values["settle-tau"], "0 0x00000000");
    EXPECT_EQ(values["settle-mv"], "previous");
    EXPECT_EQ(values["drift"], "0 0x00000000");
    for (const char* name :
         {"production", "wiring", "damping", "lower", "offset", "depth", "solution", "voltage",
          "value", "ratio", "noise", "probe-offset", "probe-sensitivity"}) {
        EXPECT_EQ(values.count(name), 1u) << name;
    }
    EXPECT_EQ(FloatText(1.5e-10f), "1.5e-10 0x2F24ED3F");
    EXPECT_EQ(FloatText(-0.0f), "-0 0x80000000");
    EXPECT_EQ(FloatText(0.1f), "0.1 0x3DCCCCCD");
}

TEST_F(SimConsole, SetStoresValuesAsGivenAndTheLineReportsThem) {
    Ok("set ident ZD2W50");
    EXPECT_EQ(Reply(CmdIdentify), ReplyFrame({'Z', 'D', '2', 'W', '5', '0', 0, 0}));
    Ok("set ident \\x01AB C");
    EXPECT_EQ(Dump()["ident"], "\\x01AB\\x20C");
    Ok("set ident \\x00");
    EXPECT_EQ(Reply(CmdIdentify), ReplyFrame(Bytes(8, 0)));
    // Values a device would limit can still be set here, so that tests can
    // show them to the tool.
    Ok("set damping 40");
    Ok("set probe 6");
    Ok("set wiring 4");
    EXPECT_EQ(Reply(CmdDamping), ReplyFrame({40}));
    EXPECT_EQ(Reply(CmdProbeType), ReplyFrame({6}));
    Ok("set firmware 0x021A");
    EXPECT_EQ(Reply(CmdFirmwareVersion), ReplyFrame({0x1A, 0x02}));
    Ok("set production -1");
    EXPECT_EQ(Reply(CmdProductionNumber), ReplyFrame({0xFF, 0xFF, 0xFF, 0xFF}));
    Ok("set caldate 2026-12-06");
    EXPECT_EQ(Reply(CmdCalibrationDate), ReplyFrame({0x06, 0x12, 0x26, 0x20}));
    Ok("set caldate 0x00000000");
    EXPECT_EQ(Model.Values.CalibrationDate, 0u);
    Ok("set offset 0x3FC00000");
    Ok("set depth -2.5");
    EXPECT_EQ(Model.Values.Offset, 1.5f);
    EXPECT_EQ(Dump()["depth"], "-2.5 0xC0200000");
    Ok("set damping 08");
    EXPECT_EQ(Model.Values.Damping, 8);
}

TEST_F(SimConsole, TheProbeIsSteeredBySolutionOrPinnedVoltage) {
    Ok("set solution 4");
    EXPECT_EQ(Dump()["voltage"], FloatText(177.48f));
    Ok("set voltage -120.5");
    auto values = Dump();
    EXPECT_EQ(values["voltage"], "-120.5 0xC2F10000");
    EXPECT_EQ(values["pinned"], "yes");
    Ok("set solution 7");
    EXPECT_EQ(Dump()["pinned"], "no");
    Ok("set probe-offset 12");
    Ok("set probe-sensitivity -57");
    Ok("set solution 9");
    EXPECT_EQ(Dump()["voltage"], FloatText(-102.0f));
    Ok("set probe-sensitivity nominal");
    EXPECT_EQ(Dump()["probe-sensitivity"], FloatText(-59.16f));
    Ok("set noise 0.5");
    EXPECT_EQ(Model.Probe.NoiseMv, 0.5f);
    Ok("set seed 42");
    Ok("set noise 0");

    // The bench's settling electrode, its moves, its drift and temperature.
    double now = 0;
    Model.Probe.Now = [&] { return now; };
    Ok("set probe-offset 10");
    Ok("set settle-mv 30");
    Ok("set settle-tau 8");
    Ok("set solution 7");
    EXPECT_EQ(Dump()["voltage"], FloatText(40.0f));
    now = 1000;
    EXPECT_EQ(Dump()["voltage"], FloatText(10.0f));
    Ok("move");
    EXPECT_EQ(Dump()["voltage"], FloatText(40.0f));
    Ok("set settle-mv previous");
    Ok("set voltage 20");
    EXPECT_EQ(Dump()["voltage"], FloatText(40.0f)) << "settles from the voltage before";
    EXPECT_EQ(Dump()["settle-mv"], "previous");
    Ok("set settle-tau 0");
    Ok("move");
    Ok("set drift -1.5");
    now += 60;
    values = Dump();
    EXPECT_EQ(values["voltage"], FloatText(18.5f));
    EXPECT_EQ(values["drift"], FloatText(-1.5f));
    Ok("set temperature 15");
    EXPECT_EQ(Model.Probe.TemperatureC, 15.0f);
    EXPECT_EQ(Dump()["slope"].rfind("-57.17", 0), 0u) << "59.16 mV at 288.15 K of 298.15 K";
}

TEST_F(SimConsole, AnOxygenProbeStandsInAirAChlorineProbeInWaterOfAPh) {
    auto values = Dump();
    EXPECT_EQ(values["pressure"], "1013.25 0x447D5000");
    EXPECT_EQ(values["salinity"], "0 0x00000000");
    EXPECT_EQ(values["ph"], "7.2 0x40E66666");
    EXPECT_EQ(values["air-oxygen"].rfind("8.263", 0), 0u) << values["air-oxygen"];

    Ok("set probe 3");
    Ok("set temperature 15");
    Ok("set pressure 954.61");
    Ok("set solution air");
    values = Dump();
    EXPECT_EQ(values["solution"], "air");
    EXPECT_EQ(values["air-oxygen"].rfind("9.49", 0), 0u) << values["air-oxygen"];
    EXPECT_NEAR(std::strtod(values["voltage"].c_str(), nullptr), 9 * 9.491, 9 * 0.0005);
    Ok("set salinity 35");
    EXPECT_EQ(Dump()["salinity"], "35 0x420C0000");
    Ok("set solution 0");
    values = Dump();
    EXPECT_EQ(values["solution"], "0 0x00000000");
    EXPECT_EQ(values["voltage"], "0 0x00000000");

    Ok("set probe 2");
    Ok("set solution 1.5");
    Ok("set ph 7.5");
    EXPECT_EQ(Dump()["ph"], "7.5 0x40F00000");

    for (const char* bad : {"set pressure -1", "set pressure inf", "set salinity -0.5",
                            "set salinity much", "set ph nan", "set solution water"})
        EXPECT_EQ(Error(bad).rfind("error: bad value for ", 0), 0u) << bad;
    EXPECT_EQ(Error("set air-oxygen 9"), "error: air-oxygen is read-only");
    values = Dump();
    EXPECT_EQ(values["pressure"], "954.61 0x446EA70A");
    EXPECT_EQ(values["ph"], "7.5 0x40F00000");
    EXPECT_EQ(values["solution"], "1.5 0x3FC00000");
}

TEST_F(SimConsole, BadCommandsChangeNothing) {
    EXPECT_EQ(Error("set damping 256"), "error: bad value for damping");
    EXPECT_EQ(Error("set firmware 0x10000"), "error: bad value for firmware");
    EXPECT_EQ(Error("set offset 1.5x"), "error: bad value for offset");
    EXPECT_EQ(Error("set ident ABCDEFGHI"), "error: bad value for ident");
    EXPECT_EQ(Error("set noise -1"), "error: bad value for noise");
    EXPECT_EQ(Error("set voltage abc"), "error: bad value for voltage");
    EXPECT_EQ(Error("set probe-sensitivity steep"), "error: bad value for probe-sensitivity");
    for (const char* bad : {"set temperature -300", "set temperature inf", "set settle-tau -1",
                            "set settle-tau nan", "set settle-mv soon", "set settle-mv inf",
                            "set drift fast", "set drift -inf", "set noise inf"}) {
        EXPECT_EQ(Error(bad).rfind("error: bad value for ", 0), 0u) << bad;
    }
    EXPECT_EQ(Error("set slope 3"), "error: slope is read-only");
    EXPECT_EQ(Error("move now"), "error: move takes nothing after it");
    EXPECT_EQ(Error("set value 3"), "error: value is read-only");
    EXPECT_EQ(Error("set colour red"), "error: no value named colour");
    EXPECT_EQ(Error("set damping"), "error: set NAME VALUE");
    EXPECT_EQ(Error("reboot"), "error: unknown command reboot");
    auto values = Dump();
    EXPECT_EQ(values["damping"], "5");
    EXPECT_EQ(values["offset"], "0 0x00000000");
    EXPECT_EQ(values["ident"], "VL4");
    EXPECT_EQ(values["pinned"], "no");
    EXPECT_EQ(values["probe-sensitivity"], FloatText(-59.16f));
    EXPECT_EQ(values["temperature"], FloatText(25.0f));
    EXPECT_EQ(values["settle-tau"], FloatText(0.0f));
    EXPECT_EQ(values["settle-mv"], "previous");
    EXPECT_EQ(values["drift"], FloatText(0.0f));
    EXPECT_EQ(values["noise"], FloatText(0.0f));

    std::vector<std::string> out;
    EXPECT_EQ(RunSimCommand(Model, "   ", out), CommandResult::Ok);
    EXPECT_EQ(RunSimCommand(Model, "# a comment", out), CommandResult::Ok);
    EXPECT_TRUE(out.empty());
    EXPECT_EQ(Run("quit", CommandResult::Quit).back(), "ok");
}

TEST_F(SimConsole, FaultCommandsArmTheFaultPlan) {
    Ok("fault noreply 3");
    Ok("fault badsum");
    Ok("fault garbage inside 2");
    Ok("fault late 400 unique 2");
    EXPECT_EQ(Model.Faults.Armed(Fault::NoReply), 3u);
    EXPECT_EQ(Model.Faults.Armed(Fault::BadChecksum), 1u);
    EXPECT_EQ(Model.Faults.Armed(Fault::GarbageInside), 2u);
    EXPECT_EQ(Model.Faults.Armed(Fault::Late), 2u);
    Ok("fault clear");
    for (int kind = 0; kind < static_cast<int>(Fault::Kinds); ++kind) {
        EXPECT_EQ(Model.Faults.Armed(static_cast<Fault>(kind)), 0u) << kind;
    }

    Ok("fault ident XYZ");
    EXPECT_EQ(Reply(CmdIdentify), ReplyFrame({'X', 'Y', 'Z', 0, 0, 0, 0, 0}));
    Ok("fault late 300");
    Ok("fault cut 2");
    EXPECT_EQ(Model.Faults.Armed(Fault::Late), 1u);
    EXPECT_EQ(Model.Receive(RequestFrame(CmdDamping))[0].DelayMs, 300u);
    Ok("fault badstart");
    Ok("fault badlength 1");
    Ok("fault garbage before");
    Ok("fault garbage after 5");
    EXPECT_EQ(Model.Faults.Armed(Fault::GarbageAfter), 5u);
    Ok("fault clear");
    Ok("fault garbage inside 500 bytes 2");
    EXPECT_EQ(Model.Faults.Armed(Fault::GarbageInside), 2u);
    EXPECT_EQ(Reply(CmdProbeType).size(), 4u + 500u);
    Ok("fault garbage before 1 bytes");
    EXPECT_EQ(Model.Faults.Armed(Fault::GarbageBefore), 1u);
    Ok("fault gap 150");
    Ok("fault drip 90 3");
    EXPECT_EQ(Model.Faults.Armed(Fault::Gap), 1u);
    EXPECT_EQ(Model.Faults.Armed(Fault::Drip), 3u);

    for (const char* bad :
         {"fault late", "fault late soon", "fault noreply 1 2", "fault garbage",
          "fault garbage middle", "fault ident ABCDEFGHI", "fault clear now", "fault cut -1",
          "fault late 400 later", "fault garbage after 0 bytes", "fault garbage after 4097 bytes",
          "fault garbage after 5 bytes 2 3", "fault garbage after many bytes", "fault gap",
          "fault drip soon", "fault gap 100 2 3"}) {
        EXPECT_EQ(Error(bad).rfind("error: bad arguments for fault", 0), 0u) << bad;
    }
    EXPECT_EQ(Error("fault flood"), "error: no fault named flood");
    EXPECT_EQ(Error("fault"), "error: fault KIND [ARGS] [COUNT]");
    EXPECT_EQ(Model.Faults.Armed(Fault::NoReply), 0u);
}

} // namespace
