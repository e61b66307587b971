#pragma once

#include <string>
#include <vector>

// One sample of a log: the probe voltage (mV), the measured value and the
// ratio (%), each only when its read succeeded.
struct TrendSample {
    static constexpr int Series = 3;
    double Seconds; // since the log began
    bool Read[Series];
    float Values[Series];
};

// A picture of the samples that a browser opens: one panel per value, each
// on its own scaled axis, over a common time axis, with a gap wherever reads
// failed. Long logs are drawn as the lowest and highest value per pixel
// column, so the picture stays small. `title` heads it; `since` names the
// time the axis starts from.
std::string TrendSvg(const std::vector<TrendSample>& samples, const std::string& title,
                     const std::string& since);
