// Calibration writes: calibrations with random points of every probe type in
// one- and two-point mode, some sampling ticks with damaged replies, and
// point sets that must not be written. What reaches the transmitter is
// compared bit for bit with the oracle's pair; no slope of zero and nothing
// that is not a finite float is ever sent. An unusual pH pair must ask
// first; it is answered yes or no at random.
#include "stress/calibration_run.h"
#include "stress/proof.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

// Points of random standards and electrodes, with the faults of some ticks.
class PlanMaker {
public:
    explicit PlanMaker(uint32_t seed) : Random(seed) {}

    double Uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(Random);
    }
    bool Chance(double p) { return Uniform(0, 1) < p; }
    int Pick(int n) { return static_cast<int>(Random() % static_cast<unsigned>(n)); }

    // As a user types it: 0 to 4 decimals, now and then a decimal comma.
    std::string Typed(double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.*f", Pick(5), value);
        std::string typed = text;
        if (typed.size() > StandardTextLength) {
            std::snprintf(text, sizeof text, "%.4g", value);
            typed = text;
        }
        if (Chance(0.2))
            for (char& c : typed)
                if (c == '.') c = ',';
        return typed;
    }

    // 66 samples around a voltage, each rounded to a float as the
    // transmitter sends it; a tick now and then gets a damaged reply.
    PointPlan Point(int k, const std::string& standard, double voltage, double noise) {
        PointPlan point;
        point.Point = k;
        point.Standard = standard;
        for (int i = 0; i < SamplesPerPoint; ++i) {
            point.Voltages.push_back(static_cast<float>(voltage + Uniform(-noise, noise)));
            point.FirstFaults.push_back(
                Chance(0.01)
                    ? static_cast<TickFault>(1 + Pick(static_cast<int>(TickFault::Kinds) - 1))
                    : TickFault::None);
        }
        return point;
    }

    // A realistic electrode, or now and then values over many decades.
    CalibrationPlan Valid() {
        CalibrationPlan plan;
        plan.Probe = static_cast<uint8_t>(Pick(4));
        plan.SinglePoint = plan.Probe == RedoxProbe || Chance(0.5);
        const bool wide = Chance(0.1);
        // One point of chlorine or oxygen assumes the probe gives 0 mV at 0.
        const bool zeroOffset = plan.SinglePoint && plan.Probe >= ChlorineProbe;
        const double offset = zeroOffset ? 0 : Uniform(-40, 40);
        const double slope = plan.Probe == PhProbe         ? Uniform(-62, -45)
                             : plan.Probe == ChlorineProbe ? Uniform(120, 260)
                                                           : Uniform(5, 13);
        const double high = plan.Probe == PhProbe ? 14 : plan.Probe == ChlorineProbe ? 10 : 20;
        auto voltageAt = [&](double n) {
            if (plan.Probe == RedoxProbe) return offset + n;
            return offset + slope * (plan.Probe == PhProbe ? n - 7 : n);
        };
        auto standard = [&](double low) {
            if (wide) return std::pow(10.0, Uniform(-3, 5)) * (low < 0 && Chance(0.5) ? -1 : 1);
            return Uniform(low, high);
        };
        const double low = plan.Probe == RedoxProbe ? -1000 : plan.Probe == PhProbe ? 0 : 0.1;
        // One point of chlorine or oxygen needs a standard other than 0.
        std::string n1;
        do {
            n1 = Typed(plan.Probe == RedoxProbe ? Uniform(-1000, 1000) : standard(low));
        } while (zeroOffset && ParsedStandard(n1) == 0);
        // Realistic standards lie far enough apart that the probe's noise
        // cannot turn the slope round.
        std::string n2;
        do {
            n2 = Typed(standard(low));
        } while (ParsedStandard(n2) == ParsedStandard(n1) ||
                 (!wide && std::fabs(ParsedStandard(n2) - ParsedStandard(n1)) < 0.5));
        // Values over many decades still rise or fall as the probe's do: a
        // slope of the wrong sign is refused, which Invalid proves.
        const double scale = std::pow(10.0, Uniform(-3, 6)) * (plan.Probe == PhProbe ? -1 : 1);
        const double shift = plan.SinglePoint ? 0 : Uniform(-1, 1);
        auto voltage = [&](const std::string& typed) {
            if (wide) return scale * (ParsedStandard(typed) + shift);
            return voltageAt(ParsedStandard(typed));
        };
        // Noise never turns a voltage of one point round.
        const double noise = wide ? 0 : Uniform(0, zeroOffset ? std::min(3.0, voltage(n1) / 2) : 3);
        if (Chance(0.1)) // measured once, then again
            plan.Points.push_back(Point(1, Typed(standard(low)), voltage(n1) + 5, noise));
        PointPlan first = Point(1, n1, voltage(n1), noise);
        if (plan.SinglePoint) {
            plan.Points.push_back(first);
            return plan;
        }
        PointPlan second = Point(2, n2, voltage(n2), noise);
        if (Chance(0.2)) std::swap(first, second);
        plan.Points.push_back(first);
        plan.Points.push_back(second);
        return plan;
    }

    // Point sets OK must refuse, one kind after another.
    CalibrationPlan Invalid(int kind) {
        CalibrationPlan plan;
        plan.Probe = static_cast<uint8_t>(Chance(0.5) ? ChlorineProbe : OxygenProbe);
        auto point = [&](int k, const char* standard, double voltage) {
            return Point(k, standard, voltage, 0);
        };
        switch (kind % InvalidKinds) {
        case 0: // two standards of the same value
            plan.Probe = PhProbe;
            plan.Points = {point(1, "4.01", 171), point(2, "4,01", -165)};
            break;
        case 1: // one point at a standard of 0
            plan.SinglePoint = true;
            plan.Points = {point(1, Chance(0.5) ? "0" : "-0", 30)};
            break;
        case 2: // the same voltage at both standards: no slope
            plan.Points = {point(1, "1", 55.5), point(2, "2", 55.5)};
            break;
        case 3: // the second point never measured
            plan.Points = {point(1, "4", 200)};
            break;
        case 4: // a measured point refused again by a bad standard
            plan.Probe = PhProbe;
            plan.SinglePoint = true;
            plan.Points = {point(1, "7", 12), point(1, Chance(0.5) ? "-1" : "abc", 0)};
            break;
        case 5: // a slope beyond the float range
            plan.Points = {point(1, "0", 0), point(2, "1e-30", 1e10)};
            break;
        case 6: // a slope below the float range
            plan.SinglePoint = true;
            plan.Points = {point(1, "1e20", 1e-30)};
            break;
        case 7: // an offset beyond the float range
            plan.Points = {point(1, "100000", 0), point(2, "100001", 1e38)};
            break;
        case 8: // a slope of the wrong sign: pH buffers typed the wrong way round, a
                // chlorine or oxygen probe whose voltage falls
            if (Chance(0.5)) {
                plan.Probe = PhProbe;
                plan.Points = {point(1, "4.01", -165), point(2, "9.21", 171)};
            } else {
                plan.Points = {point(1, "1", 200), point(2, "5", 40)};
            }
            break;
        default: // nothing measured
            break;
        }
        return plan;
    }
    static constexpr int InvalidKinds = 10;

