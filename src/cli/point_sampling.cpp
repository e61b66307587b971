#include "cli/point_sampling.h"

#include "cli/pacer.h"
#include "core/machine_text.h"

namespace {

constexpr int SampleIntervalMs = 300;
constexpr int ProgressWidth = 22;
// Readings in a row without an answer before the sampling gives up.
constexpr int DeadReadings = 10;

class PointSampler {
public:
    PointSampler(CommandContext& context, TransmitterSession& session, const PointRule& rule,
                 const std::string& name, PointResult& point)
        : Context(context), Session(session), Rule(rule), Name(name), Point(point),
          Progress(context.Out) {}

    int Run() {
        Pacer pacer{std::chrono::milliseconds(SampleIntervalMs)};
        for (int dead = 0;;) {
            const bool read = Read(pacer.Elapsed());
            dead = read ? 0 : dead + 1;
            const double seconds = pacer.Elapsed();
            if (Taken()) return Take(seconds);
            Progress.Show(Status(read, seconds));
            if (dead >= DeadReadings)
                return Fail("the transmitter stopped answering while " + Name + " was sampled");
            if (Rule.Settle && pacer.Elapsed() >= Rule.TimeoutSeconds)
                return Fail(Name + " did not settle within " + FixedText(Rule.TimeoutSeconds, 0) +
                            " s: drift " + FixedText(Window.DriftMvPerMinute(), 1) +
                            " mV/min, spread " + FixedText(Window.SpreadMv(), 1) + " mV");
            if (Context.Out.Failed()) return Fail("the output cannot be written");
            if (!pacer.WaitForNext(Context.Stop)) return Interrupted();
        }
    }

private:
    // The voltage, and with it the value the transmitter measures from it.
    bool Read(double seconds) {
        SettlingReading reading = {seconds, 0.0f, false, 0.0f};
        if (!Session.Link.GetProbeVoltage(reading.Voltage)) return false;
        reading.HasValue = Session.Link.GetMeasuredValue(reading.Value);
        Window.Add(reading);
        Point.Trace.push_back(reading);
        Last = reading;
        return true;
    }

    bool Taken() const { return Rule.Settle ? Window.Stable(Rule.Limits) : Window.Full(); }

    int Take(double seconds) {
        Progress.Show(Status(true, seconds) + "  stable");
        Progress.Finish();
        Point.Taken = true;
        Point.Voltage = Window.MeanVoltage();
        Point.SpreadMv = Window.SpreadMv();
        Point.DriftMvPerMinute = Window.DriftMvPerMinute();
        Point.Readings = static_cast<int>(Point.Trace.size());
        Point.WindowStart = Point.Readings - Window.Count();
        Point.SettleSeconds = seconds;
        int values;
        Point.FoundValue = Window.MeanValue(values);
        Point.HasFoundValue = values > 0;
        return ExitDone;
    }

    int Fail(const std::string& what) {
        Progress.Finish();
        return Context.Fail(ExitFailed, Session.Port, what);
    }

    int Interrupted() {
        Progress.Finish();
        return ExitInterrupted;
    }

    std::string Status(bool read, double seconds) const {
        const int filled = Window.Count() * ProgressWidth / SettlingWindow::Size;
        std::string line = Name + " [" + std::string(filled, '#') +
                           std::string(ProgressWidth - filled, '.') + "] ";
        line += read ? FixedText(Last.Voltage, 3) + " mV" : "no answer";
        line += "  drift " + FixedText(Window.DriftMvPerMinute(), 2) + " mV/min  spread " +
                FixedText(Window.SpreadMv(), 3) + " mV  " +
                IntegerText(static_cast<int32_t>(seconds)) + " s";
        return line;
    }

    CommandContext& Context;
    TransmitterSession& Session;
    const PointRule& Rule;
    const std::string& Name;
    PointResult& Point;
    StatusLine Progress;
    SettlingWindow Window;
    SettlingReading Last = {};
};

} // namespace

int SamplePoint(CommandContext& context, TransmitterSession& session, const PointRule& rule,
                const std::string& name, PointResult& point) {
    PointSampler sampler(context, session, rule, name, point);
    return sampler.Run();
}
