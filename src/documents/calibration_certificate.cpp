#include "documents/calibration_certificate.h"

#include "calibration/held_calibration.h"
#include "calibration/record_file.h"
#include "calibration/record_layout.h"
#include "core/english_names.h"
#include "core/machine_text.h"
#include "core/text_encoding.h"
#include "documents/html_document.h"
#include "documents/line_chart.h"
#include "vl4_version.h"

#include <cmath>

namespace {

const char PlusMinus[] = "\xC2\xB1", Dash[] = "\xE2\x80\x93", AtMost[] = "\xE2\x89\xA4"; // ± – ≤
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
    return FixedText(value, 0);
}

// The record's "2026-12-07T16:56:19.457+01:00" as a person reads it.
std::string PersonTime(const std::string& iso) {
    if (iso.size() < 29) return iso;
    return iso.substr(0, 10) + " " + iso.substr(11, 8) + " (UTC" + iso.substr(23) + ")";
}

Html Either(bool known, const std::string& text) {
    return known ? Html(text) : Html("-");
}

// What became of the calibration, in a few words, and what is marked across
// the top, with the gist, when it is not a calibration to rely on.
struct Standing {
    const char* Banner; // null: none
    const char* Gist;
    std::string Words;
};

Standing StandingOf(const CalibrationRecord& r) {
    if (r.Outcome == OutcomeVerified)
        return {"VERIFICATION \xE2\x80\x94 NOT ADJUSTED",
                "every standard read within its tolerance",
                "verified: every standard read within its tolerance; nothing was written"};
    if (r.Outcome == OutcomeVerifyFailed)
        return {"FAILED",
                "verification \xE2\x80\x94 not adjusted: a standard read outside its tolerance",
                "verification failed: a standard read outside its tolerance; nothing was "
                "written: calibrate the probe"};
    const std::string unconfirmed = r.Unconfirmed();
    if (r.Outcome == OutcomeRefused)
        return {"NOT CALIBRATED", "refused: nothing was written",
                "refused: the points give no slope a working probe of this kind has; nothing "
                "was written, the transmitter keeps what it held"};
    if (r.Outcome == OutcomeDeclined)
        return {"NOT CALIBRATED", "declined: nothing was written",
                "declined: the pair lies beyond the usual limits and was not written; the "
                "transmitter keeps what it held"};
    if (!unconfirmed.empty())
        return {"NOT CONFIRMED", "the writes were not all confirmed",
                "not confirmed: the transmitter did not confirm " + unconfirmed +
                    "; read its calibration before the unit is used"};
    if (r.CheckOutcome == CheckResult::Interrupted)
        return {"CHECK NOT COMPLETED", "written; the check was cut short",
                "written; the check was cut short and proved nothing either way"};
    if (r.CheckOutcome == CheckResult::Fail && !r.Check.Taken)
        return {"CHECK FAILED", "written, but the check did not settle",
                "written, but the check standard gave no stable reading"};
    if (r.CheckOutcome == CheckResult::Fail)
        return {"CHECK FAILED", "written, but the check failed",
                "written, but the check standard reads outside the tolerance"};
    return {nullptr, nullptr, "calibrated"};
}

Html Title(const CalibrationRecord& r, const Standing& standing) {
    const char* title = r.IsVerification() ? "Verification certificate" : "Calibration certificate";
    Html html =
        Element("div", Element("h1", title) + Element("span", "vl4 " VL4_VERSION_TEXT), "title");
    if (standing.Banner)
        html += Element("div", Strong(standing.Banner) + Html(standing.Gist), "banner");
    return html;
}

std::string ProbeName(const CalibrationRecord& r) {
    return ProbeTypeEnglishName(r.ProbeType);
}

std::string Outside(const std::string& text) {
    return text.empty() ? "-" : CutToWidth(OnOneLine(text), LongestText);
}

const char NotRecorded[] = "not recorded";

