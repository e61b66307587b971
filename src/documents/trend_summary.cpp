#include "documents/trend_summary.h"

#include <algorithm>
#include <cmath>
#include <iterator>

TrendSummary::Bucket TrendSummary::Of(const TrendSample& sample) {
    Bucket bucket;
    bucket.First = bucket.Last = sample.Seconds;
    for (int i = 0; i < TrendSample::Series; ++i) {
        SeriesPart& part = bucket.Parts[i];
        if (sample.Read[i]) {
            part.Any = true;
            part.Low = part.High = sample.Values[i];
            part.LowAt = part.HighAt = sample.Seconds;
        } else {
            part.Failed = true;
            part.FirstFailedAt = part.LastFailedAt = sample.Seconds;
        }
    }
    return bucket;
}

// `from` follows `into` in time; of equal extremes the earlier stays.
void TrendSummary::Merge(Bucket& into, const Bucket& from) {
    into.First = std::min(into.First, from.First);
    into.Last = std::max(into.Last, from.Last);
    for (int i = 0; i < TrendSample::Series; ++i) {
        SeriesPart& part = into.Parts[i];
        const SeriesPart& other = from.Parts[i];
        if (other.Any && (!part.Any || other.Low < part.Low)) {
            part.Low = other.Low;
            part.LowAt = other.LowAt;
        }
        if (other.Any && (!part.Any || other.High > part.High)) {
            part.High = other.High;
            part.HighAt = other.HighAt;
        }
        part.Any = part.Any || other.Any;
        if (other.Failed) {
            part.FirstFailedAt = part.Failed ? part.FirstFailedAt : other.FirstFailedAt;
            part.LastFailedAt = other.LastFailedAt;
            part.Failed = true;
        }
    }
}

bool TrendSummary::SameBucket(double a, double b) const {
    return std::floor(a / Width) == std::floor(b / Width);
}

void TrendSummary::Coarsen() {
    if (Width == 0) {
        // The widest power of two at which the samples so far would still
        // fill the room: the first regrouping keeps as much as it can.
        const double span = Buckets.back().Last - Buckets.front().First;
        Width = span > 0 ? std::ldexp(1.0, std::ilogb(span / Room)) : 1;
    } else {
        Width *= 2;
    }
    for (;;) {
        size_t kept = 0;
        for (size_t i = 1; i < Buckets.size(); ++i) {
            if (SameBucket(Buckets[kept].First, Buckets[i].First))
                Merge(Buckets[kept], Buckets[i]);
            else
                Buckets[++kept] = Buckets[i];
        }
        Buckets.resize(kept + 1);
        if (Buckets.size() < Room) return;
        Width *= 2;
    }
}

void TrendSummary::Add(const TrendSample& sample) {
    const Bucket bucket = Of(sample);
    if (Width > 0 && SameBucket(Buckets.back().First, sample.Seconds)) {
        Merge(Buckets.back(), bucket);
        return;
    }
    if (Buckets.size() == Room) {
        Coarsen();
        if (SameBucket(Buckets.back().First, sample.Seconds)) {
            Merge(Buckets.back(), bucket);
            return;
        }
    }
    if (Buckets.empty()) Buckets.reserve(Room);
    Buckets.push_back(bucket);
}

std::vector<ChartPoint> TrendSummary::Points(int series) const {
    const auto earlier = [](const ChartPoint& a, const ChartPoint& b) { return a.Time < b.Time; };
    std::vector<ChartPoint> points;
    points.reserve(Width > 0 ? 2 * Buckets.size() : Buckets.size());
    for (const Bucket& bucket : Buckets) {
        const SeriesPart& part = bucket.Parts[series];
        ChartPoint values[2], gaps[2];
        int valueCount = 0, gapCount = 0;
        if (part.Any) {
            values[valueCount++] = {part.LowAt, part.Low};
            // A sample's own value once.
            if (part.HighAt != part.LowAt || part.High != part.Low)
                values[valueCount++] = {part.HighAt, part.High};
            if (valueCount == 2 && earlier(values[1], values[0])) std::swap(values[0], values[1]);
        }
        if (part.Failed) {
            gaps[gapCount++] = {part.FirstFailedAt, std::nan("")};
            if (part.LastFailedAt != part.FirstFailedAt)
                gaps[gapCount++] = {part.LastFailedAt, std::nan("")};
        }
        std::merge(values, values + valueCount, gaps, gaps + gapCount, std::back_inserter(points),
                   earlier);
    }
    return points;
}
