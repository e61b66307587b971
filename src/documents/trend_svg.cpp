#include "documents/trend_svg.h"

#include "documents/line_chart.h"

#include <cmath>

namespace {

struct SeriesLook {
    const char* Name;
    const char* Colour;
};
const SeriesLook Looks[TrendSample::Series] = {
    {"probe voltage [mV]", "#1f6fb4"},
    {"measured value", "#c62828"},
    {"ratio [%]", "#2e7d32"},
};

} // namespace

std::string TrendSvg(const std::vector<TrendSample>& samples, const std::string& title,
                     const std::string& since) {
    LineChart chart;
    chart.Title = title;
    chart.TimeTitle = "time since " + since;
    chart.Background = "#f8f8f8";
    // The axis ends with the last sample, whether or not any of its reads succeeded.
    chart.FixedTime = true;
    chart.To = samples.empty() || samples.back().Seconds <= 0 ? 1 : samples.back().Seconds;
    for (int i = 0; i < TrendSample::Series; ++i) {
        ChartPanel panel;
        panel.Title = Looks[i].Name;
        panel.TitleColour = Looks[i].Colour;
        ChartSeries series;
        series.Colour = Looks[i].Colour;
        for (const TrendSample& sample : samples)
            series.Points.push_back(
                {sample.Seconds, sample.Read[i] ? double(sample.Values[i]) : std::nan("")});
        panel.Series.push_back(series);
        chart.Panels.push_back(panel);
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + LineChartSvg(chart);
}