// Where the standards' values came from: a table (a bottle's by its file's
// name) at the temperature, the air's pressure and salinity, the water's pH.
std::string Standards(const CalibrationRecord& r) {
    if (r.PreviousLayout) return NotRecorded;
    std::string words;
    const auto add = [&words](const std::string& more) {
        words += (words.empty() ? "" : "; ") + more;
    };
    if (!r.Buffers.empty())
        add((r.Buffers == "nist" ? std::string("NIST table") : "table " + Outside(r.Buffers)) +
            " at " + CelsiusText(r.Temperature));
    if (!std::isnan(r.PressureHpa))
        add("air at " + FixedText(r.PressureHpa, 1) + " hPa, salinity " +
            ExactText(static_cast<float>(r.SalinityGPerKg)) + " g/kg");
    if (!std::isnan(r.SamplePh))
        add("water at pH " + FixedText(r.SamplePh, 2) + ": " + FixedText(r.HoclPercent, 1) +
            " % of its free chlorine HOCl");
    if (!std::isnan(r.GrabDelaySeconds))
        add("grab sample measured " + FixedText(r.GrabDelaySeconds, 0) +
            " s after its reading was held");
    return words.empty() ? "the values as given" : words;
}

// "≤ 0.6 mV/min": a settling limit.
std::string AtMostText(double limit, const char* unit) {
    return std::string(AtMost) + " " + ExactText(static_cast<float>(limit)) + " " + unit;
}

// "drift ≤ 0.6 mV/min, spread ≤ 0.5 mV"
std::string LimitsText(const SettlingLimits& limits) {
    return "drift " + AtMostText(limits.MaxDriftMvPerMinute, "mV/min") + ", spread " +
           AtMostText(limits.MaxSpreadMv, "mV");
}

std::string SettlingRule(const CalibrationRecord& r) {
    if (r.PreviousLayout) return NotRecorded;
    if (!r.Settle)
        return "not waited for: the first " + IntegerText(SettlingWindow::Size) + " readings";
    return LimitsText(r.Limits);
}

std::string TemperatureText(const CalibrationRecord& r) {
    const std::string given = r.PreviousLayout     ? ""
                              : r.TemperatureGiven ? " (given)"
                                                   : " (assumed: not given)";
    return CelsiusText(r.Temperature) + given;
}

// Side by side: the unit and who calibrated it, and how it was calibrated.
Html Facts(const CalibrationRecord& r, const Standing& standing) {
    const Html unit = FieldTable({{"identification", Outside(r.Identification)},
                                  {"production number", IntegerText(r.ProductionNumber)},
                                  {"firmware", r.Firmware},
                                  {"port", Outside(r.Port)},
                                  {"measuring point", Outside(r.Tag)},
                                  {"technician", Outside(r.Technician)}},
                                 1);
    const Html calibration = FieldTable({{"date and time", PersonTime(r.Time)},
                                         {"probe", ProbeName(r)},
                                         {"temperature", TemperatureText(r)},
                                         {"standards", Standards(r)},
                                         {"stable when", SettlingRule(r)},
                                         {"result", standing.Words}},
                                        1);
    return Element("div", unit + calibration, "columns");
}

// The rows of the points and the check, as the console reported them.
// A check of the previous layout gives only what the transmitter read.
void PointRow(HtmlTable& table, const std::string& name, const PointResult& p,
              bool figuresKnown = true) {
    if (!p.Taken) {
        table.Row({name, ExactText(p.Standard), FixedText(p.StandardUsed, 3), "not taken", "", "",
                   "", "", "", ""});
        return;
    }
    const bool read = p.HasFoundValue;
    const auto figure = [&](const std::string& text) { return Either(figuresKnown, text); };
    table.Row({name, ExactText(p.Standard), FixedText(p.StandardUsed, 3),
               figure(FixedText(p.Voltage, 3)), figure(FixedText(p.SpreadMv, 3)),
               figure(FixedText(p.DriftMvPerMinute, 2)), figure(IntegerText(p.Readings)),
               figure(FixedText(p.SettleSeconds, 1)), Either(read, FixedText(p.FoundValue, 3)),
               Either(read, SignedText(p.FoundValue - p.StandardUsed, 3))});
}

std::string PointName(int i) {
    return "point " + IntegerText(i + 1);
}

