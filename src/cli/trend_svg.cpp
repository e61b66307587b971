#include "cli/trend_svg.h"

#include "cli/machine_text.h"
#include "core/number_text.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int Width = 900, Left = 90, Right = 20, Top = 64, PanelHeight = 170, Gap = 34,
              Bottom = 56;
constexpr int PlotWidth = Width - Left - Right;
constexpr int Height =
    Top + TrendSample::Series * PanelHeight + (TrendSample::Series - 1) * Gap + Bottom;

struct SeriesLook {
    const char* Name;
    const char* Colour;
};
const SeriesLook Looks[TrendSample::Series] = {
    {"probe voltage [mV]", "#1f6fb4"},
    {"measured value", "#c62828"},
    {"ratio [%]", "#2e7d32"},
};

std::string Escaped(const std::string& text) {
    std::string xml;
    for (char c : text) {
        if (c == '&')
            xml += "&amp;";
        else if (c == '<')
            xml += "&lt;";
        else if (c == '>')
            xml += "&gt;";
        else if (c == '"')
            xml += "&quot;";
        else
            xml += c;
    }
    return xml;
}

std::string Text(double x, double y, const std::string& text, const char* anchor,
                 const char* extra = "") {
    return "<text x=\"" + FixedText(x, 1) + "\" y=\"" + FixedText(y, 1) + "\" text-anchor=\"" +
           anchor + "\"" + extra + ">" + Escaped(text) + "</text>\n";
}

std::string Line(double x1, double y1, double x2, double y2, const char* colour) {
    return "<line x1=\"" + FixedText(x1, 1) + "\" y1=\"" + FixedText(y1, 1) + "\" x2=\"" +
           FixedText(x2, 1) + "\" y2=\"" + FixedText(y2, 1) + "\" stroke=\"" + colour + "\"/>\n";
}

// Ticks at 1, 2 or 5 times a power of ten, about `count` of them over the range.
struct Axis {
    double Low, High, Step;
    int Decimals;

    Axis(double low, double high, int count) {
        if (!(high > low)) {
            const double margin = std::max(1.0, std::fabs(low) * 0.01);
            low -= margin;
            high += margin;
        }
        const double raw = (high - low) / count;
        const double power = std::pow(10.0, std::floor(std::log10(raw)));
        const double fraction = raw / power;
        Step = (fraction <= 1 ? 1 : fraction <= 2 ? 2 : fraction <= 5 ? 5 : 10) * power;
        Low = std::floor(low / Step) * Step;
        High = std::ceil(high / Step) * Step;
        Decimals = Step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(Step) - 1e-9));
    }
    // The ticks as whole multiples of the step, so that 0 is exactly 0.
    template <class Each> void ForEachTick(Each each) const {
        for (long long k = std::llround(Low / Step); k <= std::llround(High / Step); ++k)
            each(static_cast<double>(k) * Step);
    }
    double Fraction(double value) const { return (value - Low) / (High - Low); }
};

// The time axis in seconds, minutes or hours, whichever reads best.
struct TimeUnit {
    const char* Name;
    double Seconds;
};
TimeUnit UnitFor(double span) {
    if (span <= 180) return {"s", 1};
    if (span <= 3 * 3600) return {"min", 60};
    return {"h", 3600};
}

class Picture {
public:
    Picture(const std::vector<TrendSample>& samples) : Samples(samples) {
        End = samples.empty() ? 0 : samples.back().Seconds;
        if (End <= 0) End = 1;
        // More samples than pixel columns are drawn column by column.
        Columns = static_cast<int>(samples.size()) > 2 * PlotWidth;
    }

    std::string Panel(int series, double top) const {
        std::string svg = "<rect x=\"" + FixedText(Left, 0) + "\" y=\"" + FixedText(top, 0) +
                          "\" width=\"" + FixedText(PlotWidth, 0) + "\" height=\"" +
                          FixedText(PanelHeight, 0) + "\" fill=\"#fff\" stroke=\"#888\"/>\n";
        svg += Text(
            Left + 6, top - 6, Looks[series].Name, "start",
            (std::string(" fill=\"") + Looks[series].Colour + "\" font-weight=\"bold\"").c_str());
        double low = 0, high = 0;
        if (!Range(series, low, high))
            return svg + Text(Left + PlotWidth / 2.0, top + PanelHeight / 2.0, "no readings",
                              "middle", " fill=\"#888\"");
        const Axis axis(low, high, 4);
        axis.ForEachTick([&](double value) {
            const double y = top + PanelHeight * (1 - axis.Fraction(value));
            svg += Line(Left, y, Left + PlotWidth, y, "#e4e4e4");
            svg += Text(Left - 6, y + 4, FixedText(value, axis.Decimals), "end");
        });
        svg += TimeGrid(top);
        return svg + Curve(series, top, axis);
    }

