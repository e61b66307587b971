#include "documents/calibration_certificate.h"

#include "calibration/held_calibration.h"
#include "calibration/record_file.h"
#include "calibration/record_layout.h"
#include "core/english_names.h"
#include "core/language.h"
#include "core/machine_text.h"
#include "core/text_encoding.h"
#include "documents/html_document.h"
#include "documents/line_chart.h"
#include "vl4_version.h"

#include <cmath>

namespace {

const char PlusMinus[] = "\xC2\xB1", Dash[] = "\xE2\x80\x93", AtMost[] = "\xE2\x89\xA4"; // ± – ≤
// The catalog's English texts are ASCII: a dash in a sentence is its {0}.
const char EmDash[] = "\xE2\x80\x94"; // —
// The texts from outside are cut where they would push the page onto a
// second sheet; the record keeps them whole.
constexpr int LongestText = 48, LongestSignature = 40;

// One sheet: smaller type and tighter tables than the common pages, and the
// stability pictures three side by side.
const char CertificateStyle[] = R"(html { font-size: 8.5pt; }
h1 { font-size: 15pt; margin: 0; }
h2 { font-size: 10pt; margin: 2mm 0 1mm 0; padding-bottom: 0.5mm; border-bottom-width: 1pt; }
table { margin: 1mm 0; }
th, td { padding: 0.35mm 1.2mm; }
table.data { font-size: 8.5pt; }
.title { display: flex; justify-content: space-between; align-items: baseline;
  border-bottom: 2pt solid #000; padding-bottom: 1mm; margin-bottom: 1.5mm; }
.banner { border: 2pt solid #000; text-align: center; padding: 1mm; margin-bottom: 1.5mm; }
.banner strong { display: block; font-size: 15pt; letter-spacing: 0.12em; }
.columns { display: grid; grid-template-columns: 1fr 1fr; gap: 4mm; align-items: start; }
.columns table { margin: 0; }
.pictures { display: grid; grid-template-columns: repeat(3, 1fr); gap: 4mm; }
.pictures figure { margin: 0.5mm 0; }
.signatures { margin-top: 9mm; }
)";

std::string Whole(double value) {
    return Decimal(value, 0);
}

// A value the record keeps exactly (a standard, a sensitivity), with the
// language's decimal symbol.
std::string Exact(float value) {
    std::string text = ExactText(value);
    const size_t point = text.find('.');
    if (point != std::string::npos) text[point] = Decimal(0, 1)[1]; // of "0.0" or "0,0"
    return text;
}

// The record's "2026-12-07T16:56:19.457+01:00" as a person reads it.
std::string PersonTime(const std::string& iso) {
    if (iso.size() < 29) return iso;
    return PersonDate(iso.substr(0, 10) + " " + iso.substr(11, 8)) + " (UTC" + iso.substr(23) + ")";
}

Html Either(bool known, const std::string& text) {
    return known ? Html(text) : Html("-");
}

// What became of the calibration, in a few words, and what is marked across
// the top, with the gist, when it is not a calibration to rely on.
struct Standing {
    std::string Banner; // empty: none
    std::string Gist;
    std::string Words;
};

Standing StandingOf(const CalibrationRecord& r) {
    if (r.Outcome == OutcomeVerified)
        // TRANSLATORS: {0} is a dash, here and in the gist of a failed verification.
        return {Format(_("VERIFICATION {0} NOT ADJUSTED"), {EmDash}),
                _("every standard read within its tolerance"),
                _("verified: every standard read within its tolerance; nothing was written")};
    if (r.Outcome == OutcomeVerifyFailed)
        return {_("FAILED"),
                Format(_("verification {0} not adjusted: a standard read outside its tolerance"),
                       {EmDash}),
                _("verification failed: a standard read outside its tolerance; nothing was "
                  "written: calibrate the probe")};
    const std::string unconfirmed = r.Unconfirmed();
    if (r.Outcome == OutcomeRefused)
        return {_("NOT CALIBRATED"), _("refused: nothing was written"),
                _("refused: the points give no slope a working probe of this kind has; nothing "
                  "was written, the transmitter keeps what it held")};
    if (r.Outcome == OutcomeDeclined)
        return {_("NOT CALIBRATED"), _("declined: nothing was written"),
                _("declined: the pair lies beyond the usual limits and was not written; the "
                  "transmitter keeps what it held")};
    if (!unconfirmed.empty())
        return {_("NOT CONFIRMED"), _("the writes were not all confirmed"),
                Format(_("not confirmed: the transmitter did not confirm {0}; read its "
                         "calibration before the unit is used"),
                       {ValueNames(unconfirmed)})};
    if (r.CheckOutcome == CheckResult::Interrupted)
        return {_("CHECK NOT COMPLETED"), _("written; the check was cut short"),
                _("written; the check was cut short and proved nothing either way")};
    if (r.CheckOutcome == CheckResult::Fail && !r.Check.Taken)
        return {_("CHECK FAILED"), _("written, but the check did not settle"),
                _("written, but the check standard gave no stable reading")};
    if (r.CheckOutcome == CheckResult::Fail)
        return {_("CHECK FAILED"), _("written, but the check failed"),
                _("written, but the check standard reads outside the tolerance")};
    return {"", "", _("calibrated")};
}

Html Title(const CalibrationRecord& r, const Standing& standing) {
    const char* title =
        r.IsVerification() ? _("Verification certificate") : _("Calibration certificate");
    Html html =
        Element("div", Element("h1", title) + Element("span", "vl4 " VL4_VERSION_TEXT), "title");
    if (!standing.Banner.empty())
        html += Element("div", Strong(standing.Banner) + Html(standing.Gist), "banner");
    return html;
}

std::string ProbeName(const CalibrationRecord& r) {
    return _(ProbeTypeEnglishName(r.ProbeType));
}

std::string Outside(const std::string& text) {
    return text.empty() ? "-" : CutToWidth(OnOneLine(text), LongestText);
}

std::string NotRecorded() {
    return _("not recorded");
}

// Where the standards' values came from: a table (a bottle's by its file's
// name) at the temperature, the air's pressure and salinity, the water's pH.
std::string Standards(const CalibrationRecord& r) {
    if (r.PreviousLayout) return NotRecorded();
    std::string words;
    const auto add = [&words](const std::string& more) {
        words += (words.empty() ? "" : "; ") + more;
    };
    if (!r.Buffers.empty())
        add(r.Buffers == "nist"
                ? Format(_("NIST table at {0}"), {Celsius(r.Temperature)})
                : Format(_("table {0} at {1}"), {Outside(r.Buffers), Celsius(r.Temperature)}));
    if (!std::isnan(r.PressureHpa))
        add(Format(_("air at {0} hPa, salinity {1} g/kg"),
                   {Decimal(r.PressureHpa, 1), Exact(static_cast<float>(r.SalinityGPerKg))}));
    if (!std::isnan(r.SamplePh))
        add(Format(_("water at pH {0}: {1} % of its free chlorine HOCl"),
                   {Decimal(r.SamplePh, 2), Decimal(r.HoclPercent, 1)}));
    if (!std::isnan(r.GrabDelaySeconds))
        add(Format(_("grab sample measured {0} s after its reading was held"),
                   {Decimal(r.GrabDelaySeconds, 0)}));
    return words.empty() ? _("the values as given") : words;
}

// "≤ 0.6 mV/min": a settling limit.
std::string AtMostText(double limit, const char* unit) {
    return std::string(AtMost) + " " + Exact(static_cast<float>(limit)) + " " + unit;
}

// "drift ≤ 0.6 mV/min, spread ≤ 0.5 mV"
std::string LimitsText(const SettlingLimits& limits) {
    return Format(_("drift {0}, spread {1}"), {AtMostText(limits.MaxDriftMvPerMinute, "mV/min"),
                                               AtMostText(limits.MaxSpreadMv, "mV")});
}

std::string SettlingRule(const CalibrationRecord& r) {
    if (r.PreviousLayout) return NotRecorded();
    if (!r.Settle)
        return Format(_("not waited for: the first {0} readings"),
                      {IntegerText(SettlingWindow::Size)});
    return LimitsText(r.Limits);
}

std::string TemperatureText(const CalibrationRecord& r) {
    const std::string temperature = Celsius(r.Temperature);
    if (r.PreviousLayout) return temperature;
    return Format(r.TemperatureGiven ? _("{0} (given)") : _("{0} (assumed: not given)"),
                  {temperature});
}

// Side by side: the unit and who calibrated it, and how it was calibrated.
Html Facts(const CalibrationRecord& r, const Standing& standing) {
    const Html unit = FieldTable({{_("identification"), Outside(r.Identification)},
                                  {_("production number"), IntegerText(r.ProductionNumber)},
                                  {_("firmware"), r.Firmware},
                                  {_("port"), Outside(r.Port)},
                                  {_("measuring point"), Outside(r.Tag)},
                                  {_("technician"), Outside(r.Technician)}},
                                 1);
    const Html calibration = FieldTable({{_("date and time"), PersonTime(r.Time)},
                                         {_("probe"), ProbeName(r)},
                                         {_("temperature"), TemperatureText(r)},
                                         {_("standards"), Standards(r)},
                                         {_("stable when"), SettlingRule(r)},
                                         {_("result"), standing.Words}},
                                        1);
    return Element("div", unit + calibration, "columns");
}

// The rows of the points and the check, as the console reported them.
// A check of the previous layout gives only what the transmitter read.
void PointRow(HtmlTable& table, const std::string& name, const PointResult& p,
              bool figuresKnown = true) {
    if (!p.Taken) {
        table.Row({name, Exact(p.Standard), Decimal(p.StandardUsed, 3), _("not taken"), "", "", "",
                   "", "", ""});
        return;
    }
    const bool read = p.HasFoundValue;
    const auto figure = [&](const std::string& text) { return Either(figuresKnown, text); };
    table.Row({name, Exact(p.Standard), Decimal(p.StandardUsed, 3), figure(Decimal(p.Voltage, 3)),
               figure(Decimal(p.SpreadMv, 3)), figure(Decimal(p.DriftMvPerMinute, 2)),
               figure(IntegerText(p.Readings)), figure(Decimal(p.SettleSeconds, 1)),
               Either(read, Decimal(p.FoundValue, 3)),
               Either(read, SignedDecimal(p.FoundValue - p.StandardUsed, 3))});
}

std::string PointName(int i) {
    return Format(_("point {0}"), {IntegerText(i + 1)});
}

std::string CheckName() {
    return _("check");
}

Html Points(const CalibrationRecord& r) {
    HtmlTable table({"", _("standard"), _("value used"), _("mean [mV]"), _("spread [mV]"),
                     _("drift [mV/min]"), _("readings"), _("taken after [s]"),
                     _("transmitter read"), _("error")});
    table.Unbroken(0);
    for (int column = 1; column < 10; ++column) table.Numeric(column);
    for (int i = 0; i < r.Points; ++i) PointRow(table, PointName(i), r.Point[i]);
    if (r.HasCheck) PointRow(table, CheckName(), r.Check, !r.PreviousLayout);
    return Heading(2, _("Points")) + table.Markup() +
           Note(Format(_("Mean, spread (standard deviation), drift and transmitter read (its "
                         "measured value: as found at the points, as left at the check): of the "
                         "{0} readings taken. Error: that reading less the value used."),
                       {IntegerText(SettlingWindow::Size)}));
}

Html StabilityPicture(const std::string& name, const PointResult& p, const CalibrationRecord& r) {
    LineChart chart;
    chart.TimeTitle = _("since the point began");
    chart.Width = 280;
    chart.PanelHeight = 100;
    ChartPanel panel;
    panel.Title = Format(_("{0}: voltage [mV]"), {name});
    ChartSeries voltage;
    for (size_t i = 0; i < p.Trace.size(); ++i)
        voltage.Points.push_back({static_cast<double>(i) * ReadingIntervalSeconds, p.Trace[i]});
    panel.Series.push_back(voltage);
    chart.Panels.push_back(panel);
    if (p.Taken && !p.Trace.empty())
        chart.Spans.push_back({p.WindowStart() * ReadingIntervalSeconds,
                               static_cast<double>(p.Trace.size() - 1) * ReadingIntervalSeconds,
                               _("taken")});
    std::string caption;
    if (!p.Taken)
        caption = Format(_("{0}: not taken"), {name});
    else if (r.Settle)
        caption = Format(_("{0}: taken (shaded), drift {1} {2}, spread {3} {4}"),
                         {name, Decimal(p.DriftMvPerMinute, 2),
                          AtMostText(r.Limits.MaxDriftMvPerMinute, "mV/min"),
                          Decimal(p.SpreadMv, 3), AtMostText(r.Limits.MaxSpreadMv, "mV")});
    else
        caption = Format(_("{0}: the first readings (shaded), drift {1} mV/min, spread {2} mV; "
                           "not waited for"),
                         {name, Decimal(p.DriftMvPerMinute, 2), Decimal(p.SpreadMv, 3)});
    return Figure(Html::Trusted(LineChartSvg(chart)), caption);
}

Html Stability(const CalibrationRecord& r) {
    const Html heading = Heading(2, _("Stability"));
    if (r.PreviousLayout)
        return heading + Paragraph(_("The readings of the points are not in a record of the "
                                     "previous layout: their pictures cannot be drawn."));
    Html pictures;
    for (int i = 0; i < r.Points; ++i) pictures += StabilityPicture(PointName(i), r.Point[i], r);
    if (r.HasCheck) pictures += StabilityPicture(CheckName(), r.Check, r);
    return heading + Element("div", pictures, "pictures");
}

// The sensitivity's label with its unit.
std::string SensitivityLabel(const CalibrationRecord& r) {
    if (r.IsPh()) return _("sensitivity [mV/pH]");
    return CalibrationLaw(r.ProbeType) == ProbeRedox ? _("sensitivity")
                                                     : _("sensitivity [mV per mg/L]");
}

std::string PersonDateOf(uint32_t bcd) {
    return PersonDate(DateText(bcd));
}

// As found, as computed and as left, side by side.
Html HeldValues(const CalibrationRecord& r) {
    if (r.IsVerification())
        return Heading(2, _("Calibration in the transmitter")) +
               FieldTable(
                   {{_("offset [mV]"), Either(r.Found.HasOffset, Exact(r.Found.Offset))},
                    {SensitivityLabel(r),
                     Either(r.Found.HasSensitivity, Exact(r.Found.Sensitivity))},
                    {_("calibration date"), Either(r.Found.HasDate, PersonDateOf(r.Found.Date))}},
                   3) +
               Note(_("Held before, during and after the verification: nothing was written."));
    const HeldPair& f = r.Found;
    const HeldPair& l = r.Left;
    const bool written = r.Outcome == OutcomeWritten || r.Outcome == OutcomeFailed;
    const Html notWritten = _("not written");
    const auto left = [&](bool known, const std::string& text) {
        return written ? Either(known, text) : notWritten;
    };
    std::string sensitivity = r.HasComputed ? Exact(r.Computed.Sensitivity) : "-";
    if (r.HasComputed && r.Slope == SlopeSource::Kept)
        sensitivity = Format(_("{0} (kept)"), {sensitivity});
    if (r.HasComputed && r.IsPh() && r.Slope == SlopeSource::Assumed)
        sensitivity = Format(_("{0} (assumed)"), {sensitivity});
    HtmlTable table({"", _("as found"), _("computed"), _("as left")});
    table.Numeric(1).Numeric(2).Numeric(3);
    table.Row({_("offset [mV]"), Either(f.HasOffset, Exact(f.Offset)),
               Either(r.HasComputed, Exact(r.Computed.Offset)),
               left(l.HasOffset, Exact(l.Offset))});
    table.Row({SensitivityLabel(r), Either(f.HasSensitivity, Exact(f.Sensitivity)), sensitivity,
               left(l.HasSensitivity, Exact(l.Sensitivity))});
    table.Row({_("calibration date"), Either(f.HasDate, PersonDateOf(f.Date)), "-",
               left(l.HasDate, PersonDateOf(l.Date))});
    return Heading(2, _("Calibration in the transmitter")) + table.Markup() +
           Note(_("As found: held before the first point. As left: returned to each write, which "
                  "is what the transmitter holds now."));
}

// What the pair says of the probe, in words.
std::string Verdict(const CalibrationRecord& r) {
    const ProbeJudgement j = r.Judgement();
    const std::string judged = !RuleOf(r.ProbeType).HasSlope ? _("the offset")
                               : !j.SlopeJudged ? _("the offset (one point measures no slope)")
                               : !j.ZeroJudged  ? _("the slope (one point: no zero of its own)")
                               : r.IsPh()       ? _("slope and offset")
                                                : _("slope and zero");
    if (j.Healthy) return Format(_("{0} within the healthy limits."), {judged});
    if (j.Usual)
        return Format(_("{0} outside the healthy limits, within the usual ones."), {judged});
    if (!WritesConfirmed(r))
        return Format(_("{0} beyond the usual limits; the writes were not confirmed."), {judged});
    if (r.Outcome == OutcomeWritten || r.Outcome == OutcomeFailed)
        return Format(_("{0} beyond the usual limits, written because someone said so."), {judged});
    return Format(_("{0} beyond the usual limits."), {judged});
}

// The probe's limits as ranges: "90–105 %", "±30 mV", "≤ 0.2 mg/L".
std::string SlopeRange(const ProbeLimits& limits) {
    return Whole(limits.MinSlopePercent) + Dash + Whole(limits.MaxSlopePercent) + " %";
}

std::string ZeroRange(const CalibrationRecord& r, const ProbeLimits& limits) {
    if (r.IsPh() || CalibrationLaw(r.ProbeType) == ProbeRedox)
        return std::string(PlusMinus) + Whole(limits.MaxZero) + " mV";
    return Format(_("{0} mg/L"),
                  {std::string(AtMost) + " " + Exact(static_cast<float>(limits.MaxZero))});
}

Html Electrode(const CalibrationRecord& r) {
    Html html = Heading(2, r.IsPh() || CalibrationLaw(r.ProbeType) == ProbeRedox ? _("Electrode")
                                                                                 : _("Probe"));
    if (r.IsVerification())
        return html + Paragraph(_("Verified, not adjusted: no pair was computed or written."));
    if (!r.HasComputed)
        return html + Paragraph(_("No pair to judge: the points give no slope a working probe of "
                                  "this kind has."));
    const ProbeRule& rule = RuleOf(r.ProbeType);
    const ProbeJudgement j = r.Judgement();
    const std::string notJudged = _("not judged");
    HtmlTable table({"", _("found"), _("healthy"), _("usual")});
    table.Unbroken(2).Unbroken(3);
    if (rule.HasSlope) {
        std::string slope;
        if (!j.SlopeJudged)
            slope = Format(_("assumed, {0} mV/pH: one point measures no slope"),
                           {Exact(r.Computed.Sensitivity)});
        else if (r.IsPh())
            slope = Format(
                _("{0} % of the ideal electrode ({1} mV/pH at {2})"),
                {Decimal(j.SlopePercent, 1), Decimal(r.IdealSlope(), 2), Celsius(r.Temperature)});
        else
            slope = Format(
                _("{0} % of {1} ({2} mV per mg/L)"),
                {Decimal(j.SlopePercent, 1), _(rule.SlopeReference),
                 Decimal(ReferenceSlope(r.ProbeType, r.Temperature, r.Found.Sensitivity), 2)});
        if (r.Slope == SlopeSource::Kept)
            slope = Format(_("{0}, kept: the transmitter's"), {slope});
        table.Row({_("slope"), slope, j.SlopeJudged ? SlopeRange(rule.Healthy) : notJudged,
                   j.SlopeJudged ? SlopeRange(rule.Usual) : notJudged});
    }
    const char* zeroName = r.IsPh()                                    ? _("offset at pH 7")
                           : CalibrationLaw(r.ProbeType) == ProbeRedox ? _("offset")
                                                                       : _("zero");
    const std::string zero = !j.ZeroJudged ? std::string(_("0 by the one-point law"))
                             : r.IsPh() || CalibrationLaw(r.ProbeType) == ProbeRedox
                                 ? Decimal(j.Zero, 1) + " mV"
                                 : Format(_("{0} mg/L"), {Decimal(j.Zero, 3)});
    table.Row({zeroName, zero, j.ZeroJudged ? ZeroRange(r, rule.Healthy) : notJudged,
               j.ZeroJudged ? ZeroRange(r, rule.Usual) : notJudged});
    return html + table.Markup() +
           Paragraph(Strong(Format(_("Verdict: {0}"), {_(r.Health().c_str())})) +
                     Html(" " + std::string(EmDash) + " ") + Html(Verdict(r)));
}

std::string Due(const CalibrationRecord& r) {
    return r.DueDate.empty() ? std::string(_("not set")) : PersonDate(r.DueDate);
}

// A standard read within its tolerance; one outside it catches the eye,
// in the record's word for it.
Html Passed() {
    return Html(_("PASS"));
}

Html Failed() {
    return Marking(_(CheckResultWord(CheckResult::Fail)));
}

// Each standard against the transmitter's reading there, nothing adjusted.
Html Verification(const CalibrationRecord& r) {
    const bool given = !std::isnan(r.CheckTolerance);
    HtmlTable table({"", _("standard"), _("value used"), _("transmitter read"), _("error"),
                     _("tolerance"), _("result")});
    table.Unbroken(0).Numeric(2).Numeric(3).Numeric(4).Numeric(5);
    for (int i = 0; i < r.Points; ++i) {
        const PointResult& p = r.Point[i];
        const double tolerance =
            given ? r.CheckTolerance : DefaultTolerance(r.ProbeType, p.StandardUsed);
        const double error = p.FoundValue - p.StandardUsed;
        const bool within = p.Taken && p.HasFoundValue && std::fabs(error) <= tolerance;
        table.Row({PointName(i), StandardText(p, r), Decimal(p.StandardUsed, 3),
                   Either(p.HasFoundValue, Decimal(p.FoundValue, 3)),
                   Either(p.HasFoundValue, SignedDecimal(error, 3)),
                   Exact(static_cast<float>(tolerance)), within ? Passed() : Failed()});
    }
    return Heading(2, _("Verification")) + table.Markup() +
           Note(given ? _("Nothing was adjusted: the transmitter keeps the calibration it held. "
                          "Tolerance: as given.")
                      : _("Nothing was adjusted: the transmitter keeps the calibration it held. "
                          "Tolerance: the probe type's own.")) +
           FieldTable({{_("next calibration due"), Due(r)}}, 1);
}

Html CheckAndDue(const CalibrationRecord& r) {
    if (r.IsVerification()) return Verification(r);
    if (!r.HasCheck)
        return Heading(2, _("Check and due date")) +
               FieldTable({{_("check standard"), _("none measured")},
                           {_("next calibration due"), Due(r)}});
    const PointResult& c = r.Check;
    const std::string standard = StandardText(c, r);
    const std::string tolerance =
        r.PreviousLayout ? NotRecorded() : Exact(static_cast<float>(r.CheckTolerance));
    std::string read =
        r.CheckOutcome == CheckResult::Fail ? _("no stable reading") : _("not completed");
    if (c.Taken)
        read = Format(
            _("{0} (error {1}, tolerance {2})"),
            {Decimal(c.FoundValue, 3), SignedDecimal(c.FoundValue - c.StandardUsed, 3), tolerance});
    const Html result = r.CheckOutcome == CheckResult::Pass   ? Passed()
                        : r.CheckOutcome == CheckResult::Fail ? Failed()
                                                              : Html(_("not completed"));
    return Heading(2, _("Check and due date")) + FieldTable({{_("check standard"), standard},
                                                             {_("transmitter read"), read},
                                                             {_("check result"), result},
                                                             {_("next calibration due"), Due(r)}});
}

} // namespace

std::string CalibrationCertificate(const CalibrationRecord& record) {
    const Standing standing = StandingOf(record);
    HtmlPage page(Format(_("Calibration certificate {0} {1} {2}"),
                         {record.Identification, IntegerText(record.ProductionNumber),
                          PersonDate(record.Time.substr(0, 10))}));
    page.AddStyle(CertificateStyle);
    page.Add(
        Title(record, standing) + Facts(record, standing) + Points(record) + Stability(record) +
        HeldValues(record) + Electrode(record) + CheckAndDue(record) +
        SignatureLines({record.Technician.empty()
                            ? std::string(_("technician"))
                            : Format(_("technician: {0}"),
                                     {CutToWidth(OnOneLine(record.Technician), LongestSignature)}),
                        _("date"), _("received for the plant")}));
    return page.Text();
}