Html Points(const CalibrationRecord& r) {
    HtmlTable table({"", "standard", "value used", "mean [mV]", "spread [mV]", "drift [mV/min]",
                     "readings", "taken after [s]", "transmitter read", "error"});
    table.Unbroken(0);
    for (int column = 1; column < 10; ++column) table.Numeric(column);
    for (int i = 0; i < r.Points; ++i) PointRow(table, PointName(i), r.Point[i]);
    if (r.HasCheck) PointRow(table, "check", r.Check, !r.PreviousLayout);
    return Heading(2, "Points") + table.Markup() +
           Note("Mean, spread (standard deviation), drift and transmitter read (its measured "
                "value: as found at the points, as left at the check): of the " +
                IntegerText(SettlingWindow::Size) +
                " readings taken. Error: that reading less the value used.");
}

Html StabilityPicture(const std::string& name, const PointResult& p, const CalibrationRecord& r) {
    LineChart chart;
    chart.TimeTitle = "since the point began";
    chart.Width = 280;
    chart.PanelHeight = 100;
    ChartPanel panel;
    panel.Title = name + ": voltage [mV]";
    ChartSeries voltage;
    for (size_t i = 0; i < p.Trace.size(); ++i)
        voltage.Points.push_back({static_cast<double>(i) * ReadingIntervalSeconds, p.Trace[i]});
    panel.Series.push_back(voltage);
    chart.Panels.push_back(panel);
    if (p.Taken && !p.Trace.empty())
        chart.Spans.push_back({p.WindowStart() * ReadingIntervalSeconds,
                               static_cast<double>(p.Trace.size() - 1) * ReadingIntervalSeconds,
                               "taken"});
    std::string caption = name + ": ";
    if (!p.Taken)
        caption += "not taken";
    else if (r.Settle)
        caption += "taken (shaded), drift " + FixedText(p.DriftMvPerMinute, 2) + " " +
                   AtMostText(r.Limits.MaxDriftMvPerMinute, "mV/min") + ", spread " +
                   FixedText(p.SpreadMv, 3) + " " + AtMostText(r.Limits.MaxSpreadMv, "mV");
    else
        caption += "the first readings (shaded), drift " + FixedText(p.DriftMvPerMinute, 2) +
                   " mV/min, spread " + FixedText(p.SpreadMv, 3) + " mV; not waited for";
    return Figure(Html::Trusted(LineChartSvg(chart)), caption);
}

Html Stability(const CalibrationRecord& r) {
    const Html heading = Heading(2, "Stability");
    if (r.PreviousLayout)
        return heading + Paragraph("The readings of the points are not in a record of the "
                                   "previous layout: their pictures cannot be drawn.");
    Html pictures;
    for (int i = 0; i < r.Points; ++i) pictures += StabilityPicture(PointName(i), r.Point[i], r);
    if (r.HasCheck) pictures += StabilityPicture("check", r.Check, r);
    return heading + Element("div", pictures, "pictures");
}

std::string Unit(const CalibrationRecord& r) {
    if (r.IsPh()) return " [mV/pH]";
    return CalibrationLaw(r.ProbeType) == ProbeRedox ? "" : " [mV per mg/L]";
}

// As found, as computed and as left, side by side.
Html HeldValues(const CalibrationRecord& r) {
    if (r.IsVerification())
        return Heading(2, "Calibration in the transmitter") +
               FieldTable({{"offset [mV]", Either(r.Found.HasOffset, ExactText(r.Found.Offset))},
                           {"sensitivity" + Unit(r),
                            Either(r.Found.HasSensitivity, ExactText(r.Found.Sensitivity))},
                           {"calibration date", Either(r.Found.HasDate, DateText(r.Found.Date))}},
                          3) +
               Note("Held before, during and after the verification: nothing was written.");
    const HeldPair& f = r.Found;
    const HeldPair& l = r.Left;
    const bool written = r.Outcome == OutcomeWritten || r.Outcome == OutcomeFailed;
    const Html notWritten = "not written";
    const auto left = [&](bool known, const std::string& text) {
        return written ? Either(known, text) : notWritten;
    };
    std::string sensitivity = r.HasComputed ? ExactText(r.Computed.Sensitivity) : "-";
    if (r.HasComputed && r.Slope == SlopeSource::Kept) sensitivity += " (kept)";
    if (r.HasComputed && r.IsPh() && r.Slope == SlopeSource::Assumed) sensitivity += " (assumed)";
    HtmlTable table({"", "as found", "computed", "as left"});
    table.Numeric(1).Numeric(2).Numeric(3);
    table.Row({"offset [mV]", Either(f.HasOffset, ExactText(f.Offset)),
               Either(r.HasComputed, ExactText(r.Computed.Offset)),
               left(l.HasOffset, ExactText(l.Offset))});
    table.Row({"sensitivity" + Unit(r), Either(f.HasSensitivity, ExactText(f.Sensitivity)),
               sensitivity, left(l.HasSensitivity, ExactText(l.Sensitivity))});
    table.Row({"calibration date", Either(f.HasDate, DateText(f.Date)), "-",
               left(l.HasDate, DateText(l.Date))});
    return Heading(2, "Calibration in the transmitter") + table.Markup() +
           Note("As found: held before the first point. As left: returned to each write, which "
                "is what the transmitter holds now.");
}