    std::string TimeAxis(double top) const {
        std::string svg;
        ForEachTimeTick(
            [&](double x, const std::string& label) { svg += Text(x, top + 18, label, "middle"); });
        return svg;
    }

    std::string AxisUnit() const { return UnitFor(End).Name; }

private:
    double X(double seconds) const { return Left + PlotWidth * seconds / End; }

    template <class Each> void ForEachTimeTick(Each each) const {
        const TimeUnit unit = UnitFor(End);
        const Axis axis(0, End / unit.Seconds, 8);
        axis.ForEachTick([&](double value) {
            if (value * unit.Seconds <= End * (1 + 1e-9))
                each(X(value * unit.Seconds), FixedText(value, axis.Decimals));
        });
    }

    std::string TimeGrid(double top) const {
        std::string svg;
        ForEachTimeTick([&](double x, const std::string&) {
            svg += Line(x, top, x, top + PanelHeight, "#e4e4e4");
        });
        return svg;
    }

    bool Usable(const TrendSample& sample, int series) const {
        return sample.Read[series] && IsFiniteNumber(sample.Values[series]);
    }

    bool Range(int series, double& low, double& high) const {
        bool any = false;
        for (const TrendSample& sample : Samples) {
            if (!Usable(sample, series)) continue;
            const double value = sample.Values[series];
            low = any ? std::min(low, value) : value;
            high = any ? std::max(high, value) : value;
            any = true;
        }
        return any;
    }

    // Samples in groups: one each, or all of a pixel column. A group adds its
    // lowest and highest value, in the order they came; a failed read in it
    // breaks the curve on both sides, so that an outage shows however long
    // the log.
    std::string Curve(int series, double top, const Axis& axis) const {
        std::string path;
        bool drawing = false;
        size_t i = 0;
        while (i < Samples.size()) {
            const int column = Column(Samples[i].Seconds);
            size_t end = i + 1;
            while (Columns && end < Samples.size() && Column(Samples[end].Seconds) == column) ++end;
            int lowest = -1, highest = -1;
            bool failed = false;
            for (size_t j = i; j < end; ++j) {
                if (!Usable(Samples[j], series)) {
                    failed = true;
                    continue;
                }
                const float value = Samples[j].Values[series];
                if (lowest < 0 || value < Samples[lowest].Values[series]) lowest = int(j);
                if (highest < 0 || value > Samples[highest].Values[series]) highest = int(j);
            }
            if (lowest < 0) {
                drawing = false;
            } else {
                const int first = std::min(lowest, highest), second = std::max(lowest, highest);
                path += Point(first, series, top, axis, drawing && !failed ? "L" : "M");
                if (second != first) path += Point(second, series, top, axis, "L");
                drawing = !failed;
            }
            i = end;
        }
        return "<path fill=\"none\" stroke=\"" + std::string(Looks[series].Colour) +
               "\" stroke-width=\"1.5\" stroke-linejoin=\"round\" stroke-linecap=\"round\" d=\"" +
               path + "\"/>\n";
    }

    // A point alone still shows: a line of no length with round ends.
    std::string Point(int sample, int series, double top, const Axis& axis,
                      const char* command) const {
        const double y = top + PanelHeight * (1 - axis.Fraction(Samples[sample].Values[series]));
        return std::string(command) + FixedText(X(Samples[sample].Seconds), 1) + " " +
               FixedText(y, 1) + (command[0] == 'M' ? " h0.01 " : " ");
    }

    int Column(double seconds) const { return static_cast<int>(PlotWidth * seconds / End); }

    const std::vector<TrendSample>& Samples;
    double End;
    bool Columns;
};

} // namespace

std::string TrendSvg(const std::vector<TrendSample>& samples, const std::string& title,
                     const std::string& since) {
    const Picture picture(samples);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                      FixedText(Width, 0) + "\" height=\"" + FixedText(Height, 0) +
                      "\" viewBox=\"0 0 " + FixedText(Width, 0) + " " + FixedText(Height, 0) +
                      "\" font-family=\"sans-serif\" font-size=\"12\">\n"
                      "<rect width=\"100%\" height=\"100%\" fill=\"#f8f8f8\"/>\n";
    svg += Text(Width / 2.0, 24, title, "middle", " font-size=\"15\"");
    for (int series = 0; series < TrendSample::Series; ++series)
        svg += picture.Panel(series, Top + series * (PanelHeight + Gap));
    const double axisTop =
        Top + TrendSample::Series * PanelHeight + (TrendSample::Series - 1) * Gap;
    svg += picture.TimeAxis(axisTop);
    svg += Text(Left + PlotWidth / 2.0, axisTop + 38,
                "time since " + since + " [" + picture.AxisUnit() + "]", "middle");
    return svg + "</svg>\n";
}
