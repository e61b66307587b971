#include "cli/calibration_certificate.h"

#include "cli/calibration_history.h"
#include "cli/html_document.h"
#include "cli/line_chart.h"
#include "cli/record_file.h"
#include "core/english_names.h"
#include "core/machine_text.h"
#include "core/text_encoding.h"
#include "files/text_files.h"
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

Standing StandingOf(const CalibrationRecord& r, const std::string& writesMissing) {
    if (r.Outcome == OutcomeRefused)
        return {"NOT CALIBRATED", "refused: nothing was written",
                "refused: the points give no slope a working probe of this kind has; nothing "
                "was written, the transmitter keeps what it held"};
    if (r.Outcome == OutcomeDeclined)
        return {"NOT CALIBRATED", "declined: nothing was written",
                "declined: the pair lies beyond the usual limits and was not written; the "
                "transmitter keeps what it held"};
    if (!writesMissing.empty())
        return {"NOT CONFIRMED", "written, but not all confirmed",
                "written, but the transmitter did not confirm " + writesMissing +
                    ": read its calibration before the unit is used"};
    if (r.HasCheck && r.Check.Taken && !r.CheckPassed)
        return {"CHECK FAILED", "written, but the check failed",
                "written, but the check standard reads outside the tolerance"};
    // A check that did not settle failed; one cut short by Ctrl+C proved nothing either way.
    if (r.HasCheck && !r.Check.Taken)
        return {r.Outcome == OutcomeFailed ? "CHECK FAILED" : nullptr,
                "written, but the check was not completed", "written; the check was not completed"};
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

// A bottle table by its file's name, without the folders.
std::string Buffers(const CalibrationRecord& r, const CalibrationOptions& o) {
    if (!o.UseBuffers) return "none: the values as given";
    const std::string& source = o.BufferSource;
    const std::string table =
        source == "nist" ? "NIST table"
                         : "table " + Outside(source.substr(source.find_last_of("/\\") + 1));
    return table + " at " + CelsiusText(r.Temperature);
}

// "≤ 0.6 mV/min": a settling limit.
std::string AtMostText(double limit, const char* unit) {
    return std::string(AtMost) + " " + ExactText(static_cast<float>(limit)) + " " + unit;
}

std::string SettlingRule(const CalibrationOptions& o) {
    if (!o.Settle)
        return "not waited for: the first " + IntegerText(SettlingWindow::Size) + " readings";
    return "drift " + AtMostText(o.Limits.MaxDriftMvPerMinute, "mV/min") + ", spread " +
           AtMostText(o.Limits.MaxSpreadMv, "mV");
}

// Side by side: the unit and who calibrated it, and how it was calibrated.
Html Facts(const CalibrationRecord& r, const CalibrationOptions& o, const Standing& standing) {
    const std::string temperature =
        CelsiusText(r.Temperature) + (o.TemperatureGiven ? " (given)" : " (assumed: not given)");
    const Html unit = FieldTable({{"identification", Outside(r.Identification)},
                                  {"production number", IntegerText(r.ProductionNumber)},
                                  {"firmware", r.Firmware},
                                  {"port", Outside(r.Port)},
                                  {"measuring point", Outside(r.Tag)},
                                  {"technician", Outside(r.Technician)}},
                                 1);
    const Html calibration = FieldTable({{"date and time", PersonTime(r.Time)},
                                         {"probe", ProbeName(r)},
                                         {"temperature", temperature},
                                         {"buffers", Buffers(r, o)},
                                         {"stable when", SettlingRule(o)},
                                         {"result", standing.Words}},
                                        1);
    return Element("div", unit + calibration, "columns");
}

// The rows of the points and the check, as the console reported them.
void PointRow(HtmlTable& table, const std::string& name, const PointResult& p) {
    if (!p.Taken) {
        table.Row({name, ExactText(p.Standard), FixedText(p.StandardUsed, 3), "not taken", "", "",
                   "", "", "", ""});
        return;
    }
    const bool read = p.HasFoundValue;
    table.Row({name, ExactText(p.Standard), FixedText(p.StandardUsed, 3), FixedText(p.Voltage, 3),
               FixedText(p.SpreadMv, 3), FixedText(p.DriftMvPerMinute, 2), IntegerText(p.Readings),
               FixedText(p.SettleSeconds, 1), Either(read, FixedText(p.FoundValue, 3)),
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
    if (r.HasCheck) PointRow(table, "check", r.Check);
    return Heading(2, "Points") + table.Markup() +
           Note("Mean, spread (standard deviation), drift and transmitter read (its measured "
                "value: as found at the points, as left at the check): of the " +
                IntegerText(SettlingWindow::Size) +
                " readings taken. Error: that reading less the value used.");
}

Html StabilityPicture(const std::string& name, const PointResult& p, const CalibrationOptions& o) {
    LineChart chart;
    chart.TimeTitle = "since the point began";
    chart.Width = 280;
    chart.PanelHeight = 100;
    ChartPanel panel;
    panel.Title = name + ": voltage [mV]";
    ChartSeries voltage;
    for (const SettlingReading& reading : p.Trace)
        voltage.Points.push_back({reading.Seconds, reading.Voltage});
    panel.Series.push_back(voltage);
    chart.Panels.push_back(panel);
    if (p.Taken && p.WindowStart < static_cast<int>(p.Trace.size()))
        chart.Spans.push_back({p.Trace[p.WindowStart].Seconds, p.Trace.back().Seconds, "taken"});
    std::string caption = name + ": ";
    if (!p.Taken)
        caption += "not taken";
    else if (o.Settle)
        caption += "taken (shaded), drift " + FixedText(p.DriftMvPerMinute, 2) + " " +
                   AtMostText(o.Limits.MaxDriftMvPerMinute, "mV/min") + ", spread " +
                   FixedText(p.SpreadMv, 3) + " " + AtMostText(o.Limits.MaxSpreadMv, "mV");
    else
        caption += "the first readings (shaded), drift " + FixedText(p.DriftMvPerMinute, 2) +
                   " mV/min, spread " + FixedText(p.SpreadMv, 3) + " mV; not waited for";
    return Figure(Html::Trusted(LineChartSvg(chart)), caption);
}

Html Stability(const CalibrationRecord& r, const CalibrationOptions& o) {
    Html pictures;
    for (int i = 0; i < r.Points; ++i) pictures += StabilityPicture(PointName(i), r.Point[i], o);
    if (r.HasCheck) pictures += StabilityPicture("check", r.Check, o);
    return Heading(2, "Stability") + Element("div", pictures, "pictures");
}

std::string Unit(const CalibrationRecord& r) {
    return r.IsPh() ? " [mV/pH]" : "";
}

// As found, as computed and as left, side by side.
Html HeldValues(const CalibrationRecord& r) {
    const HeldPair& f = r.Found;
    const HeldPair& l = r.Left;
    const bool written = LeftInTransmitter(r.Outcome);
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
    return judged + " beyond the usual limits" +
           (LeftInTransmitter(r.Outcome) ? ", written because someone said so." : ".");
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

Html CheckAndDue(const CalibrationRecord& r, const CalibrationOptions& o) {
    const std::string due = r.DueDate.empty() ? "not set" : r.DueDate;
    if (!r.HasCheck)
        return Heading(2, "Check and due date") +
               FieldTable({{"check standard", "none measured"}, {"next calibration due", due}});
    const PointResult& c = r.Check;
    std::string standard = StandardText(c, o.UseBuffers, r.Temperature), read = "not completed";
    if (c.Taken)
        read = c.HasFoundValue ? FixedText(c.FoundValue, 3) + " (error " +
                                     SignedText(c.FoundValue - c.StandardUsed, 3) + ", tolerance " +
                                     ExactText(static_cast<float>(o.CheckTolerance)) + ")"
                               : "no reading";
    const Html result = !c.Taken ? Html("-") : r.CheckPassed ? Html("PASS") : Marking("fail");
    return Heading(2, "Check and due date") + FieldTable({{"check standard", standard},
                                                          {"transmitter read", read},
                                                          {"check result", result},
                                                          {"next calibration due", due}});
}

} // namespace

std::string CalibrationCertificate(const CalibrationRecord& record,
                                   const CalibrationOptions& options,
                                   const std::string& writesMissing) {
    const Standing standing = StandingOf(record, writesMissing);
    HtmlPage page("Calibration certificate " + record.Identification + " " +
                  IntegerText(record.ProductionNumber) + " " + record.Time.substr(0, 10));
    page.AddStyle(CertificateStyle);
    page.Add(Title(standing) + Facts(record, options, standing) + Points(record) +
             Stability(record, options) + HeldValues(record) + Electrode(record) +
             CheckAndDue(record, options) +
             SignatureLines(
                 {record.Technician.empty()
                      ? std::string("technician")
                      : "technician: " + CutToWidth(OnOneLine(record.Technician), LongestSignature),
                  "date", "received for the plant"}));
    return page.Text();
}

int WriteCertificate(CommandContext& context, const CalibrationOptions& options,
                     const CalibrationRecord& record, bool written,
                     const std::string& writesMissing, int status) {
    if (!options.CertificatePath || record.Outcome.empty()) return status;
    const std::string& path = *options.CertificatePath;
    std::string problem;
    if (ReplaceFileContent(path, CalibrationCertificate(record, options, writesMissing), problem)) {
        context.Say("certificate in " + path);
        return status;
    }
    const std::string why = "certificate not written: " + problem;
    context.Fail(ExitFailed, path, written ? "calibration written, " + why : why);
    return status == ExitDone ? ExitFailed : status;
}
