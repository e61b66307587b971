#include "documents/history_report.h"

#include "calibration/record_layout.h"
#include "core/calibration_math.h"
#include "core/language.h"
#include "core/machine_text.h"
#include "core/probe_health.h"
#include "documents/html_document.h"
#include "documents/line_chart.h"

#include <cmath>

namespace {

const char PlusMinus[] = "\xC2\xB1", Dash[] = "\xE2\x80\x93"; // ± –

std::string Whole(double value) {
    return Decimal(value, 0);
}

// "90–105": a range of limits.
std::string Range(double low, double high) {
    return Whole(low) + Dash + Whole(high);
}

// A number of the record as the console shows it, in the language's form.
std::string Number(float value, int decimals) {
    return std::isfinite(value) ? Decimal(value, decimals) : "-";
}

// A word the record keeps in English (an outcome, a probe, a health).
std::string ShownWord(const std::string& word) {
    return word.empty() ? "-" : _(word.c_str());
}

// A time of the record, "2026-12-08 15:03", as a person reads it.
std::string ShownTime(const IsoTime& at) {
    return PersonDate(at.ToMinute());
}

std::string UnitName(const UnitHistory& unit) {
    return (unit.Identification.empty() ? std::string(_("unit")) : unit.Identification) + " " +
           IntegerText(unit.ProductionNumber);
}

Html DueDate(const UnitHistory& unit) {
    return unit.HasDue ? Html(PersonDate(IsoDateOfDay(unit.DueDay))) : Html("-");
}

Html DueState(const UnitHistory& unit, int32_t today) {
    const std::string distance = DueDistance(unit, today);
    if (unit.Unconfirmed) return Formatted(_("{0}: read the unit"), Marking(_("not confirmed")));
    if (unit.VerifyFailed) return Formatted(_("{0}: calibrate"), Marking(_("verification failed")));
    return unit.Overdue ? Marking(_("overdue")) + Html(" " + distance) : Html(distance);
}

int Count(const std::vector<UnitHistory>& units, bool overdueOnly) {
    int count = 0;
    for (const UnitHistory& unit : units)
        count += overdueOnly ? unit.Overdue : static_cast<int>(unit.Calibrations.size());
    return count;
}

Html Overview(const std::vector<UnitHistory>& units, const HistoryReportSource& source) {
    Html html = Heading(1, _("Calibration history"));
    const int32_t interval = source.Rule.IntervalDays;
    std::string dueDates = _("as recorded with the calibration");
    if (interval > 0)
        dueDates = Format(
            // TRANSLATORS: the English says "days" for one day as well.
            Q_("as recorded with the calibration, else {0} days after the calibration",
               "as recorded with the calibration, else {0} days after the calibration", interval),
            {IntegerText(interval)});
    html +=
        FieldTable({{_("record"), source.Record},
                    {_("made"), Format(_("{0} by {1}"), {PersonDate(source.Made), source.Program})},
                    {_("units"),
                     Format(_("{0}, {1} overdue"), {IntegerText(static_cast<int32_t>(units.size())),
                                                    IntegerText(Count(units, true))})},
                    {_("calibrations"), IntegerText(Count(units, false))},
                    {_("due dates"), dueDates},
                    {_("today"), PersonDate(IsoDateOfDay(source.Rule.Today))}});
    HtmlTable table({_("unit"), _("measuring point"), _("calibrations"), _("calibration held"),
                     _("due date"), _("due")});
    table.Unbroken(0).Numeric(2).Unbroken(3).Unbroken(4);
    for (const UnitHistory& unit : units) {
        const std::string held =
            unit.LastWritten < 0 ? "-" : ShownTime(unit.Calibrations[unit.LastWritten].At);
        table.Row({UnitName(unit), Shown(unit.Tag),
                   IntegerText(static_cast<int32_t>(unit.Calibrations.size())), held, DueDate(unit),
                   DueState(unit, source.Rule.Today)},
                  unit.Overdue);
    }
    html += Heading(2, _("Units, those due soonest first")) + table.Markup();
    html += Note(Format(
        _("Slope: the electrode's slope as a percentage of the ideal electrode at the solutions' "
          "temperature, healthy {0} %, usual {1} %. Offset: the voltage at pH 7, healthy within "
          "{2} mV, usual within {3} mV. As-found error: the transmitter's reading in the first "
          "standard before the calibration, less the standard's value at the temperature."),
        {Range(HealthyPhLimits.MinSlopePercent, HealthyPhLimits.MaxSlopePercent),
         Range(UsualPhLimits.MinSlopePercent, UsualPhLimits.MaxSlopePercent),
         PlusMinus + Whole(HealthyPhLimits.MaxOffsetMv),
         PlusMinus + Whole(UsualPhLimits.MaxOffsetMv)}));
    return html;
}

Html CalibrationTable(const UnitHistory& unit) {
    HtmlTable table({_("time"), _("outcome"), _("probe"), _("slope %"), _("offset at pH 7 mV"),
                     _("as-found error"), _("check"), _("verdict"), _("technician")});
    table.Unbroken(0).Numeric(3).Numeric(4).Numeric(5);
    for (size_t i = 0; i < unit.Calibrations.size(); ++i) {
        const HistoryCalibration& c = unit.Calibrations[i];
        std::string outcome = _(c.Outcome.c_str());
        if (c.Undone) outcome = Format(_("{0} (undone)"), {outcome});
        if (static_cast<int>(i) == unit.LastWritten) outcome = Format(_("{0} (held)"), {outcome});
        if (c.Unconfirmed) outcome = Format(_("{0} (not confirmed)"), {outcome});
        table.Row({ShownTime(c.At), outcome, ShownWord(c.Probe),
                   Number(c.SlopePercent, SlopeDecimals), Number(c.OffsetPh7Mv, OffsetDecimals),
                   Number(c.FoundError, FoundErrorDecimals), ShownWord(c.CheckResult),
                   ShownHealth(c), Shown(c.Technician)});
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
        panel.Title = Format(_("slope [% of {0}]"), {_(rule.SlopeReference)});
        panel.Empty = _("no measured slope: one-point calibrations only");
        panel.Bands.push_back({rule.Healthy.MinSlopePercent, rule.Healthy.MaxSlopePercent,
                               Format(_("healthy {0} %"), {Range(rule.Healthy.MinSlopePercent,
                                                                 rule.Healthy.MaxSlopePercent)})});
        for (const double limit : {rule.Usual.MinSlopePercent, rule.Usual.MaxSlopePercent})
            panel.Limits.push_back({limit, Format(_("usual {0} %"), {Whole(limit)})});
    } else if (ZeroInMv(unit.ProbeType)) {
        const bool ph = CalibrationLaw(unit.ProbeType) == ProbePH;
        panel.Title = ph ? _("offset at pH 7 [mV]") : _("offset [mV]");
        panel.Empty = ph ? _("no offset at pH 7") : _("no offset");
        const double healthy = rule.Healthy.MaxZero, usual = rule.Usual.MaxZero;
        panel.Bands.push_back(
            {-healthy, healthy, Format(_("healthy {0} mV"), {PlusMinus + Whole(healthy)})});
        panel.Limits.push_back({usual, Format(_("usual {0} mV"), {"+" + Whole(usual)})});
        panel.Limits.push_back({-usual, Format(_("usual {0} mV"), {Whole(-usual)})});
    } else {
        panel.Title = _("zero [mg/L]");
        panel.Empty = _("no zero: one-point calibrations only");
        panel.Bands.push_back({0, rule.Healthy.MaxZero,
                               Format(_("healthy {0} mg/L"), {Decimal(rule.Healthy.MaxZero, 2)})});
        panel.Limits.push_back(
            {rule.Usual.MaxZero, Format(_("usual {0} mg/L"), {Decimal(rule.Usual.MaxZero, 2)})});
    }
    return panel;
}

Html Trend(const UnitHistory& unit) {
    bool measured = false;
    for (const HistoryCalibration& calibration : unit.Calibrations)
        measured = measured || MeasuredElectrode(calibration);
    if (!measured)
        return Note(_("No trend: no calibration measured the electrode (written, check failed or "
                      "declined)."));
    LineChart chart;
    chart.Time = ChartTime::Days;
    chart.TimeTitle = _("date of the calibration");
    chart.Width = 720;
    chart.PanelHeight = 150;
    if (RuleOf(unit.ProbeType).HasSlope) chart.Panels.push_back(TrendPanel(unit, true));
    chart.Panels.push_back(TrendPanel(unit, false));
    return Figure(Html::Trusted(LineChartSvg(chart)),
                  _("The probe's slope and its offset or zero at each calibration that measured "
                    "them (written, check failed or declined). Shaded: healthy; dashed: the usual "
                    "limits, beyond which a calibration is written only when someone says so."));
}

Html UnitSheet(const UnitHistory& unit, const HistoryReportSource& source) {
    Html title = unit.Tag.empty() ? Html(UnitName(unit))
                                  : Html(Format(_("{0} at {1}"), {UnitName(unit), unit.Tag}));
    if (unit.Overdue) title += Html(" ") + Marking(_("overdue"));
    const Html due = unit.HasDue ? DueDate(unit) + Html(", ") + DueState(unit, source.Rule.Today)
                                 : Html(DueDistance(unit, source.Rule.Today));
    const std::string held =
        unit.LastWritten < 0 ? _("none") : ShownTime(unit.Calibrations[unit.LastWritten].At);
    Html html = Heading(2, title);
    html += FieldTable(
        {{_("production number"), IntegerText(unit.ProductionNumber)},
         {_("identification"), Shown(unit.Identification)},
         {_("measuring point"), Shown(unit.Tag)},
         {_("due date"), due},
         {_("calibration held"), held},
         {_("calibrations"), IntegerText(static_cast<int32_t>(unit.Calibrations.size()))}});
    return html + Heading(3, _("Calibrations, oldest first")) + CalibrationTable(unit) +
           Trend(unit);
}

} // namespace

std::string HistoryReport(const std::vector<UnitHistory>& units,
                          const HistoryReportSource& source) {
    HtmlPage page(Format(_("Calibration history of {0}"), {source.Record}));
    page.Add(Overview(units, source));
    for (const UnitHistory& unit : units) {
        page.NewSection();
        page.Add(UnitSheet(unit, source));
    }
    return page.Text();
}
