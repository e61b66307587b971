#pragma once

#include "documents/line_chart.h"
#include "documents/trend_summary.h"

#include <string>

// A picture of a log that a browser opens: one panel per value, each on its
// own scaled axis, over a common time axis, with a gap wherever reads
// failed. Long logs are drawn as the lowest and highest value per pixel
// column, so the picture stays small. `title` heads it; `since` names the
// time the axis starts from.
std::string TrendSvg(const TrendSummary& samples, const std::string& title,
                     const std::string& since);
// The chart the picture draws.
LineChart TrendChart(const TrendSummary& samples, const std::string& title,
                     const std::string& since);
