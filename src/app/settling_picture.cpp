#include "app/settling_picture.h"

#include <cmath>

namespace {

// The plot shows at least half a minute and a millivolt, so that the first
// readings and a steady probe do not fill it with noise.
constexpr size_t LeastSpan = 100;
constexpr float LeastRangeMv = 1.0f;
constexpr int Margin = 4;
const COLORREF Paper = RGB(255, 255, 255);
const COLORREF WindowShade = RGB(214, 232, 250);
const COLORREF TakenShade = RGB(208, 240, 208);
const COLORREF Grid = RGB(200, 200, 200);
const COLORREF Line = RGB(0, 64, 160);

void Fill(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

} // namespace

void SettlingPicture::Begin() {
    Readings.clear();
    WindowCount = 0;
    Taken = false;
    Span = LeastSpan;
}

// The vertical scale takes in every reading with a tenth to spare; the
// horizontal one grows by half as the point outlasts it, so that the line
// does not crawl.
void SettlingPicture::Show(const std::vector<float>& readings, int windowCount, bool taken) {
    Readings = readings;
    WindowCount = windowCount;
    Taken = taken;
    if (Span < LeastSpan) Span = LeastSpan;
    while (Readings.size() > Span) Span += Span / 2;
    bool any = false;
    float low = 0.0f, high = 0.0f;
    for (float voltage : Readings) {
        if (std::isnan(voltage)) continue;
        low = any && low < voltage ? low : voltage;
        high = any && high > voltage ? high : voltage;
        any = true;
    }
    float spare = (high - low) / 10.0f;
    if (high - low + 2 * spare < LeastRangeMv) spare = (LeastRangeMv - (high - low)) / 2.0f;
    Low = low - spare;
    High = high + spare;
}

void SettlingPicture::Draw(HDC dc, const RECT& area) const {
    Fill(dc, area, Paper);
    const RECT plot = {area.left + Margin, area.top + Margin, area.right - Margin,
                       area.bottom - Margin};
    DrawWindow(dc, plot);
    DrawFrame(dc, plot);
    DrawReadings(dc, plot);
}

// Quarter lines across, and the edge.
void SettlingPicture::DrawFrame(HDC dc, const RECT& plot) const {
    HPEN pen = CreatePen(PS_SOLID, 1, Grid);
    HGDIOBJ old = SelectObject(dc, pen);
    for (int quarter = 1; quarter < 4; ++quarter) {
        const int y = plot.top + (plot.bottom - plot.top) * quarter / 4;
        MoveToEx(dc, plot.left, y, nullptr);
        LineTo(dc, plot.right, y);
    }
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, plot.left, plot.top, plot.right, plot.bottom);
    SelectObject(dc, old);
    DeleteObject(pen);
}

// The readings the settling window holds: blue while it judges them, green
// once the point is taken from them.
void SettlingPicture::DrawWindow(HDC dc, const RECT& plot) const {
    if (WindowCount <= 0 || Readings.empty()) return;
    const size_t first = Readings.size() - static_cast<size_t>(WindowCount);
    RECT shade = plot;
    shade.left = At(plot, first, Low).x;
    shade.right = At(plot, Readings.size() - 1, Low).x + 1;
    Fill(dc, shade, Taken ? TakenShade : WindowShade);
}

// A missing reading breaks the line.
void SettlingPicture::DrawReadings(HDC dc, const RECT& plot) const {
    HPEN pen = CreatePen(PS_SOLID, 2, Line);
    HGDIOBJ old = SelectObject(dc, pen);
    bool drawing = false;
    for (size_t i = 0; i < Readings.size(); ++i) {
        if (std::isnan(Readings[i])) {
            drawing = false;
            continue;
        }
        const POINT p = At(plot, i, Readings[i]);
        if (drawing)
            LineTo(dc, p.x, p.y);
        else
            MoveToEx(dc, p.x, p.y, nullptr);
        drawing = true;
    }
    SelectObject(dc, old);
    DeleteObject(pen);
}

POINT SettlingPicture::At(const RECT& plot, size_t index, float voltage) const {
    const double width = plot.right - plot.left - 1;
    const double height = plot.bottom - plot.top - 1;
    const double x = Span > 1 ? width * static_cast<double>(index) / (Span - 1) : 0.0;
    const double y = High > Low ? height * (High - voltage) / (High - Low) : height / 2;
    return {plot.left + static_cast<LONG>(std::lround(x)),
            plot.top + static_cast<LONG>(std::lround(y))};
}
