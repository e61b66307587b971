#include "documents/line_chart.h"

#include "core/calendar_time.h"
#include "core/language.h"
#include "core/machine_text.h"
#include "core/text_encoding.h"
#include "documents/html_document.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int Left = 90, Right = 20, Gap = 34, Bottom = 56;
constexpr int TitledTop = 64, UntitledTop = 30;
// About how wide a character of the chart's 12 px and 11 px texts is, for
// the legend and the names beside the panels.
constexpr double CharacterWidth = 6.6, SmallCharacterWidth = 6.0;

std::string Number(double value) {
    return FixedText(value, 1);
}

std::string Text(double x, double y, const std::string& text, const char* anchor,
                 const std::string& extra = "") {
    return "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" text-anchor=\"" + anchor + "\"" +
           extra + ">" + HtmlEscaped(text) + "</text>\n";
}

std::string Line(double x1, double y1, double x2, double y2, const char* colour,
                 const std::string& extra = "") {
    return "<line x1=\"" + Number(x1) + "\" y1=\"" + Number(y1) + "\" x2=\"" + Number(x2) +
           "\" y2=\"" + Number(y2) + "\" stroke=\"" + colour + "\"" + extra + "/>\n";
}

std::string Rect(double x, double y, double width, double height, const std::string& extra) {
    return "<rect x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" width=\"" + Number(width) +
           "\" height=\"" + Number(height) + "\"" + extra + "/>\n";
}

const char* DashArray(ChartStroke stroke) {
    switch (stroke) {
    case ChartStroke::Dashed:
        return " stroke-dasharray=\"7 4\"";
    case ChartStroke::Dotted:
        return " stroke-dasharray=\"1.5 3\"";
    default:
        return "";
    }
}

// Ticks at 1, 2 or 5 times a power of ten, about `count` of them over the range.
struct ValueAxis {
    double Low, High, Step;
    int Decimals;

