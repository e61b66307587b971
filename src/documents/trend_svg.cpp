#include "documents/trend_svg.h"

#include "core/language.h"

namespace {

struct SeriesLook {
    const char* Name;
    const char* Colour;
};
const SeriesLook Looks[TrendSample::Series] = {
    {N_("probe voltage [mV]"), "#1f6fb4"},
    {N_("measured value"), "#c62828"},
    {N_("ratio [%]"), "#2e7d32"},
};

} // namespace

LineChart TrendChart(const TrendSummary& samples, const std::string& title,
                     const std::string& since) {
    LineChart chart;
    chart.Title = title;
    chart.TimeTitle = Format(_("time since {0}"), {since});
    chart.Background = "#f8f8f8";
    // The axis ends with the last sample, whether or not any of its reads succeeded.
    chart.FixedTime = true;
    chart.To = samples.LastSeconds() <= 0 ? 1 : samples.LastSeconds();
    for (int i = 0; i < TrendSample::Series; ++i) {
        ChartPanel panel;
        panel.Title = _(Looks[i].Name);
        panel.TitleColour = Looks[i].Colour;
        ChartSeries series;
        series.Colour = Looks[i].Colour;
        series.Points = samples.Points(i);
        panel.Series.push_back(series);
        chart.Panels.push_back(panel);
    }
    return chart;
}

std::string TrendSvg(const TrendSummary& samples, const std::string& title,
                     const std::string& since) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" +
           LineChartSvg(TrendChart(samples, title, since));
}