// What the pair says of the probe, in words.
std::string Verdict(const CalibrationRecord& r) {
    const ProbeJudgement j = r.Judgement();
    const std::string judged = !RuleOf(r.ProbeType).HasSlope ? "the offset"
                               : !j.SlopeJudged ? "the offset (one point measures no slope)"
                               : !j.ZeroJudged  ? "the slope (one point: no zero of its own)"
                               : r.IsPh()       ? "slope and offset"
                                                : "slope and zero";
    if (j.Healthy) return judged + " within the healthy limits.";
    if (j.Usual) return judged + " outside the healthy limits, within the usual ones.";
    if (!WritesConfirmed(r))
        return judged + " beyond the usual limits; the writes were not confirmed.";
    return judged + " beyond the usual limits" +
           (r.Outcome == OutcomeWritten || r.Outcome == OutcomeFailed
                ? ", written because someone said so."
                : ".");
}

// The probe's limits as ranges: "90–105 %", "±30 mV", "≤ 0.2 mg/L".
std::string SlopeRange(const ProbeLimits& limits) {
    return Whole(limits.MinSlopePercent) + Dash + Whole(limits.MaxSlopePercent) + " %";
}

std::string ZeroRange(const CalibrationRecord& r, const ProbeLimits& limits) {
    if (r.IsPh() || CalibrationLaw(r.ProbeType) == ProbeRedox)
        return std::string(PlusMinus) + Whole(limits.MaxZero) + " mV";
    return std::string(AtMost) + " " + ExactText(static_cast<float>(limits.MaxZero)) + " mg/L";
}

Html Electrode(const CalibrationRecord& r) {
    Html html =
        Heading(2, r.IsPh() || CalibrationLaw(r.ProbeType) == ProbeRedox ? "Electrode" : "Probe");
    if (r.IsVerification())
        return html + Paragraph("Verified, not adjusted: no pair was computed or written.");
    if (!r.HasComputed)
        return html + Paragraph("No pair to judge: the points give no slope a working probe of "
                                "this kind has.");
    const ProbeRule& rule = RuleOf(r.ProbeType);
    const ProbeJudgement j = r.Judgement();
    HtmlTable table({"", "found", "healthy", "usual"});
    table.Unbroken(2).Unbroken(3);
    if (rule.HasSlope) {
        std::string slope;
        if (!j.SlopeJudged)
            slope = "assumed, " + ExactText(r.Computed.Sensitivity) +
                    " mV/pH: one point measures no slope";
        else if (r.IsPh())
            slope = FixedText(j.SlopePercent, 1) + " % of the ideal electrode (" +
                    FixedText(r.IdealSlope(), 2) + " mV/pH at " + CelsiusText(r.Temperature) + ")";
        else
            slope = FixedText(j.SlopePercent, 1) + " % of " + rule.SlopeReference + " (" +
                    FixedText(ReferenceSlope(r.ProbeType, r.Temperature, r.Found.Sensitivity), 2) +
                    " mV per mg/L)";
        if (r.Slope == SlopeSource::Kept) slope += ", kept: the transmitter's";
        table.Row({"slope", slope, j.SlopeJudged ? SlopeRange(rule.Healthy) : "not judged",
                   j.SlopeJudged ? SlopeRange(rule.Usual) : "not judged"});
    }
    const char* zeroName = r.IsPh()                                    ? "offset at pH 7"
                           : CalibrationLaw(r.ProbeType) == ProbeRedox ? "offset"
                                                                       : "zero";
    const std::string zero = !j.ZeroJudged ? std::string("0 by the one-point law")
                             : r.IsPh() || CalibrationLaw(r.ProbeType) == ProbeRedox
                                 ? FixedText(j.Zero, 1) + " mV"
                                 : FixedText(j.Zero, 3) + " mg/L";
    table.Row({zeroName, zero, j.ZeroJudged ? ZeroRange(r, rule.Healthy) : "not judged",
               j.ZeroJudged ? ZeroRange(r, rule.Usual) : "not judged"});
    return html + table.Markup() +
           Paragraph(Strong("Verdict: " + r.Health()) + Html(" \xE2\x80\x94 ") + Html(Verdict(r)));
}

