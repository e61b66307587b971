// A full read-out, as the tool shows it, against the simulator over the cable.
#include "core/readout.h"
#include "line/sim_on_cable.h"
#include "sim/sim_console.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ReadoutOnCable, ShowsEveryValueTheTransmitterHoldsAsTheToolDoes) {
    SimOnCable sim;
    ASSERT_TRUE(sim.Started);
    for (const char* setting :
         {"set firmware 0x021A", "set production -1", "set wiring 4", "set probe 6",
          "set caldate 2026-12-06", "set damping 30", "set offset -0.0004", "set sensitivity 57",
          "set depth 1.2345678", "set lower -1000", "set upper 0.125", "set voltage 4.005"}) {
        std::vector<std::string> out;
        EXPECT_EQ(sim.Server.WithModel(
                      [&](TransmitterModel& m) { return RunSimCommand(m, setting, out); }),
                  CommandResult::Ok)
            << setting;
    }
    TransmitterLink link;
    ASSERT_TRUE(link.Open("COM5"));
    Readout values;
    std::vector<std::string> shown;
    for (const ReadoutStep& step : ReadoutSteps) {
        NumberText text = "";
        EXPECT_TRUE(step.Read(link, values)) << step.Name;
        shown.push_back(step.Show(values, text));
    }
    // Wiring 4 mod 3 = 1, probe 6 AND 3 = 2 (chlorine: 4.005 mV at 57 mV per
    // unit), offset rounded to zero keeps its sign, 0.125 is a tie rounded
    // away from zero, the ratio is in percent.
    EXPECT_EQ(shown, (std::vector<std::string>{"2.1a", "-1", "Aktivn\xED 0 a\x9E 20 mA", "Chl\xF3r",
                                               "2026-12-06", "30", "-0.000", "57.000", "1.235",
                                               "-1000.00", "0.13", "4.005", "0.07", "99.99"}));
}

} // namespace