    ValueAxis(double low, double high, int count) {
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

struct Tick {
    double Time;
    std::string Label;
};

// Seconds read in seconds, minutes or hours, whichever suits the span.
struct SecondsUnit {
    const char* Name;
    double Seconds;
};
SecondsUnit SecondsUnitFor(double span) {
    if (span <= 180) return {_("s"), 1};
    if (span <= 3 * 3600) return {_("min"), 60};
    return {_("h"), 3600};
}

std::vector<Tick> SecondsTicks(double from, double to) {
    const SecondsUnit unit = SecondsUnitFor(to - from);
    const ValueAxis axis(from / unit.Seconds, to / unit.Seconds, 8);
    std::vector<Tick> ticks;
    axis.ForEachTick([&](double value) {
        const double time = value * unit.Seconds;
        if (time >= from - 1e-9 * (to - from) && time <= to + 1e-9 * (to - from))
            ticks.push_back({time, Decimal(value, axis.Decimals)});
    });
    return ticks;
}

// A month as a person reads it: 2026-12, in Czech 12/2026.
std::string PersonMonth(int year, int month) {
    if (CurrentLanguage() == Language::Czech) return IntegerText(month) + "/" + IntegerText(year);
    return IsoDateOfDay(DayOfDate(year, month, 1)).substr(0, 7);
}

// Dates a few days, months or years apart, at most about seven of them:
// days read as PersonDate gives them (2026-12-07, 7. 12. 2026), months as
// 2026-12 or 12/2026 (their first day), years as 2026.
std::vector<Tick> DayTicks(double from, double to) {
    const int dayStepsDays[] = {1, 2, 7, 14};
    const int monthSteps[] = {1, 2, 3, 6, 12, 24, 60, 120, 600};
    const double span = to - from;
    std::vector<Tick> ticks;
    for (int step : dayStepsDays) {
        if (span / step > 7) continue;
        for (int32_t day = static_cast<int32_t>(std::ceil(from / step)) * step; day <= to;
             day += step)
            ticks.push_back({double(day), PersonDate(IsoDateOfDay(day))});
        return ticks;
    }
    for (int step : monthSteps) {
        if (span / (step * 30.44) > 7 && step != monthSteps[8]) continue;
        int year, month, day;
        DateOfDay(static_cast<int32_t>(std::floor(from)), year, month, day);
        int months = year * 12 + month - 1;
        months += (step - months % step) % step;
        for (;; months += step) {
            const int32_t first = DayOfDate(months / 12, months % 12 + 1, 1);
            if (first > to) break;
            if (first < from) continue;
            ticks.push_back({double(first), step >= 12
                                                ? IntegerText(months / 12)
                                                : PersonMonth(months / 12, months % 12 + 1)});
        }
        break;
    }
    return ticks;
}

class Drawing {
public:
    explicit Drawing(const LineChart& chart)
        : Chart(chart), PlotWidth(chart.Width - Left - RightMargin(chart)),
          Top(chart.Title.empty() ? UntitledTop : TitledTop) {
        TimeRange();
    }

    int Height() const {
        const int panels = static_cast<int>(Chart.Panels.size());
        return Top + panels * Chart.PanelHeight + std::max(0, panels - 1) * Gap + Bottom;
    }

    std::string Svg() const {
        const std::string width = IntegerText(Chart.Width), height = IntegerText(Height());
        std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width +
                          "\" height=\"" + height + "\" viewBox=\"0 0 " + width + " " + height +
                          "\" font-family=\"sans-serif\" font-size=\"12\">\n";
        if (Chart.Background)
            svg += "<rect width=\"100%\" height=\"100%\" fill=\"" + std::string(Chart.Background) +
                   "\"/>\n";
        if (!Chart.Title.empty())
            svg += Text(Chart.Width / 2.0, 24, Chart.Title, "middle", " font-size=\"15\"");
        for (size_t i = 0; i < Chart.Panels.size(); ++i)
            svg += Panel(Chart.Panels[i], PanelTop(static_cast<int>(i)), i == 0);
        const double axisTop = Height() - Bottom;
        for (const Tick& tick : Ticks())
            svg += Text(X(tick.Time), axisTop + 18, tick.Label, "middle");
        return svg + Text(Left + PlotWidth / 2.0, axisTop + 38, TimeTitle(), "middle") + "</svg>\n";
    }

private:
    // The names of limits and bands stand right of the panels, where no
    // curve runs through them.
    static int RightMargin(const LineChart& chart) {
        int longest = 0;
        for (const ChartPanel& panel : chart.Panels) {
            for (const ChartBand& band : panel.Bands)
                longest = std::max(longest, CharacterCount(band.Name));
            for (const ChartLimit& limit : panel.Limits)
                longest = std::max(longest, CharacterCount(limit.Name));
        }
        return longest ? static_cast<int>(longest * SmallCharacterWidth) + 12 : Right;
    }

    void TimeRange() {
        HasTime = Chart.FixedTime;
        if (Chart.FixedTime) {
            From = Chart.From;
            To = Chart.To;
        } else {
            bool any = false;
            for (const ChartPanel& panel : Chart.Panels)
                for (const ChartSeries& series : panel.Series)
                    for (const ChartPoint& point : series.Points) {
                        From = any ? std::min(From, point.Time) : point.Time;
                        To = any ? std::max(To, point.Time) : point.Time;
                        any = true;
                    }
            HasTime = any;
            if (Chart.Time == ChartTime::Seconds) {
                From = 0;
            } else {
                // Marks at the ends stay clear of the frame.
                const double margin = std::max(10.0, (To - From) * 0.05);
                From -= margin;
                To += margin;
            }
        }
        if (!(To > From)) To = From + 1;
    }

    std::vector<Tick> Ticks() const {
        if (!HasTime) return {};
        return Chart.Time == ChartTime::Seconds ? SecondsTicks(From, To) : DayTicks(From, To);
    }

    std::string TimeTitle() const {
        if (Chart.Time != ChartTime::Seconds) return Chart.TimeTitle;
        return Chart.TimeTitle + " [" + SecondsUnitFor(To - From).Name + "]";
    }

    double PanelTop(int panel) const { return Top + panel * (Chart.PanelHeight + Gap); }
    double X(double time) const { return Left + PlotWidth * (time - From) / (To - From); }
    int Column(double time) const {
        return static_cast<int>(PlotWidth * (time - From) / (To - From));
    }

    std::string Panel(const ChartPanel& panel, double top, bool first) const {
        const double height = Chart.PanelHeight;
        std::string svg = Rect(Left, top, PlotWidth, height, " fill=\"#fff\" stroke=\"#888\"");
        svg += Text(Left + 6, top - 6, panel.Title, "start",
                    std::string(" fill=\"") + panel.TitleColour + "\" font-weight=\"bold\"");
        svg += Legend(panel, top - 6);
        double low = 0, high = 0;
        if (!Range(panel, low, high))
            return svg + Text(Left + PlotWidth / 2.0, top + height / 2.0, panel.Empty, "middle",
                              " fill=\"#888\"");
        const ValueAxis axis(low, high, 4);
        const auto y = [&](double value) { return top + height * (1 - axis.Fraction(value)); };
        for (const ChartBand& band : panel.Bands) {
            const double bandTop = y(std::max(band.Low, band.High));
            svg += Rect(Left, bandTop, PlotWidth, y(std::min(band.Low, band.High)) - bandTop,
                        " fill=\"#e6e6e6\"");
            svg += Name((bandTop + y(std::min(band.Low, band.High))) / 2, band.Name, "#444");
        }
        for (const ChartSpan& span : Chart.Spans) {
            svg += Rect(X(span.From), top, X(span.To) - X(span.From), height, " fill=\"#e6e6e6\"");
            if (first)
                svg += Text((X(span.From) + X(span.To)) / 2, top + 13, span.Name, "middle",
                            " fill=\"#444\" font-size=\"11\"");
        }
        axis.ForEachTick([&](double value) {
            svg += Line(Left, y(value), Left + PlotWidth, y(value), "#d8d8d8");
            svg += Text(Left - 6, y(value) + 4, Decimal(value, axis.Decimals), "end");
        });
        for (const Tick& tick : Ticks())
            svg += Line(X(tick.Time), top, X(tick.Time), top + height, "#d8d8d8");
        for (const ChartLimit& limit : panel.Limits) {
            const double at = y(limit.Value);
            svg += Line(Left, at, Left + PlotWidth, at, "#000", " stroke-dasharray=\"5 3\"");
            svg += Name(at, limit.Name, "#000");
        }
        for (const ChartSeries& series : panel.Series) svg += Curve(series, y);
        for (const ChartSeries& series : panel.Series) svg += Marks(series, y);
        return svg;
    }

    std::string Name(double y, const std::string& name, const char* colour) const {
        return Text(Left + PlotWidth + 6, y + 4, name, "start",
                    std::string(" fill=\"") + colour + "\" font-size=\"11\"");
    }

    // The named series, right-aligned on the title's line, each after a
    // piece of its line.
    std::string Legend(const ChartPanel& panel, double baseline) const {
        std::string svg;
        double right = Left + PlotWidth;
        for (auto series = panel.Series.rbegin(); series != panel.Series.rend(); ++series) {
            if (series->Name.empty()) continue;
            svg += Text(right, baseline, series->Name, "end");
            const double end = right - CharacterCount(series->Name) * CharacterWidth - 6;
            svg += Line(end - 24, baseline - 4, end, baseline - 4, series->Colour,
                        " stroke-width=\"1.5\"" + std::string(DashArray(series->Stroke)));
            svg += Mark(series->Mark, end - 12, baseline - 4, series->Colour);
            right = end - 40;
        }
        return svg;
    }

    static bool Usable(const ChartPoint& point) { return std::isfinite(point.Value); }

    // The values shown, and the limits and bands, which always show.
    static bool Range(const ChartPanel& panel, double& low, double& high) {
        bool any = false;
        const auto take = [&](double value) {
            low = any ? std::min(low, value) : value;
            high = any ? std::max(high, value) : value;
            any = true;
        };
        for (const ChartSeries& series : panel.Series)
            for (const ChartPoint& point : series.Points)
                if (Usable(point)) take(point.Value);
        if (!any) return false;
        for (const ChartBand& band : panel.Bands) take(band.Low), take(band.High);
        for (const ChartLimit& limit : panel.Limits) take(limit.Value);
        if (!panel.Limits.empty() || !panel.Bands.empty()) {
            // Room beyond the outermost limit, so that its line clears the frame.
            const double margin = (high - low) * 0.05;
            low -= margin;
            high += margin;
        }
        return true;
    }

    // Points in groups: one each, or all of a pixel column when the series
    // has more points than the panel columns. A group adds its lowest and
    // highest value, in the order they came; a gap in it breaks the curve on
    // both sides, so that an outage shows however long the series.
    template <class Y> std::string Curve(const ChartSeries& series, const Y& y) const {
        const std::vector<ChartPoint>& points = series.Points;
        const bool columns = static_cast<int>(points.size()) > 2 * PlotWidth;
        std::string path;
        bool drawing = false;
        size_t i = 0;
        while (i < points.size()) {
            const int column = Column(points[i].Time);
            size_t end = i + 1;
            while (columns && end < points.size() && Column(points[end].Time) == column) ++end;
            int lowest = -1, highest = -1;
            bool gap = false;
            for (size_t j = i; j < end; ++j) {
                if (!Usable(points[j])) {
                    gap = true;
                    continue;
                }
                if (lowest < 0 || points[j].Value < points[lowest].Value) lowest = int(j);
                if (highest < 0 || points[j].Value > points[highest].Value) highest = int(j);
            }
            if (lowest < 0) {
                drawing = false;
            } else {
                const int first = std::min(lowest, highest), second = std::max(lowest, highest);
                path += Point(points[first], y, drawing && !gap ? "L" : "M");
                if (second != first) path += Point(points[second], y, "L");
                drawing = !gap;
            }
            i = end;
        }
        return "<path fill=\"none\" stroke=\"" + std::string(series.Colour) +
               "\" stroke-width=\"1.5\" stroke-linejoin=\"round\" stroke-linecap=\"round\"" +
               DashArray(series.Stroke) + " d=\"" + path + "\"/>\n";
    }

    // A point alone still shows: a line of no length with round ends.
    template <class Y>
    std::string Point(const ChartPoint& point, const Y& y, const char* command) const {
        return std::string(command) + Number(X(point.Time)) + " " + Number(y(point.Value)) +
               (command[0] == 'M' ? " h0.01 " : " ");
    }

    template <class Y> std::string Marks(const ChartSeries& series, const Y& y) const {
        std::string svg;
        if (series.Mark == ChartMark::None) return svg;
        for (const ChartPoint& point : series.Points)
            if (Usable(point))
                svg += Mark(series.Mark, X(point.Time), y(point.Value), series.Colour);
        return svg;
    }

    static std::string Mark(ChartMark mark, double x, double y, const char* colour) {
        const std::string look =
            " fill=\"#fff\" stroke=\"" + std::string(colour) + "\" stroke-width=\"1.5\"";
        if (mark == ChartMark::Circle)
            return "<circle cx=\"" + Number(x) + "\" cy=\"" + Number(y) + "\" r=\"3.5\"" + look +
                   "/>\n";
        if (mark == ChartMark::Square) return Rect(x - 3.5, y - 3.5, 7, 7, look);
        return "";
    }

    const LineChart& Chart;
    const int PlotWidth;
    const int Top;
    bool HasTime = false; // no time axis without points
    double From = 0, To = 0;
};

} // namespace

std::string LineChartSvg(const LineChart& chart) {
    return Drawing(chart).Svg();
}
