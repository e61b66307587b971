#pragma once

#include "core/settling_window.h"

#include <windows.h>

#include <vector>

// The picture of a point as it settles: the probe voltage since the point
// began, one reading every 300 ms, with the readings of the settling window
// shaded, so that a technician sees the probe come to rest. It keeps what it
// shows and draws it whenever the window asks.
class SettlingPicture {
public:
    // A new point: nothing to show yet.
    void Begin();
    // The point's readings so far (a missing one not a number) and how many
    // of the last of them the settling window holds.
    void Show(const std::vector<float>& readings, int windowCount, bool taken);

    void Draw(HDC dc, const RECT& area) const;

private:
    void DrawFrame(HDC dc, const RECT& plot) const;
    void DrawWindow(HDC dc, const RECT& plot) const;
    void DrawReadings(HDC dc, const RECT& plot) const;
    // Where a reading lands in the plot.
    POINT At(const RECT& plot, size_t index, float voltage) const;

    std::vector<float> Readings;
    int WindowCount = 0;
    bool Taken = false;
    float Low = 0.0f, High = 0.0f; // the voltages the plot spans
    size_t Span = 0;               // the readings the plot's width holds
};