// Each standard against the transmitter's reading there, nothing adjusted.
Html Verification(const CalibrationRecord& r) {
    const bool given = !std::isnan(r.CheckTolerance);
    HtmlTable table(
        {"", "standard", "value used", "transmitter read", "error", "tolerance", "result"});
    table.Unbroken(0).Numeric(2).Numeric(3).Numeric(4).Numeric(5);
    for (int i = 0; i < r.Points; ++i) {
        const PointResult& p = r.Point[i];
        const double tolerance =
            given ? r.CheckTolerance : DefaultTolerance(r.ProbeType, p.StandardUsed);
        const double error = p.FoundValue - p.StandardUsed;
        const bool within = p.Taken && p.HasFoundValue && std::fabs(error) <= tolerance;
        table.Row({PointName(i), StandardText(p, r), FixedText(p.StandardUsed, 3),
                   Either(p.HasFoundValue, FixedText(p.FoundValue, 3)),
                   Either(p.HasFoundValue, SignedText(error, 3)),
                   ExactText(static_cast<float>(tolerance)),
                   within ? Html("PASS") : Marking("fail")});
    }
    const std::string due = r.DueDate.empty() ? "not set" : r.DueDate;
    return Heading(2, "Verification") + table.Markup() +
           Note(std::string("Nothing was adjusted: the transmitter keeps the calibration it "
                            "held. Tolerance: ") +
                (given ? "as given." : "the probe type's own.")) +
           FieldTable({{"next calibration due", due}}, 1);
}

Html CheckAndDue(const CalibrationRecord& r) {
    if (r.IsVerification()) return Verification(r);
    const std::string due = r.DueDate.empty() ? "not set" : r.DueDate;
    if (!r.HasCheck)
        return Heading(2, "Check and due date") +
               FieldTable({{"check standard", "none measured"}, {"next calibration due", due}});
    const PointResult& c = r.Check;
    const std::string standard = StandardText(c, r);
    const std::string tolerance =
        r.PreviousLayout ? "not recorded" : ExactText(static_cast<float>(r.CheckTolerance));
    std::string read = r.CheckOutcome == CheckResult::Fail ? "no stable reading" : "not completed";
    if (c.Taken)
        read = FixedText(c.FoundValue, 3) + " (error " +
               SignedText(c.FoundValue - c.StandardUsed, 3) + ", tolerance " + tolerance + ")";
    const Html result = r.CheckOutcome == CheckResult::Pass   ? Html("PASS")
                        : r.CheckOutcome == CheckResult::Fail ? Marking("fail")
                                                              : Html("not completed");
    return Heading(2, "Check and due date") + FieldTable({{"check standard", standard},
                                                          {"transmitter read", read},
                                                          {"check result", result},
                                                          {"next calibration due", due}});
}

} // namespace

std::string CalibrationCertificate(const CalibrationRecord& record) {
    const Standing standing = StandingOf(record);
    HtmlPage page("Calibration certificate " + record.Identification + " " +
                  IntegerText(record.ProductionNumber) + " " + record.Time.substr(0, 10));
    page.AddStyle(CertificateStyle);
    page.Add(Title(record, standing) + Facts(record, standing) + Points(record) +
             Stability(record) + HeldValues(record) + Electrode(record) + CheckAndDue(record) +
             SignatureLines(
                 {record.Technician.empty()
                      ? std::string("technician")
                      : "technician: " + CutToWidth(OnOneLine(record.Technician), LongestSignature),
                  "date", "received for the plant"}));
    return page.Text();
}