private:
    static double ParsedStandard(const std::string& typed) {
        float value = 0;
        ExpectedNumber(typed, StandardTextLength, value);
        return value;
    }

    std::mt19937 Random;
};

using CalibrationProof = CalibrationRuns;

TEST_F(CalibrationProof, WritesExactlyTheOraclesPairOrNothing) {
    const int runs = ProofSize(50, 1000);
    PlanMaker maker(1250);
    Stopwatch watch;
    int intendedValid = 0;
    for (int i = 0; i < runs && !HasFatalFailure(); ++i) {
        const bool invalid = i % 7 == 3;
        const CalibrationPlan plan = invalid ? maker.Invalid(i / 7) : maker.Valid();
        const int written = Tally.Written, declined = Tally.Declined;
        SCOPED_TRACE("calibration " + std::to_string(i));
        Run(plan);
        intendedValid += !invalid;
        EXPECT_EQ(Tally.Written - written + Tally.Declined - declined, invalid ? 0 : 1)
            << "the plan was meant to be " << (invalid ? "refused" : "written or declined");
    }
    EXPECT_EQ(Tally.NonFiniteSent, 0);
    EXPECT_EQ(Tally.ZeroSlopesSent, 0);
    EXPECT_EQ(Tally.Written + Tally.Declined, intendedValid);
    Figure("calibrations %d: written %d, refused %d, declined %d (all as the oracle said)",
           Tally.Runs, Tally.Written, Tally.Refused, Tally.Declined);
    Figure("unusual pH pairs asked about %d (text read exactly %d): answered yes %d, no %d",
           Tally.Asked, Tally.QuestionsReadExactly, Tally.Asked - Tally.Declined, Tally.Declined);
    const char* const probes[] = {"pH", "Redox", "chlorine", "oxygen"};
    for (int probe = 0; probe < 4; ++probe)
        Figure("  %-8s two points %4d, one point %4d", probes[probe],
               Tally.ByProbeAndMode[probe][0], Tally.ByProbeAndMode[probe][1]);
    Figure("standards typed %d, refused %d", Tally.StandardsAccepted + Tally.StandardsRefused,
           Tally.StandardsRefused);
    Figure("sampling ticks %d: damaged replies %d (none counted), replies in pieces %d (all "
           "counted right)",
           Tally.Ticks, Tally.SpoiltTicks, Tally.PiecedTicks);
    Figure("written: offsets %d, sensitivities %d, dates %d; non-finite values sent %d, "
           "zero slopes sent %d",
           Tally.OffsetFrames, Tally.SlopeFrames, Tally.DateFrames, Tally.NonFiniteSent,
           Tally.ZeroSlopesSent);
    Figure("time %.0f s (%.2f s a calibration)", watch.Seconds(), watch.Seconds() / runs);
}

} // namespace
