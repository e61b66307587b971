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

Html Title(const Standing& standing) {
    Html html = Element(
        "div", Element("h1", "Calibration certificate") + Element("span", "vl4 " VL4_VERSION_TEXT),
        "title");
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

// A bottle table by its file's name.
std::string Buffers(const CalibrationRecord& r) {
    if (r.PreviousLayout) return NotRecorded;
    if (r.Buffers.empty()) return "none: the values as given";
    const std::string table = r.Buffers == "nist" ? "NIST table" : "table " + Outside(r.Buffers);
    return table + " at " + CelsiusText(r.Temperature);
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
                                         {"buffers", Buffers(r)},
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
    return r.IsPh() ? " [mV/pH]" : "";
}

// As found, as computed and as left, side by side.
Html HeldValues(const CalibrationRecord& r) {
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

std::string Range(const PhLimits& limits, bool slope) {
    if (slope) return Whole(limits.MinSlopePercent) + Dash + Whole(limits.MaxSlopePercent) + " %";
    return std::string(PlusMinus) + Whole(limits.MaxOffsetMv) + " mV";
}

// What the pair says of the electrode, in words.
std::string Verdict(const CalibrationRecord& r) {
    const bool measured = r.Slope != SlopeSource::Assumed;
    const std::string judged =
        measured ? "slope and offset" : "the offset (one point measures no slope)";
    if (PhWithin(r.Computed, HealthyPhLimits, r.IdealSlope(), measured))
        return judged + " within the healthy limits.";
    if (PhWithin(r.Computed, UsualPhLimits, r.IdealSlope(), measured))
        return judged + " outside the healthy limits, within the usual ones.";
    if (!WritesConfirmed(r))
        return judged + " beyond the usual limits; the writes were not confirmed.";
    return judged + " beyond the usual limits" +
           (r.Outcome == OutcomeWritten || r.Outcome == OutcomeFailed
                ? ", written because someone said so."
                : ".");
}

Html Electrode(const CalibrationRecord& r) {
    Html html = Heading(2, "Electrode");
    if (!r.HasComputed)
        return html + Paragraph("No pair to judge: the points give no slope a working probe of "
                                "this kind has.");
    if (!r.IsPh())
        return html +
               Paragraph(Strong("Verdict: " + r.Health()) +
                         Html(": there are no limits to judge a " + ProbeName(r) + " probe by."));
    const CalibrationResult& pair = r.Computed;
    std::string slope;
    if (r.Slope == SlopeSource::Assumed)
        slope = "assumed, " + ExactText(pair.Sensitivity) + " mV/pH: one point measures no slope";
    else
        slope = FixedText(PhSlopePercent(pair.Sensitivity, r.IdealSlope()), 1) +
                " % of the ideal electrode (" + FixedText(r.IdealSlope(), 2) + " mV/pH at " +
                CelsiusText(r.Temperature) + ")" +
                (r.Slope == SlopeSource::Kept ? ", kept: the transmitter's" : "");
    const bool measured = r.Slope != SlopeSource::Assumed;
    HtmlTable table({"", "found", "healthy", "usual"});
    table.Unbroken(2).Unbroken(3);
    table.Row({"slope", slope, measured ? Range(HealthyPhLimits, true) : "not judged",
               measured ? Range(UsualPhLimits, true) : "not judged"});
    table.Row({"offset at pH 7", FixedText(pair.Offset, 1) + " mV", Range(HealthyPhLimits, false),
               Range(UsualPhLimits, false)});
    return html + table.Markup() +
           Paragraph(Strong("Verdict: " + r.Health()) + Html(" \xE2\x80\x94 ") + Html(Verdict(r)));
}

Html CheckAndDue(const CalibrationRecord& r) {
    const std::string due = r.DueDate.empty() ? "not set" : r.DueDate;
    if (!r.HasCheck)
        return Heading(2, "Check and due date") +
               FieldTable({{"check standard", "none measured"}, {"next calibration due", due}});
    const PointResult& c = r.Check;
    const std::string standard = StandardText(c, !r.Buffers.empty(), r.Temperature);
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
    page.Add(Title(standing) + Facts(record, standing) + Points(record) + Stability(record) +
             HeldValues(record) + Electrode(record) + CheckAndDue(record) +
             SignatureLines(
                 {record.Technician.empty()
                      ? std::string("technician")
                      : "technician: " + CutToWidth(OnOneLine(record.Technician), LongestSignature),
                  "date", "received for the plant"}));
    return page.Text();
}
