#include "calibration/point_sampler.h"

#include "core/language.h"
#include "core/machine_text.h"
#include "core/pacer.h"

#include <cmath>

namespace {

// Readings in a row without an answer before the sampling gives up.
constexpr int DeadReadings = 10;

class PointSampler {
public:
    PointSampler(TransmitterLink& link, const std::string& port, const PointRule& rule,
                 const std::string& name, CalibrationFrontEnd& frontEnd, PointResult& point,
                 PointEnd& end)
        : Link(link), Port(port), Rule(rule), Name(name), FrontEnd(frontEnd), Point(point),
          End(end) {}

    int Run() {
        Pacer pacer{
            std::chrono::milliseconds(static_cast<int>(ReadingIntervalSeconds * 1000.0 + 0.5))};
        Point.Trace.clear();
        Point.Readings = 0;
        std::string lost;
        for (int dead = 0;;) {
            const double seconds = static_cast<double>(pacer.Slot()) * ReadingIntervalSeconds;
            const bool read = Read(pacer.Slot(), seconds);
            dead = read ? 0 : dead + 1;
            if (Taken()) return Take(seconds);
            Show(read, seconds, PointProgress::Sampling);
            if (dead >= DeadReadings)
                return Fail(
                    PointEnd::Lost, seconds,
                    Format(_("the transmitter stopped answering while {0} was sampled"), {Name}));
            if (Rule.Settle && pacer.Elapsed() >= Rule.TimeoutSeconds)
                return Fail(
                    PointEnd::NotSettled, seconds,
                    Format(_("{0} did not settle within {1} s: drift {2} mV/min, spread "
                             "{3} mV"),
                           {Name, Decimal(Rule.TimeoutSeconds, 0),
                            Decimal(Window.DriftMvPerMinute(), 1), Decimal(Window.SpreadMv(), 1)}));
            if (FrontEnd.OutputLost(lost))
                return Fail(PointEnd::Lost, seconds, _("the output cannot be written"));
            if (!pacer.WaitForNext(FrontEnd.Stop())) {
                Show(false, seconds, PointProgress::Ended);
                End = PointEnd::Interrupted;
                return ExitInterrupted;
            }
        }
    }

private:
    // The voltage, and with it the value the transmitter measures from it,
    // at the slot's time; the slots let go before it are missing readings.
    bool Read(long long slot, double seconds) {
        while (static_cast<long long>(Point.Trace.size()) < slot)
            Point.Trace.push_back(std::nanf(""));
        SettlingReading reading = {seconds, 0.0f, false, 0.0f};
        if (!Link.GetProbeVoltage(reading.Voltage)) {
            Point.Trace.push_back(std::nanf(""));
            return false;
        }
        reading.HasValue = Link.GetMeasuredValue(reading.Value);
        Window.Add(reading);
        Point.Trace.push_back(reading.Voltage);
        ++Point.Readings;
        Last = reading;
        return true;
    }

    bool Taken() const { return Rule.Settle ? Window.Stable(Rule.Limits) : Window.Full(); }

    int Take(double seconds) {
        Point.Taken = true;
        Point.Voltage = Window.MeanVoltage();
        Point.SpreadMv = Window.SpreadMv();
        Point.DriftMvPerMinute = Window.DriftMvPerMinute();
        Point.SettleSeconds = seconds;
        int values;
        Point.FoundValue = Window.MeanValue(values);
        Point.HasFoundValue = values > 0;
        Show(true, seconds, PointProgress::Taken);
        End = PointEnd::Taken;
        return ExitDone;
    }

    int Fail(PointEnd end, double seconds, const std::string& what) {
        Show(false, seconds, PointProgress::Ended);
        End = end;
        FrontEnd.Fail(ExitFailed, Port, what);
        return ExitFailed;
    }

    void Show(bool read, double seconds, PointProgress::State state) {
        FrontEnd.Reading({Name, Point, read, Last.Voltage, Window.DriftMvPerMinute(),
                          Window.SpreadMv(), Window.Count(), seconds, state});
    }

    TransmitterLink& Link;
    const std::string& Port;
    const PointRule& Rule;
    const std::string& Name;
    CalibrationFrontEnd& FrontEnd;
    PointResult& Point;
    PointEnd& End;
    SettlingWindow Window;
    SettlingReading Last = {};
};

} // namespace

int SamplePoint(TransmitterLink& link, const std::string& port, const PointRule& rule,
                const std::string& name, CalibrationFrontEnd& frontEnd, PointResult& point,
                PointEnd& end) {
    PointSampler sampler(link, port, rule, name, frontEnd, point, end);
    return sampler.Run();
}
