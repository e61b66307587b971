#pragma once

#include "core/language.h"

#include <string>
#include <vector>

// Line charts over time, for pictures and pages: panels stacked over one
// time axis, each with its own value axis scaled to what it shows. They are
// drawn to be read in black and white as well: series differ by their dashes
// and marks, shaded stretches are light grey, limits carry their names. The
// texts and numbers a person reads are in the language vl4 speaks; the
// drawing's coordinates are not.

struct ChartPoint {
    double Time;  // in the chart's time unit (ChartTime)
    double Value; // not finite: a gap, where the line breaks
};

enum class ChartStroke { Solid, Dashed, Dotted };
enum class ChartMark { None, Circle, Square };

struct ChartSeries {
    std::string Name;               // in the panel's legend; empty: no legend
    std::vector<ChartPoint> Points; // in time order
    const char* Colour = "#000";
    ChartStroke Stroke = ChartStroke::Solid;
    ChartMark Mark = ChartMark::None; // at each point, for few points far apart
};

// A value drawn across a panel with its name beside it: a limit.
struct ChartLimit {
    double Value;
    std::string Name;
};

// A stretch of values shaded across a panel: the healthy range.
struct ChartBand {
    double Low, High;
    std::string Name;
};

// A stretch of time shaded down every panel: the readings a point accepted.
struct ChartSpan {
    double From, To;
    std::string Name;
};

struct ChartPanel {
    std::string Title; // above the panel: "slope [%]"
    const char* TitleColour = "#000";
    std::vector<ChartSeries> Series;
    std::vector<ChartBand> Bands;
    std::vector<ChartLimit> Limits;
    std::string Empty = _("no readings"); // shown when no series has a value
};

// What the time axis counts.
enum class ChartTime {
    Seconds, // since a start; the axis reads in s, min or h, whichever suits
    Days,    // days since 1970-01-01 (calendar_time.h), the time of day as a
             // fraction; the axis reads dates
};

struct LineChart {
    std::string Title; // above the panels; empty: none
    ChartTime Time = ChartTime::Seconds;
    // Under the time axis; for seconds the unit follows: "time since 14:03 [min]".
    std::string TimeTitle;
    // The time axis runs from 0 (seconds) or a little before the first point
    // (days) to the last point, unless FixedTime says From and To.
    bool FixedTime = false;
    double From = 0, To = 0;
    std::vector<ChartSpan> Spans;
    std::vector<ChartPanel> Panels;
    int Width = 900;
    int PanelHeight = 170;
    const char* Background = nullptr; // a fill behind everything; null: none
};

// The chart as one <svg> element (no XML declaration), to stand in a page
// or, after a declaration, in a file of its own. Series with more points
// than the panel has pixel columns are drawn as the lowest and highest
// value of each column, so that a long log stays small; a gap shows however
// short it is.
std::string LineChartSvg(const LineChart& chart);
