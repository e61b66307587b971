#include "documents/history_report.h"

#include "calibration/record_layout.h"
#include "core/calibration_math.h"
#include "core/machine_text.h"
#include "core/probe_health.h"
#include "documents/html_document.h"
#include "documents/line_chart.h"

#include <cmath>

namespace {

const char PlusMinus[] = "\xC2\xB1", Dash[] = "\xE2\x80\x93"; // ± –

std::string Whole(double value) {
    return FixedText(value, 0);
}

std::string UnitName(const UnitHistory& unit) {
    return (unit.Identification.empty() ? std::string("unit") : unit.Identification) + " " +
           IntegerText(unit.ProductionNumber);
}

Html DueDate(const UnitHistory& unit) {
    return unit.HasDue ? Html(IsoDateOfDay(unit.DueDay)) : Html("-");
}

Html DueState(const UnitHistory& unit, int32_t today) {
    const std::string distance = DueDistance(unit, today);
    if (unit.Unconfirmed) return Marking("not confirmed") + Html(": read the unit");
    if (unit.VerifyFailed) return Marking("verification failed") + Html(": calibrate");
    return unit.Overdue ? Marking("overdue") + Html(" " + distance) : Html(distance);
}

int Count(const std::vector<UnitHistory>& units, bool overdueOnly) {
    int count = 0;
    for (const UnitHistory& unit : units)
        count += overdueOnly ? unit.Overdue : static_cast<int>(unit.Calibrations.size());
    return count;
}

Html Overview(const std::vector<UnitHistory>& units, const HistoryReportSource& source) {
    Html html = Heading(1, "Calibration history");
    const std::string interval =
        source.Rule.IntervalDays > 0
            ? ", else " + IntegerText(source.Rule.IntervalDays) + " days after the calibration"
            : "";
    html += FieldTable({{"record", source.Record},
                        {"made", source.Made + " by " + source.Program},
                        {"units", IntegerText(static_cast<int32_t>(units.size())) + ", " +
                                      IntegerText(Count(units, true)) + " overdue"},
                        {"calibrations", IntegerText(Count(units, false))},
                        {"due dates", "as recorded with the calibration" + interval},
                        {"today", IsoDateOfDay(source.Rule.Today)}});
    HtmlTable table(
        {"unit", "measuring point", "calibrations", "calibration held", "due date", "due"});
    table.Unbroken(0).Numeric(2).Unbroken(3).Unbroken(4);
    for (const UnitHistory& unit : units) {
        const std::string held =
            unit.LastWritten < 0 ? "-" : unit.Calibrations[unit.LastWritten].At.ToMinute();
        table.Row({UnitName(unit), Shown(unit.Tag),
                   IntegerText(static_cast<int32_t>(unit.Calibrations.size())), held, DueDate(unit),
                   DueState(unit, source.Rule.Today)},
                  unit.Overdue);
    }
    html += Heading(2, "Units, those due soonest first") + table.Markup();
    html += Note(
        "Slope: the electrode's slope as a percentage of the ideal electrode at the solutions' "
        "temperature, healthy " +
        Whole(HealthyPhLimits.MinSlopePercent) + Dash + Whole(HealthyPhLimits.MaxSlopePercent) +
        " %, usual " + Whole(UsualPhLimits.MinSlopePercent) + Dash +
        Whole(UsualPhLimits.MaxSlopePercent) + " %. Offset: the voltage at pH 7, healthy within " +
        PlusMinus + Whole(HealthyPhLimits.MaxOffsetMv) + " mV, usual within " + PlusMinus +
        Whole(UsualPhLimits.MaxOffsetMv) +
        " mV. As-found error: the transmitter's reading in "
        "the first standard before the calibration, less the standard's value at the "
        "temperature.");
    return html;
}

Html CalibrationTable(const UnitHistory& unit) {
    HtmlTable table({"time", "outcome", "probe", "slope %", "offset at pH 7 mV", "as-found error",
                     "check", "verdict", "technician"});
    table.Unbroken(0).Numeric(3).Numeric(4).Numeric(5);
    for (size_t i = 0; i < unit.Calibrations.size(); ++i) {
        const HistoryCalibration& c = unit.Calibrations[i];
        Html outcome = c.Outcome;
        if (c.Undone) outcome += Html(" (undone)");
        if (static_cast<int>(i) == unit.LastWritten) outcome += Html(" (held)");
        if (c.Unconfirmed) outcome += Html(" (not confirmed)");
        table.Row({c.At.ToMinute(), outcome, Shown(c.Probe), Shown(c.SlopePercent, SlopeDecimals),
                   Shown(c.OffsetPh7Mv, OffsetDecimals), Shown(c.FoundError, FoundErrorDecimals),
                   Shown(c.CheckResult), Shown(c.Health), Shown(c.Technician)});
    }
    return table.Markup();
}

// The calibrations that measured the electrode: refused ones gave values no
// electrode has, and an undo measures nothing.
bool MeasuredElectrode(const HistoryCalibration& calibration) {
    const std::string& outcome = calibration.Outcome;
    return outcome == OutcomeWritten || outcome == OutcomeFailed || outcome == OutcomeDeclined;
}

// The unit's probe: pH, Redox, chlorine or oxygen.
bool ZeroInMv(uint8_t probeType) {
    return CalibrationLaw(probeType) == ProbePH || CalibrationLaw(probeType) == ProbeRedox;
}

// The slope against its reference, or what the probe's health judges
// besides: each probe type with its own healthy range (shaded) and usual
// limits (dashed).
ChartPanel TrendPanel(const UnitHistory& unit, bool slope) {
    const ProbeRule& rule = RuleOf(unit.ProbeType);
    ChartPanel panel;
    ChartSeries series;
    series.Mark = slope ? ChartMark::Circle : ChartMark::Square;
    for (const HistoryCalibration& c : unit.Calibrations) {
        const float value = slope ? c.SlopePercent : c.Zero;
        if (MeasuredElectrode(c) && CalibrationLaw(c.ProbeType) == CalibrationLaw(unit.ProbeType) &&
            std::isfinite(value))
            series.Points.push_back({c.At.LocalDays(), value});
    }
    panel.Series.push_back(series);
    if (slope) {
        panel.Title = std::string("slope [% of ") + rule.SlopeReference + "]";
        panel.Empty = "no measured slope: one-point calibrations only";
        panel.Bands.push_back({rule.Healthy.MinSlopePercent, rule.Healthy.MaxSlopePercent,
                               "healthy " + Whole(rule.Healthy.MinSlopePercent) + Dash +
                                   Whole(rule.Healthy.MaxSlopePercent) + " %"});
        panel.Limits.push_back(
            {rule.Usual.MinSlopePercent, "usual " + Whole(rule.Usual.MinSlopePercent) + " %"});
        panel.Limits.push_back(
            {rule.Usual.MaxSlopePercent, "usual " + Whole(rule.Usual.MaxSlopePercent) + " %"});
    } else if (ZeroInMv(unit.ProbeType)) {
        const bool ph = CalibrationLaw(unit.ProbeType) == ProbePH;
        panel.Title = ph ? "offset at pH 7 [mV]" : "offset [mV]";
        panel.Empty = ph ? "no offset at pH 7" : "no offset";
        const double healthy = rule.Healthy.MaxZero, usual = rule.Usual.MaxZero;
        panel.Bands.push_back(
            {-healthy, healthy, "healthy " + std::string(PlusMinus) + Whole(healthy) + " mV"});
        panel.Limits.push_back({usual, "usual +" + Whole(usual) + " mV"});
        panel.Limits.push_back({-usual, "usual " + Whole(-usual) + " mV"});
    } else {
        panel.Title = "zero [mg/L]";
        panel.Empty = "no zero: one-point calibrations only";
        panel.Bands.push_back(
            {0, rule.Healthy.MaxZero, "healthy " + FixedText(rule.Healthy.MaxZero, 2) + " mg/L"});
        panel.Limits.push_back(
            {rule.Usual.MaxZero, "usual " + FixedText(rule.Usual.MaxZero, 2) + " mg/L"});
    }
    return panel;
}

Html Trend(const UnitHistory& unit) {
    bool measured = false;
    for (const HistoryCalibration& calibration : unit.Calibrations)
        measured = measured || MeasuredElectrode(calibration);
    if (!measured)
        return Note("No trend: no calibration measured the electrode (written, check failed or "
                    "declined).");
    LineChart chart;
    chart.Time = ChartTime::Days;
    chart.TimeTitle = "date of the calibration";
    chart.Width = 720;
    chart.PanelHeight = 150;
    if (RuleOf(unit.ProbeType).HasSlope) chart.Panels.push_back(TrendPanel(unit, true));
    chart.Panels.push_back(TrendPanel(unit, false));
    return Figure(Html::Trusted(LineChartSvg(chart)),
                  "The probe's slope and its offset or zero at each calibration that measured "
                  "them (written, check failed or declined). Shaded: healthy; dashed: the usual "
                  "limits, beyond which a calibration is written only when someone says so.");
}

Html UnitSheet(const UnitHistory& unit, const HistoryReportSource& source) {
    Html title = UnitName(unit);
    if (!unit.Tag.empty()) title += Html(" at " + unit.Tag);
    if (unit.Overdue) title += Html(" ") + Marking("overdue");
    const Html due = unit.HasDue ? DueDate(unit) + Html(", ") + DueState(unit, source.Rule.Today)
                                 : Html(DueDistance(unit, source.Rule.Today));
    const std::string held =
        unit.LastWritten < 0 ? "none" : unit.Calibrations[unit.LastWritten].At.ToMinute();
    Html html = Heading(2, title);
    html +=
        FieldTable({{"production number", IntegerText(unit.ProductionNumber)},
                    {"identification", Shown(unit.Identification)},
                    {"measuring point", Shown(unit.Tag)},
                    {"due date", due},
                    {"calibration held", held},
                    {"calibrations", IntegerText(static_cast<int32_t>(unit.Calibrations.size()))}});
    return html + Heading(3, "Calibrations, oldest first") + CalibrationTable(unit) + Trend(unit);
}

} // namespace

std::string HistoryReport(const std::vector<UnitHistory>& units,
                          const HistoryReportSource& source) {
    HtmlPage page("Calibration history of " + source.Record);
    page.Add(Overview(units, source));
    for (const UnitHistory& unit : units) {
        page.NewSection();
        page.Add(UnitSheet(unit, source));
    }
    return page.Text();
}
