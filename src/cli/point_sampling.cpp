#include "cli/point_sampling.h"

#include "cli/pacer.h"
#include "core/machine_text.h"

#include <cmath>

namespace {

constexpr int ProgressWidth = 22;
// Readings in a row without an answer before the sampling gives up.
constexpr int DeadReadings = 10;

class PointSampler {
public:
    PointSampler(CommandContext& context, TransmitterSession& session, const PointRule& rule,
                 const std::string& name, PointResult& point, PointEnd& end)
        : Context(context), Session(session), Rule(rule), Name(name), Point(point), End(end),
          Progress(context.Out) {}

    int Run() {
        Pacer pacer{
            std::chrono::milliseconds(static_cast<int>(ReadingIntervalSeconds * 1000.0 + 0.5))};
        Point.Trace.clear();
        for (int dead = 0;;) {
            const double seconds = static_cast<double>(pacer.Slot()) * ReadingIntervalSeconds;
            const bool read = Read(pacer.Slot(), seconds);
            dead = read ? 0 : dead + 1;
            if (Taken()) return Take(seconds);
            Progress.Show(Status(read, seconds));
            if (dead >= DeadReadings)
                return Fail(PointEnd::Lost,
                            "the transmitter stopped answering while " + Name + " was sampled");
            if (Rule.Settle && pacer.Elapsed() >= Rule.TimeoutSeconds)
                return Fail(PointEnd::NotSettled,
                            Name + " did not settle within " + FixedText(Rule.TimeoutSeconds, 0) +
                                " s: drift " + FixedText(Window.DriftMvPerMinute(), 1) +
                                " mV/min, spread " + FixedText(Window.SpreadMv(), 1) + " mV");
            if (Context.Out.Failed()) return Fail(PointEnd::Lost, "the output cannot be written");
            if (!pacer.WaitForNext(Context.Stop)) return Interrupted();
        }
    }

private:
    // The voltage, and with it the value the transmitter measures from it,
    // at the slot's time; the slots let go before it are missing readings.
    bool Read(long long slot, double seconds) {
        while (static_cast<long long>(Point.Trace.size()) < slot)
            Point.Trace.push_back(std::nanf(""));
        SettlingReading reading = {seconds, 0.0f, false, 0.0f};
        if (!Session.Link.GetProbeVoltage(reading.Voltage)) {
            Point.Trace.push_back(std::nanf(""));
            return false;
        }
        reading.HasValue = Session.Link.GetMeasuredValue(reading.Value);
        Window.Add(reading);
        Point.Trace.push_back(reading.Voltage);
        ++Point.Readings;
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
        Point.SettleSeconds = seconds;
        int values;
        Point.FoundValue = Window.MeanValue(values);
        Point.HasFoundValue = values > 0;
        End = PointEnd::Taken;
        return ExitDone;
    }

    int Fail(PointEnd end, const std::string& what) {
        Progress.Finish();
        End = end;
        return Context.Fail(ExitFailed, Session.Port, what);
    }

    int Interrupted() {
        Progress.Finish();
        End = PointEnd::Interrupted;
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
    PointEnd& End;
    StatusLine Progress;
    SettlingWindow Window;
    SettlingReading Last = {};
};

} // namespace

int SamplePoint(CommandContext& context, TransmitterSession& session, const PointRule& rule,
                const std::string& name, PointResult& point, PointEnd& end) {
    point.Readings = 0;
    PointSampler sampler(context, session, rule, name, point, end);
    return sampler.Run();
}
