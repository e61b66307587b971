#pragma once

#include "documents/line_chart.h"

#include <cstddef>
#include <vector>

// One sample of a log: the probe voltage (mV), the measured value and the
// ratio (%), each only when its read succeeded.
struct TrendSample {
    static constexpr int Series = 3;
    double Seconds; // since the log began
    bool Read[Series];
    float Values[Series];
};

// What the trend picture needs of a log, in a room that does not grow with
// it: a log of a month at 0.1 s has 26 million samples, more than a 32-bit
// process could hold. While the samples fit, each keeps its own place, and
// the picture is drawn from every one of them. Then time buckets of a width
// that doubles whenever they fill the room, neighbours merged pairwise: each
// keeps a series' lowest and highest value with their times and the first
// and last failed read, which is all a column of the picture shows, and the
// room keeps a bucket narrower than a column.
class TrendSummary {
public:
    static constexpr size_t Room = 4096; // buckets

    // Samples come in time order.
    void Add(const TrendSample& sample);

    bool Empty() const { return Buckets.empty(); }
    double LastSeconds() const { return Buckets.empty() ? 0 : Buckets.back().Last; }
    // The series as the picture draws it: a sample's value, or a gap where
    // its read failed; for a bucket its extremes and its first and last
    // failed read, in time order.
    std::vector<ChartPoint> Points(int series) const;

    size_t BucketCount() const { return Buckets.size(); }
    // Seconds a bucket spans; 0 while each sample has a bucket of its own.
    double BucketSeconds() const { return Width; }

private:
    struct SeriesPart {
        bool Any = false, Failed = false;
        float Low = 0, High = 0;
        double LowAt = 0, HighAt = 0;
        double FirstFailedAt = 0, LastFailedAt = 0;
    };
    struct Bucket {
        double First = 0, Last = 0; // seconds of its first and last sample
        SeriesPart Parts[TrendSample::Series];
    };

    static Bucket Of(const TrendSample& sample);
    static void Merge(Bucket& into, const Bucket& from);
    bool SameBucket(double a, double b) const;
    // Doubles the width until the buckets leave room for one more.
    void Coarsen();

    std::vector<Bucket> Buckets; // at most Room, reserved once
    double Width = 0;
};
