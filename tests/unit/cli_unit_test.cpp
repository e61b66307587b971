// vl4's parts that need neither a port nor a transmitter: its help and usage
// errors, the trend picture, the statistics of a calibration point, the
// history of a calibration record, the pages and charts for people.
#include "calibration/record_layout.h"
#include "cli/command_line.h"
#include "cli/spreadsheet_dialect.h"
#include "core/calendar_time.h"
#include "core/local_time.h"
#include "core/machine_text.h"
#include "core/text_encoding.h"
#include "core/voltage_samples.h"
#include "documents/html_document.h"
#include "documents/line_chart.h"
#include "documents/trend_summary.h"
#include "documents/trend_svg.h"
#include "files/text_files.h"
#include "unit/fake_files.h"

#include "vl4_console.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

TEST(Vl4CommandLine, HelpListsEveryCommandAndAWrongCallSaysWhatAndWhere) {
    Vl4Words vl4;
    EXPECT_EQ(vl4.Run({"--help"}), ExitDone);
    for (const char* usage :
         {"vl4 ports\n", "vl4 scan [--json]\n", "vl4 read PORT [--json | --csv]\n",
          "vl4 set PORT NAME=VALUE ...\n", "vl4 save PORT FILE\n",
          "vl4 load PORT FILE [--dry-run] [--with-calibration]\n",
          "vl4 log PORT [--every SECONDS] [--count N] [--out FILE.csv] [--svg FILE.svg] "
          "[OPTIONS]\n",
          "vl4 calibrate PORT STANDARD [STANDARD] [OPTIONS] | PORT --undo --record FILE\n",
          "vl4 verify PORT STANDARD [STANDARD] [OPTIONS]\n",
          "vl4 certificate RECORD.csv [--unit N] [--time T] --out FILE.html\n",
          "vl4 history RECORD.csv... [--unit N] [--json] [--html FILE] [--interval-days N]\n"})
        EXPECT_NE(vl4.Out.Text.find(usage), std::string::npos) << usage;
    EXPECT_EQ(vl4.Run({"load", "--help"}), ExitDone);
    EXPECT_EQ(vl4.Out.Text.find("usage: vl4 load PORT FILE"), 0u) << vl4.Out.Text;
    EXPECT_NE(vl4.Out.Text.find(" [--trace FILE]\n"), std::string::npos)
        << "talks to a transmitter";
    EXPECT_EQ(vl4.Run({"history", "--help"}), ExitDone);
    EXPECT_EQ(vl4.Out.Text.find("--trace"), std::string::npos) << "reads a file only";
    EXPECT_EQ(vl4.Run({"--version"}), ExitDone);
    EXPECT_EQ(vl4.Out.Text.find("vl4 "), 0u);

    EXPECT_EQ(vl4.Run({}), ExitUsage);
    EXPECT_EQ(vl4.Err.Text.find("vl4 - "), 0u) << "the overview, to standard error";
    const std::pair<std::vector<std::string>, std::string> wrong[] = {
        {{"frob"}, "vl4: frob: no such command; see vl4 --help\n"},
        {{"read"}, "vl4 read: expected PORT [--json | --csv]; see vl4 read --help\n"},
        {{"read", "COM5", "--bogus"}, "vl4 read: unknown option --bogus; see vl4 read --help\n"},
        {{"read", "COM5", "--json", "--csv"}, "vl4 read: --json and --csv exclude each other"},
        {{"log", "COM5", "--every"}, "vl4 log: --every needs SECONDS"},
        {{"log", "COM5", "--every", "0.05"}, "vl4 log: --every takes seconds from 0.1 to 86400"},
        {{"log", "COM5", "--count=0"}, "vl4 log: --count takes a number of samples from 1"},
        {{"log", "COM5", "--out", "a", "--out", "b"}, "vl4 log: --out given twice"},
        {{"log", "COM5", "--give-up-after", "0.5"},
         "vl4 log: --give-up-after takes seconds from 1 to 2592000, not 0.5"},
        {{"scan", "--trace"}, "vl4 scan: --trace needs FILE"},
        {{"read", "COM5", "--trace", "no/such/folder/t.txt"},
         "vl4: no/such/folder/t.txt: cannot write: no such folder"},
        {{"history", "r.csv", "--trace", "t.txt"}, "vl4 history: unknown option --trace"},
        {{"set", "COM5", "damping"}, "vl4 set: expected NAME=VALUE, not damping"},
        {{"set", "COM5", "probe=pH"}, "vl4 set: no setting probe"},
        {{"set", "COM5", "damping=31"}, "vl4 set: damping must be a whole number 0 to 30"},
        {{"calibrate", "COM5"}, "vl4 calibrate: give one or two standards: --standard N, --air"},
        {{"verify", "COM5", "--zero", "--air", "--standard", "3"}, "vl4 verify: give one or two"},
        {{"calibrate", "COM5", "--grab", "--yes"},
         "vl4 calibrate: --yes asks nobody for the grab sample's value: give --grab-value N"},
        {{"calibrate", "COM5", "--standard", "7", "--pressure", "950"},
         "vl4 calibrate: --pressure, --altitude and --salinity are the conditions of an --air"},
        {{"calibrate", "COM5", "--air", "--altitude", "9000"},
         "vl4 calibrate: --altitude takes metres above sea level where the air's pressure is 500 "
         "to 1100 hPa, not 9000"},
        {{"calibrate", "COM5", "--air", "--temperature", "45"},
         "vl4 calibrate: --temperature takes the standards' temperature in \xC2\xB0"
         "C, 0 to 40 in air, not 45"},
        {{"verify", "COM5", "--standard", "7", "--check", "4"},
         "vl4 verify: unknown option --check"},
        {{"calibrate", "COM5", "--standard", "nan"}, "vl4 calibrate: --standard takes a number"},
        {{"calibrate", "COM5", "--standard", "7", "--temperature", "120"},
         "vl4 calibrate: --temperature takes the standards' temperature"},
        {{"calibrate", "COM5", "--standard", "7", "--standard", "4", "--keep-slope"},
         "vl4 calibrate: --keep-slope keeps the slope of a one-point calibration"},
        {{"calibrate", "COM5", "--standard", "7", "--buffers", "din"},
         "vl4 calibrate: --buffers knows nist, not din"},
        {{"calibrate", "COM5", "--standard", "7.1", "--buffers", "nist"},
         "vl4 calibrate: the standard 7.1 names no buffer of nist (within 0.02)"},
        {{"calibrate", "COM5", "--standard", "6.86", "--buffers", "nist", "--temperature", "60"},
         "vl4 calibrate: nist has no values at 60 \xC2\xB0"
         "C: its temperatures go from 0 to 50"},
        {{"calibrate", "COM5", "--standard", "7", "--check", "4", "--check-tolerance", "1e6"},
         "vl4 calibrate: --check-tolerance takes a number above 0 and at most 50"},
        {{"calibrate", "COM5", "--standard", "7", "--no-settle", "--max-drift", "1"},
         "vl4 calibrate: --no-settle takes no --max-drift"},
        {{"calibrate", "COM5", "--undo"}, "vl4 calibrate: --undo needs the --record FILE"},
        {{"ports", "COM5"}, "vl4 ports: unexpected argument COM5"},
        {{"history", "r.csv", "--interval-days", "0"},
         "vl4 history: --interval-days takes a number of days from 1 to 36500, not 0"},
    };
    for (const auto& call : wrong) {
        EXPECT_EQ(vl4.Run(call.first), ExitUsage) << call.second;
        EXPECT_EQ(vl4.Err.Text.find(call.second), 0u) << vl4.Err.Text;
        EXPECT_EQ(vl4.Err.Text.find('\n'), vl4.Err.Text.size() - 1) << "one line: " << vl4.Err.Text;
    }
}

// The dialect a spreadsheet of the user's locale opens in columns, here for
// a locale named: a Czech one wants semicolons and decimal commas, an
// English one commas and points; both a byte-order mark and CRLF. The form
// for programs stays comma, point and LF.
TEST(SpreadsheetDialect, FollowsTheLocalesListSeparatorAndDecimalSymbol) {
    const CsvDialect czech = SpreadsheetDialect(L"cs-CZ"), english = SpreadsheetDialect(L"en-US");
    EXPECT_EQ(czech.Separator, ";");
    EXPECT_EQ(czech.DecimalSymbol, ",");
    EXPECT_EQ(english.Separator, ",");
    EXPECT_EQ(english.DecimalSymbol, ".");
    for (const CsvDialect& dialect : {czech, english}) {
        EXPECT_TRUE(dialect.ByteOrderMark);
        EXPECT_STREQ(dialect.LineEnd, "\r\n");
    }
    const auto row = [](const CsvDialect& dialect) {
        return CsvLine({"2026-12-07T16:56:19.457+01:00",
                        FixedText(8.2823925, 3, dialect.DecimalSymbol),
                        FixedText(-6.86f, 2, dialect.DecimalSymbol), "", "a;b,c"},
                       dialect);
    };
    EXPECT_EQ(row(czech), "2026-12-07T16:56:19.457+01:00;8,282;-6,86;;\"a;b,c\"\r\n");
    EXPECT_EQ(row(english), "2026-12-07T16:56:19.457+01:00,8.282,-6.86,,\"a;b,c\"\r\n");
    EXPECT_EQ(row(CsvDialect()), "2026-12-07T16:56:19.457+01:00,8.282,-6.86,,\"a;b,c\"\n");
    EXPECT_EQ(CsvLine({"a;b", "1.5"}), "a;b,1.5\n");
}

// A file given to --out or --trace that holds a file of another kind, or a
// log in another dialect, is refused before any port is opened (COM99 is
// none: a port tried would end the command with status 1 instead), with
// status 2 and one line that quotes what the file begins with; no file
// changes.
TEST(Vl4Files, ALogOrATraceIsNeverAppendedToAFileOfAnotherKind) {
    FakeFiles files;
    CsvDialect sheet = SpreadsheetDialect();
    sheet.LineEnd = "";
    const std::vector<std::string> names = {"time", "voltage_mv", "value", "ratio_percent"};
    const std::string columns = CsvLine(names, ""), sheetColumns = CsvLine(names, sheet);
    files.Content["log.csv"] = columns + "\n2026-12-08T01:16:05.560+00:00,8.2823925,6.86,49\n";
    files.Content["sheet.csv"] = "\xEF\xBB\xBF" + sheetColumns + "\r\n";
    // A spreadsheet's form with the comma of an English Windows, and the
    // byte-order mark or CRLF alone, as an editor may save a log.
    files.Content["english.csv"] = "\xEF\xBB\xBF" + columns + "\r\n";
    files.Content["bom.csv"] = "\xEF\xBB\xBF" + columns + "\n";
    files.Content["crlf.csv"] = columns + "\r\n";
    files.Content["r.csv"] = RecordHeader();
    files.Content["unit.txt"] = "# vl4 settings, saved 2026-12-08 01:24 from COM5\n[settings]\n";
    files.Content["t.trace"] = "# vl4 1.1.0 trace, 2026-12-08T01:16:15.401+00:00, port COM5: vl4 "
                               "read COM5 --trace t.trace\n";
    const std::string notALog = "not a log of vl4 in this dialect (its first line is \"";
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"log", "COM99", "--out", "r.csv"},
         "vl4: r.csv: " + notALog + RecordHeader().substr(0, 59) +
             "\xE2\x80\xA6\"); give another file\n"},
        {{"log", "COM99", "--out", "t.trace"},
         "vl4: t.trace: " + notALog + files.Content["t.trace"].substr(0, 59) +
             "\xE2\x80\xA6\"); give another file\n"},
        {{"log", "COM99", "--out", "sheet.csv"},
         "vl4: sheet.csv: " + notALog + sheetColumns +
             "\" with a byte-order mark and CRLF; this log writes \"" + columns +
             "\" with LF); give another file\n"},
        {{"log", "COM99", "--excel", "--out", "log.csv"},
         "vl4: log.csv: " + notALog + columns + "\" with LF; this log writes \"" + sheetColumns +
             "\" with a byte-order mark and CRLF); give another file\n"},
        {{"log", "COM99", "--out", "english.csv"},
         "vl4: english.csv: " + notALog + columns +
             "\" with a byte-order mark and CRLF; this log writes \"" + columns +
             "\" with LF); give another file\n"},
        {{"log", "COM99", "--out", "bom.csv"},
         "vl4: bom.csv: " + notALog + columns +
             "\" with a byte-order mark and LF; this log writes \"" + columns +
             "\" with LF); give another file\n"},
        {{"log", "COM99", "--out", "crlf.csv"},
         "vl4: crlf.csv: " + notALog + columns + "\" with CRLF; this log writes \"" + columns +
             "\" with LF); give another file\n"},
        {{"read", "COM99", "--trace", "log.csv"},
         "vl4: log.csv: not a trace of vl4 (its first line is \"" + columns +
             "\"); give another file\n"},
        {{"log", "COM99", "--trace", "unit.txt", "--out", "new.csv"},
         "vl4: unit.txt: not a trace of vl4 (its first line is \"# vl4 settings, saved "
         "2026-12-08 01:24 from COM5\"); give another file\n"},
    };
    const std::map<std::string, std::string> before = files.Content;
    Vl4Words vl4;
    for (const auto& call : refused) {
        EXPECT_EQ(vl4.Run(call.first), ExitUsage) << call.second;
        EXPECT_EQ(vl4.Err.Text, call.second);
    }
    EXPECT_EQ(files.Content, before) << "every file as it was, and no new one";
}

// Speaks Czech while it lives; vl4's commands choose their own language.
struct InCzech {
    InCzech() { SetLanguage(Language::Czech); }
    ~InCzech() { SetLanguage(Language::English); }
};

int Count(const std::string& text, const std::string& part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// The d attribute of the n-th curve.
std::string Curve(const std::string& svg, int n) {
    size_t at = 0;
    for (int i = 0; i <= n; ++i) at = svg.find("<path", at + 1);
    at = svg.find(" d=\"", at) + 4;
    return svg.substr(at, svg.find('"', at) - at);
}

TrendSummary SummaryOf(const std::vector<TrendSample>& samples) {
    TrendSummary summary;
    for (const TrendSample& sample : samples) summary.Add(sample);
    return summary;
}

// The picture drawn from each of the samples, however many: its curves get
// every sample's point, a gap for each failed read.
std::string PictureOfEverySample(const std::vector<TrendSample>& samples,
                                 const TrendSummary& summary, const std::string& title,
                                 const std::string& since) {
    LineChart chart = TrendChart(summary, title, since);
    for (int i = 0; i < TrendSample::Series; ++i) {
        std::vector<ChartPoint>& points = chart.Panels[i].Series[0].Points;
        points.clear();
        for (const TrendSample& sample : samples)
            points.push_back(
                {sample.Seconds, sample.Read[i] ? double(sample.Values[i]) : std::nan("")});
    }
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + LineChartSvg(chart);
}

// The y coordinates a curve passes through ("M90.0 12.5 h0.01 L91.0 13.0 ").
std::vector<double> Heights(const std::string& curve) {
    std::vector<double> heights;
    for (size_t at = curve.find_first_of("ML"); at != std::string::npos;
         at = curve.find_first_of("ML", at + 1))
        heights.push_back(std::atof(curve.c_str() + curve.find(' ', at) + 1));
    return heights;
}

// The picture without the courses of its curves: frames, axes, ticks, titles.
std::string WithoutCurves(std::string svg) {
    for (size_t at = svg.find(" d=\""); at != std::string::npos; at = svg.find(" d=\"", at + 1))
        svg.erase(at + 4, svg.find('"', at + 4) - (at + 4));
    return svg;
}

TEST(TrendSvg, EachValueHasItsOwnAxisAndItsCurveBreaksWhereReadsFailed) {
    std::vector<TrendSample> samples;
    for (int i = 0; i < 40; ++i) {
        const bool failed = i >= 10 && i < 14; // four samples without any answer
        samples.push_back({i * 0.5,
                           {!failed, !failed && i != 30, false},
                           {static_cast<float>(100 + i), 7.0f, 0}});
    }
    const std::string svg =
        TrendSvg(SummaryOf(samples), "VL4 on COM5 <test>", "2026-12-07T14:03:05.123");
    EXPECT_EQ(svg.find("<?xml"), 0u);
    EXPECT_EQ(svg.substr(svg.size() - 7), "</svg>\n");
    EXPECT_NE(svg.find("VL4 on COM5 &lt;test&gt;"), std::string::npos) << "escaped";
    EXPECT_EQ(Count(Curve(svg, 0), "M"), 2) << "one gap in the voltage";
    EXPECT_EQ(Count(Curve(svg, 1), "M"), 3) << "and one more in the value";
    EXPECT_NE(svg.find(">no readings<"), std::string::npos) << "the ratio never came";
    // Voltage 100..139 mV: its own axis; the constant value gets one around 7.
    EXPECT_NE(svg.find(">140<"), std::string::npos);
    EXPECT_NE(svg.find(">7.0<"), std::string::npos);
    EXPECT_NE(svg.find("time since 2026-12-07T14:03:05.123 [s]"), std::string::npos);
}

// As many samples as the summary has room for, at an uneven pace (a sample
// let go now and then) and with failed reads in each series: the picture is
// the one drawn from every sample, to the byte. One more, and buckets take over.
TEST(TrendSummary, AShortLogIsDrawnFromEverySample) {
    std::vector<TrendSample> samples;
    double seconds = 0;
    for (size_t i = 0; i < TrendSummary::Room; ++i) {
        seconds += i % 17 == 0 ? 0.2 : 0.1;
        samples.push_back({seconds,
                           {i % 11 != 3, i % 13 != 5, i % 500 > 2},
                           {static_cast<float>(i % 31) - 15.5f, i * 0.01f, 50.0f}});
    }
    TrendSummary summary = SummaryOf(samples);
    EXPECT_EQ(summary.BucketSeconds(), 0.0) << "each sample in a place of its own";
    // Compared whole, but not printed whole: a picture is some 100 KB.
    EXPECT_TRUE(TrendSvg(summary, "short", "09:00") ==
                PictureOfEverySample(samples, summary, "short", "09:00"));
    const std::vector<TrendSample> few(samples.begin(), samples.begin() + 40);
    const TrendSummary small = SummaryOf(few);
    EXPECT_TRUE(TrendSvg(small, "few", "09:00") ==
                PictureOfEverySample(few, small, "few", "09:00"));

    summary.Add({seconds + 0.1, {true, true, true}, {0, 0, 0}});
    EXPECT_GT(summary.BucketSeconds(), 0.0);
    EXPECT_LT(summary.BucketCount(), TrendSummary::Room);
}

// A night at 0.1 s, far more samples than the room: a column of the picture
// spans many buckets. The picture has the axes of the one drawn from every
// sample (so the highest and lowest value stand where they were), each
// curve reaches the same heights, and breaks in the same places: a cable
// out for ten seconds, single reads that failed, and 200 pairs of failed
// reads 3 s apart, some of which share a bucket across a column's edge.
TEST(TrendSummary, ALongLogKeepsItsExtremesAndEveryGap) {
    std::vector<bool> valueFailed(288000, false);
    valueFailed[50000] = valueFailed[150017] = true;
    for (int pair = 0; pair < 200; ++pair)
        valueFailed[1000 + pair * 1379] = valueFailed[1030 + pair * 1379] = true;
    std::vector<TrendSample> night;
    for (int i = 0; i < 288000; ++i) {
        const bool away = i >= 100000 && i < 100100;
        const float voltage = i == 123457   ? 180.0f
                              : i == 200003 ? 20.0f
                                            : 100.0f + 20.0f * std::sin(i / 5000.0f) +
                                                  static_cast<float>(i * 7919 % 13) * 0.01f;
        night.push_back({i * 0.1,
                         {!away && i != 77777 && i != 222222, !away && !valueFailed[i], !away},
                         {voltage, 7.0f, i * 0.0001f}});
    }
    const TrendSummary summary = SummaryOf(night);
    ASSERT_GT(summary.BucketSeconds(), 0.0);
    const std::string drawn = TrendSvg(summary, "night", "22:00");
    const std::string every = PictureOfEverySample(night, summary, "night", "22:00");
    EXPECT_LT(drawn.size(), 200000u);
    EXPECT_NE(drawn.find("time since 22:00 [h]"), std::string::npos);
    EXPECT_TRUE(WithoutCurves(drawn) == WithoutCurves(every)) << "the same axes";
    for (int i = 0; i < TrendSample::Series; ++i) {
        const std::string curve = Curve(drawn, i), whole = Curve(every, i);
        EXPECT_EQ(Count(curve, "M"), Count(whole, "M")) << "the same breaks in curve " << i;
        const std::vector<double> heights = Heights(curve), wholeHeights = Heights(whole);
        ASSERT_FALSE(heights.empty());
        EXPECT_EQ(*std::min_element(heights.begin(), heights.end()),
                  *std::min_element(wholeHeights.begin(), wholeHeights.end()))
            << "the highest value of curve " << i;
        EXPECT_EQ(*std::max_element(heights.begin(), heights.end()),
                  *std::max_element(wholeHeights.begin(), wholeHeights.end()))
            << "the lowest value of curve " << i;
    }
    EXPECT_GE(Count(Curve(drawn, 0), "M"), 4) << "the cable and two reads: three gaps";
    EXPECT_GE(Count(Curve(drawn, 1), "M"), 4);
}

// Its memory is the room, whatever the length: 600,000 samples (about 17
// hours at 0.1 s, a sample let go now and then) never take more buckets than
// the room, never fewer than half of it once it has filled, and a bucket
// stays far narrower than the picture's columns. Samples of one time (a
// clock that stood) end up in one bucket.
TEST(TrendSummary, ItsRoomIsNeverExceededHoweverLongTheLog) {
    TrendSummary summary;
    size_t most = 0, fewest = TrendSummary::Room;
    double seconds = 0;
    for (int i = 0; i < 600000; ++i) {
        seconds += i % 1000 == 999 ? 0.3 : 0.1;
        summary.Add({seconds, {true, i % 7 != 0, true}, {static_cast<float>(i % 101), 1, 2}});
        most = std::max(most, summary.BucketCount());
        if (summary.BucketSeconds() > 0) fewest = std::min(fewest, summary.BucketCount());
    }
    EXPECT_EQ(most, TrendSummary::Room);
    EXPECT_GE(fewest, TrendSummary::Room / 2);
    EXPECT_GE(summary.LastSeconds() / summary.BucketSeconds(), TrendSummary::Room / 2 - 1);
    EXPECT_LE(summary.Points(1).size(), 4 * TrendSummary::Room);

    TrendSummary stood;
    for (size_t i = 0; i < 3 * TrendSummary::Room; ++i)
        stood.Add({5.0, {true, false, true}, {static_cast<float>(i), 0, 0}});
    EXPECT_EQ(stood.BucketCount(), 1u);
    const std::vector<ChartPoint> points = stood.Points(0);
    ASSERT_EQ(points.size(), 2u) << "lowest and highest at one time";
    EXPECT_EQ(points[0].Value, 0.0);
    EXPECT_EQ(points[1].Value, 3 * TrendSummary::Room - 1.0);
    EXPECT_TRUE(std::isnan(stood.Points(1).at(0).Value));
}

TEST(VoltageSamples, MeanAsTheDialogTakesItAndTheSpread) {
    VoltageSamples samples;
    EXPECT_EQ(samples.Mean(), 0.0f);
    for (float v : {100.1f, 100.3f, 100.2f, 100.6f}) samples.Add(v);
    EXPECT_EQ(samples.Count(), 4);
    const double sum = double(100.1f) + double(100.3f) + double(100.2f) + double(100.6f);
    EXPECT_EQ(samples.Mean(), static_cast<float>(sum / 4));
    EXPECT_NEAR(samples.StandardDeviation(), 0.2160247, 1e-6);
    VoltageSamples still;
    for (int i = 0; i < 66; ++i) still.Add(1234.5f);
    EXPECT_EQ(still.StandardDeviation(), 0.0) << "no spread made up from rounding";
}

// A record line with these fields, the others empty.
std::string RecordLineOf(const std::vector<std::pair<RecordColumn, std::string>>& given) {
    std::vector<std::string> fields(RecordColumnCount);
    fields[RecIdentification] = "VL4";
    fields[RecProbe] = "pH";
    fields[RecPoints] = "1";
    for (const auto& field : given) fields[field.first] = field.second;
    return RecordLineText(fields);
}

std::string Written(const char* unit, const char* time, const std::string& due,
                    const char* tag = "") {
    return RecordLineOf({{RecTime, time},
                         {RecProductionNumber, unit},
                         {RecTag, tag},
                         {RecSlopePercent, "97.5"},
                         {RecOffsetPh7, "-3.25"},
                         {RecOutcome, "written"},
                         {RecDueDate, due}});
}

struct RecordFiles {
    ~RecordFiles() {
        for (const std::string& name : Names) std::remove(name.c_str());
    }
    const std::string& Write(const std::string& name, const std::string& content) {
        std::string problem;
        EXPECT_TRUE(ReplaceFileContent(name, content, problem)) << problem;
        Names.push_back(name);
        return Names.back();
    }
    std::vector<std::string> Names;
};

size_t At(const std::string& text, const std::string& part) {
    const size_t at = text.find(part);
    EXPECT_NE(at, std::string::npos) << part << " in\n" << text;
    return at;
}

// The days to a due date, and past it, in Czech's three plural forms, in a
// listing whose words and dates are Czech.
TEST(Vl4History, InCzechTheDaysToTheDueDateTakeTheirPluralForms) {
    const LocalTime now = LocalTime::Now();
    const auto due = [&now](int days) { return now.DaysLater(days).IsoDate(); };
    RecordFiles files;
    const char time[] = "2026-01-05T09:00:00.000+01:00";
    const std::string record = files.Write(
        "plural_record.csv", RecordHeader() + Written("101", time, due(1)) +
                                 Written("102", time, due(2)) + Written("105", time, due(5)) +
                                 Written("122", time, due(22)) + Written("201", time, due(-1)) +
                                 Written("204", time, due(-4)) + Written("300", time, ""));
    Vl4Words vl4;
    ASSERT_EQ(vl4.Run({"--lang", "cs", "history", record}), ExitDone) << vl4.Err.Text;
    const std::pair<const char*, int> units[] = {
        {"101: term\xC3\xADn {0}, za 1 den", 1}, // termín
        {"102: term\xC3\xADn {0}, za 2 dny", 2},
        {"105: term\xC3\xADn {0}, za 5 dn\xC3\xAD", 5}, // dní
        {"122: term\xC3\xADn {0}, za 22 dn\xC3\xAD", 22},
        {"201: term\xC3\xADn {0}, PO TERM\xC3\x8DNU o 1 den", -1},
        {"204: term\xC3\xADn {0}, PO TERM\xC3\x8DNU o 4 dny", -4}};
    for (const auto& unit : units)
        At(vl4.Out.Text, "VL4 " + Format(unit.first, {PersonDate(due(unit.second))}) + "\n");
    At(vl4.Out.Text, "VL4 300: bez term\xC3\xADnu\n"); // bez termínu
    At(vl4.Out.Text, "  datum      v\xC3\xBDsledek sonda strmost% ofset chyba kontrola "
                     "posouzen\xC3\xAD technik\n"); // výsledek, posouzení
    At(vl4.Out.Text,
       "  5. 1. 2026 zaps\xC3\xA1no  pH        97,5  -3,3     - -        -         -\n");
    SetLanguage(Language::English);
}

TEST(Vl4History, UnitsAsTheyAreDueEachWithItsCalibrationsOldestFirst) {
    const std::string name = "<b>Dvo\xC5\x99\xC3\xA1k</b> & \"Syn\""; // Dvořák
    RecordFiles files;
    const std::string record = files.Write(
        "history_record.csv",
        RecordHeader() +
            // 100: due long after today; its lines are not in time order. Its tag
            // would clear the console.
            Written("100", "2024-03-01T09:00:00.000+01:00", "2099-03-01", "inlet\r\n\x1B[2J") +
            Written("100", "2023-03-01T09:00:00.000+01:00", "2024-03-01") +
            // 200: no due date of its own; its last calibration was undone.
            Written("200", "2020-01-10T08:00:00.000+01:00", "") +
            Written("200", "2020-02-10T08:00:00.000+01:00", "2099-12-31") +
            RecordLineOf({{RecTime, "2020-02-10T08:05:00.000+01:00"},
                          {RecProductionNumber, "200"},
                          {RecOutcome, "undo"}}) +
            // 300: overdue since 2021; a one-point calibration declined after it. Summer time
            // ended between the two: the later line shows the earlier local hour.
            RecordLineOf({{RecTime, "2020-10-25T02:30:00.000+02:00"},
                          {RecProductionNumber, "300"},
                          {RecTechnician, name},
                          {RecTag, "B"},
                          {RecStandardUsed1, "7"},
                          {RecFoundValue1, "7.25"},
                          {RecSlopePercent, "97.5"},
                          {RecOffsetPh7, "-3.25"},
                          {RecCheckResult, "pass"},
                          {RecHealth, "ok"},
                          {RecOutcome, "written"},
                          {RecDueDate, "2021-05-01"}}) +
            RecordLineOf({{RecTime, "2020-10-25T02:10:00.000+01:00"},
                          {RecProductionNumber, "300"},
                          {RecOffsetPh7, "12"},
                          {RecHealth, "ok (offset only; slope assumed)"},
                          {RecOutcome, "declined"}}) +
            // 400: refused only.
            RecordLineOf({{RecTime, "2026-01-05T12:00:00.000+01:00"},
                          {RecProductionNumber, "400"},
                          {RecOutcome, "refused"}}));
    Vl4Words vl4;

    EXPECT_EQ(vl4.Run({"history", record, "--json", "--interval-days", "36500"}), ExitDone)
        << vl4.Err.Text;
    const std::string& json = vl4.Out.Text;
    EXPECT_EQ(json.find("{\"units\": [\n  {\"production_number\": 300, \"identification\": "
                        "\"VL4\", \"tag\": \"B\", \"due_date\": \"2021-05-01\", \"overdue\": "
                        "true, \"confirmed\": true, \"calibrations\": [\n    {\"time\": "
                        "\"2020-10-25T02:30:00.000+02:00\", \"outcome\": \"written\", "
                        "\"slope_percent\": 97.5, \"offset_ph7_mv\": -3.25, \"found_error\": "
                        "0.25, \"check_result\": \"pass\", \"health\": \"ok\", \"technician\": "
                        "\"<b>Dvo\xC5\x99\xC3\xA1k</b> & \\\"Syn\\\"\", \"confirmed\": true, "
                        "\"undone\": false},\n    {\"time\": "
                        "\"2020-10-25T02:10:00.000+01:00\", \"outcome\": \"declined\", "
                        "\"slope_percent\": null, \"offset_ph7_mv\": 12, \"found_error\": null, "
                        "\"check_result\": null, \"health\": \"ok (offset only; slope "
                        "assumed)\", \"technician\": null, \"confirmed\": true, \"undone\": "
                        "false}\n  ]},\n  {\"production_number\": 100"),
              0u)
        << json;
    // The undone calibration's due date gives way to the one before it, plus the interval.
    EXPECT_LT(At(json, "\"due_date\": \"2099-03-01\", \"overdue\": false"),
              At(json, "{\"production_number\": 200, \"identification\": \"VL4\", \"tag\": null, "
                       "\"due_date\": \"2119-12-17\", \"overdue\": false"));
    EXPECT_LT(At(json, "\"time\": \"2023-03-01"), At(json, "\"time\": \"2024-03-01"));
    EXPECT_NE(json.find("{\"production_number\": 400, \"identification\": \"VL4\", \"tag\": "
                        "null, \"due_date\": null, \"overdue\": false, \"confirmed\": true, "
                        "\"calibrations\": [\n"),
              std::string::npos);
    EXPECT_EQ(json.substr(json.size() - 6), "]}\n]}\n");

    EXPECT_EQ(vl4.Run({"history", record, "--unit", "200", "--json"}), ExitDone);
    EXPECT_EQ(vl4.Out.Text.find("{\"units\": [\n  {\"production_number\": 200, "
                                "\"identification\": \"VL4\", \"tag\": null, \"due_date\": null"),
              0u)
        << "without --interval-days, no due date: " << vl4.Out.Text;
    EXPECT_EQ(vl4.Out.Text.find("\"production_number\": 100"), std::string::npos);

    EXPECT_EQ(vl4.Run({"history", record}), ExitDone);
    const std::string& text = vl4.Out.Text;
    EXPECT_EQ(text.find("VL4 300 at B: due 2021-05-01, OVERDUE by "), 0u) << text;
    EXPECT_LT(At(text, "VL4 100 at inlet   [2J: due 2099-03-01, in "),
              At(text, "VL4 200: no due date\n"));
    EXPECT_LT(At(text, "VL4 200"), At(text, "VL4 400: no written calibration\n"));
    At(text,
       "  2020-10-25 written  pH      97.5   -3.3  0.25 pass  ok      <b>Dvo\xC5\x99\xC3\xA1k");
    At(text, "  2020-10-25 declined pH         -   12.0     - -     ok      -\n");
    for (size_t begin = 0, end; (end = text.find('\n', begin)) != std::string::npos;
         begin = end + 1)
        EXPECT_LE(CharacterCount(text.substr(begin, end - begin)), 80) << text.substr(begin);

    EXPECT_EQ(vl4.Run({"history", record, "--unit", "999"}), ExitFailed);
    EXPECT_EQ(vl4.Err.Text, "vl4: " + record + ": no calibration of production number 999\n");

    const std::string page = "history_report.html";
    EXPECT_EQ(vl4.Run({"history", record, "--html", page}), ExitDone);
    files.Names.push_back(page);
    std::string html, problem;
    EXPECT_EQ(ReadWholeFile(page, 1 << 20, html, problem), FileRead::Done) << problem;
    At(html, "<meta charset=\"utf-8\">");
    At(html, "&lt;b&gt;Dvo\xC5\x99\xC3\xA1k&lt;/b&gt; &amp; &quot;Syn&quot;");
    EXPECT_EQ(html.find(name), std::string::npos) << "an outside text unescaped";
    EXPECT_EQ(html.find("<script"), std::string::npos);

    // A file that is no record: exit 2 with its line.
    const std::string other = files.Write(
        "history_other.csv", "time,port,identification,production_number,probe,standard_1\r\n");
    EXPECT_EQ(vl4.Run({"history", other}), ExitUsage);
    EXPECT_EQ(vl4.Err.Text,
              "vl4: history_other.csv:1: not a calibration record (another header)\n");
}

TEST(PagesForPeople, DatesAddUpTextIsEscapedAndChartsShowTheirLimits) {
    EXPECT_EQ(DayOfDate(1970, 1, 1), 0);
    EXPECT_EQ(IsoDateOfDay(DayOfDate(2024, 2, 28) + 1), "2024-02-29");
    EXPECT_EQ(IsoDateOfDay(DayOfDate(2100, 2, 28) + 1), "2100-03-01");
    EXPECT_EQ(IsoDateOfDay(DayOfDate(1969, 12, 31) + 367), "1971-01-02");
    int32_t day = 0;
    EXPECT_TRUE(ParseIsoDay("2000-03-01", day));
    EXPECT_EQ(day, 11017);
    EXPECT_FALSE(ParseIsoDay("2023-02-29", day));
    EXPECT_FALSE(ParseIsoDay("0000-00-00", day)) << "no day, though the transmitter's no date";
    IsoTime summer, winter;
    ASSERT_TRUE(ParseIsoTime("2024-10-27T02:30:00.000+02:00", summer));
    ASSERT_TRUE(ParseIsoTime("2024-10-27T02:10+01:00", winter));
    EXPECT_EQ(winter.UtcMilliseconds() - summer.UtcMilliseconds(), 40 * 60000);
    EXPECT_EQ(summer.ToMinute(), "2024-10-27 02:30");
    for (const char* bad : {"2024-10-27", "2024-10-27T24:00", "2024-10-27T02:30+1", "27.10.2024"})
        EXPECT_FALSE(ParseIsoTime(bad, summer)) << bad;

    const std::string name = "<b>Dvo\xC5\x99\xC3\xA1k</b> & \"Syn\" 'Co'";
    HtmlTable table({"who", "slope %"});
    table.Numeric(1).Row({name, "98.0"}, true);
    HtmlPage page("Certificate of " + name);
    page.Add(Heading(1, name) + Paragraph(Strong(name) + Html(" ") + Marking("not calibrated")));
    page.NewSection();
    page.Add(table.Markup() + FieldTable({{"technician", name}, {"tag", "A&B"}}));
    const std::string html = page.Text();
    const std::string escaped =
        "&lt;b&gt;Dvo\xC5\x99\xC3\xA1k&lt;/b&gt; &amp; &quot;Syn&quot; &#39;Co&#39;";
    EXPECT_EQ(Count(html, escaped), 5) << html;
    EXPECT_EQ(html.find(name), std::string::npos);
    EXPECT_EQ(html.find("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">"),
              0u);
    EXPECT_NE(html.find("@page { size: A4 portrait;"), std::string::npos);
    EXPECT_NE(html.find("section + section { break-before: page; }"), std::string::npos);
    EXPECT_EQ(Count(html, "<section>"), 2);
    EXPECT_NE(html.find("<tr class=\"marked\"><td>" + escaped + "</td><td class=\"number\">98.0"),
              std::string::npos);
    EXPECT_NE(html.find("<span class=\"marking\">not calibrated</span>"), std::string::npos);
    for (const char* fetching : {"<script", " src=", " href=", "url("})
        EXPECT_EQ(html.find(fetching), std::string::npos) << fetching;

    // A slope over two and a half years against its limits, and a voltage
    // over a point's seconds with its accepted readings shaded.
    LineChart trend;
    trend.Time = ChartTime::Days;
    ChartPanel slope;
    slope.Title = "slope <%>";
    ChartSeries points;
    points.Mark = ChartMark::Circle;
    points.Points = {{double(DayOfDate(2024, 1, 15)), 99}, {double(DayOfDate(2026, 6, 1)), 91}};
    slope.Series.push_back(points);
    slope.Bands.push_back({90, 105, "healthy"});
    slope.Limits = {{80, "usual 80 %"}, {110, "usual 110 %"}};
    ChartPanel none;
    none.Empty = "no offset";
    trend.Panels = {slope, none};
    const std::string svg = LineChartSvg(trend);
    EXPECT_EQ(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), 0u);
    for (const char* text : {">slope &lt;%&gt;<", ">usual 80 %<", ">usual 110 %<", ">healthy<",
                             ">70<", ">120<", ">2024-01<", ">2025-07<", ">2026-01<", ">no offset<"})
        EXPECT_NE(svg.find(text), std::string::npos) << text << " in\n" << svg;
    EXPECT_EQ(Count(svg, "<circle"), 2);
    LineChart point;
    point.TimeTitle = "since the point began";
    point.Spans.push_back({20, 40, "accepted"});
    ChartPanel voltage;
    ChartSeries readings;
    for (int i = 0; i <= 40; ++i)
        readings.Points.push_back({i * 1.0, 10 + 30 * std::exp(-i / 8.0)});
    voltage.Series.push_back(readings);
    point.Panels = {voltage};
    const std::string settling = LineChartSvg(point);
    for (const char* text : {">accepted<", ">40<", "since the point began [s]"})
        EXPECT_NE(settling.find(text), std::string::npos) << text;

    // In Czech the months read 1/2024, the coordinates stay what SVG reads.
    InCzech czech;
    const std::string czechSvg = LineChartSvg(trend);
    for (const char* text : {">1/2024<", ">7/2025<", ">1/2026<", ">70<"})
        EXPECT_NE(czechSvg.find(text), std::string::npos) << text << " in\n" << czechSvg;
    EXPECT_EQ(czechSvg.find(",0\""), std::string::npos) << "a decimal comma in a coordinate";
}

// The picture without its texts: what is drawn and where.
std::string WithoutTexts(std::string svg) {
    for (size_t at = svg.find("<text"); at != std::string::npos; at = svg.find("<text", at + 1)) {
        const size_t from = svg.find('>', at) + 1;
        svg.erase(from, svg.find("</text>", from) - from);
    }
    return svg;
}

// The log's picture in Czech: its words and numbers as a Czech technician
// reads them, drawn exactly as the English one.
TEST(PagesForPeople, ALogsPictureInCzechIsDrawnAsTheEnglishOne) {
    std::vector<TrendSample> samples;
    for (int i = 0; i < 40; ++i)
        samples.push_back({i * 0.5, {i != 12, i != 12, false}, {100.25f + i, 7.0f, 0}});
    const std::string english = TrendSvg(SummaryOf(samples), "VL4 on COM5", "14:03:05");
    std::string czech;
    {
        InCzech inCzech;
        czech = TrendSvg(SummaryOf(samples), "VL4 na COM5", "14:03:05");
    }
    for (const char* text :
         {">7.0<", ">probe voltage [mV]<", ">no readings<", ">time since 14:03:05 [s]<"})
        EXPECT_NE(english.find(text), std::string::npos) << text;
    for (const char* text : {">7,0<", ">nap\xC4\x9Bt\xC3\xAD sondy [mV]<", // napětí
                             ">\xC5\xBE\xC3\xA1"
                             "dn\xC3\xA9 ode\xC4\x8Dty<", // žádné odečty
                             ">\xC4\x8D"
                             "as od 14:03:05 [s]<"}) // čas od
        EXPECT_NE(czech.find(text), std::string::npos) << text << " in\n" << czech;
    EXPECT_EQ(czech.find(">7.0<"), std::string::npos);
    EXPECT_EQ(WithoutTexts(czech), WithoutTexts(english));
}

// Readings every 300 ms of a probe settling from `from` towards `to`.
std::string Settling(int count, double from, double to) {
    std::string readings;
    for (int i = 0; i < count; ++i)
        readings +=
            (i ? " " : "") + ExactText(static_cast<float>(to + (from - to) * std::exp(-i / 8.0)));
    return readings;
}

// The README's calibration: two NIST buffers at 15 degrees and a check that
// passed, every field as vl4 calibrate records it.
std::string CalibratedLine() {
    return "2026-12-08T15:03:56.062+01:00,COM5,VL4,2403117,1.02,pH,"
           "Jana Nov\xC3\xA1kov\xC3\xA1,K3,15,2,6.86,6.9,9.646136,0.080423065,-0.5415086,75,22.2,"
           "6.836858,4.01,3.998,172.52979,0.08102831,0.5490518,114,33.9,4.083677,0,-59.16,"
           "2024-03-15,4.033335,-56.128063,4.033335,-56.128063,2026-12-08,98.17135,4.033335,9.18,"
           "9.276,9.276858,pass,ok,written,2027-06-06,1.1.0,yes,settled,0.6,0.5,nist,measured,"
           "0.05,buffer,buffer,buffer,,,,,," +
           Settling(75, 20, 9.646) + "," + Settling(114, 60, 172.53) + "," +
           Settling(122, 0, -123.77) + "\r\n";
}

// A point 80 mV off the next day, not written.
std::string DeclinedLine() {
    return RecordLineOf({{RecTime, "2026-12-09T08:00:00.000+01:00"},
                         {RecProductionNumber, "2403117"},
                         {RecTemperature, "25"},
                         {RecStandard1, "7"},
                         {RecStandardUsed1, "7"},
                         {RecVoltage1, "80.1"},
                         {RecSpread1, "0.02"},
                         {RecDrift1, "0.01"},
                         {RecReadings1, "66"},
                         {RecSettle1, "19.5"},
                         {RecFoundOffset, "4.033335"},
                         {RecFoundSensitivity, "-56.128063"},
                         {RecFoundDate, "2026-12-08"},
                         {RecComputedOffset, "80.1"},
                         {RecComputedSensitivity, "-58"},
                         {RecOffsetPh7, "80.1"},
                         {RecHealth, "check probe (offset only; slope assumed)"},
                         {RecOutcome, "declined"},
                         {RecVersion, "1.1.0"},
                         {RecTemperatureGiven, "no"},
                         {RecSettleRule, "settled"},
                         {RecMaxDrift, "0.6"},
                         {RecMaxSpread, "0.5"},
                         {RecSlopeSource, "assumed"},
                         {RecCheckTolerance, "0.05"},
                         {RecStandardKind1, "value"},
                         {RecReadingsMv1, Settling(66, 80.1, 80.1)}});
}

// The pages for people from one record, in Czech and in English: each in
// its language throughout (lang, title, marks, decimal commas, dates), the
// English as it always was.
TEST(PagesForPeople, InCzechWithDecimalCommasAndCzechDatesTheEnglishAsItWas) {
    RecordFiles files;
    const std::string record =
        files.Write("pages_record.csv", RecordHeader() + CalibratedLine() + DeclinedLine());
    const std::string page = files.Write("pages_page.html", "");
    Vl4Words vl4;
    const auto made = [&](const std::vector<std::string>& words) {
        EXPECT_EQ(vl4.Run(words), ExitDone) << vl4.Err.Text;
        std::string html, problem;
        EXPECT_EQ(ReadWholeFile(page, 1 << 20, html, problem), FileRead::Done) << problem;
        return html;
    };
    const auto number = [](const std::string& text) {
        return "<td class=\"number\">" + text + "</td>";
    };

    const std::string czech =
        made({"--lang", "cs", "certificate", record, "--time", "2026-12-08", "--out", page});
    EXPECT_EQ(czech.find("<!DOCTYPE html>\n<html lang=\"cs\">"), 0u);
    for (const std::string& fact :
         {std::string("<title>Kalibra\xC4\x8Dn\xC3\xAD list VL4 2403117 8. 12. 2026</title>"),
          std::string("<h1>Kalibra\xC4\x8Dn\xC3\xAD list</h1>"), // Kalibrační list
          std::string("<td>8. 12. 2026 15:03:56 (UTC+01:00)</td>"),
          std::string("<td>15,0 \xC2\xB0"
                      "C (zadan\xC3\xA1)</td>"), // 15,0 °C (zadaná)
          std::string("<td>tabulka NIST p\xC5\x99i 15,0 \xC2\xB0"
                      "C</td>"),
          number("6,86") + number("6,900") + number("9,646") + number("0,080") + number("-0,54") +
              number("75") + number("22,2") + number("6,837") + number("-0,063"),
          number("-59,16") + number("-56,128063") + number("-56,128063"),
          number("15. 3. 2024") + number("-") + number("8. 12. 2026"),
          std::string("98,2 % ide\xC3\xA1ln\xC3\xAD elektrody (-57,17 mV/pH p\xC5\x99i 15,0 "
                      "\xC2\xB0"
                      "C)"),
          std::string("<td>VYHOVUJE</td>"), std::string("<td>6. 6. 2027</td>"),
          std::string("od za\xC4\x8D\xC3\xA1tku bodu [s]"), // od začátku bodu
          std::string("Z\xC3\xA1v\xC4\x9Br: v po\xC5\x99\xC3\xA1"
                      "dku")}) // Závěr: v pořádku
        At(czech, fact);
    for (const char* english :
         {"Calibration certificate", ">Points<", "as found", "Verdict", "next calibration due",
          "received for the plant", "6.900", "2026-12-08", "PASS", "lang=\"en\""})
        EXPECT_EQ(czech.find(english), std::string::npos) << english;

    const std::string declined =
        made({"--lang", "cs", "certificate", record, "--time", "2026-12-09", "--out", page});
    At(declined, "<div class=\"banner\"><strong>NEKALIBROV\xC3\x81NO</strong>zam\xC3\xADtnuto: "
                 "nic nebylo zaps\xC3\xA1no</div>"); // NEKALIBROVÁNO, zamítnuto: ... zapsáno
    At(declined, "p\xC5\x99"
                 "edpokl\xC3\xA1"
                 "dan\xC3\xA1, -58 mV/pH: jeden bod strmost "
                 "nem\xC4\x9B\xC5\x99\xC3\xAD"); // předpokládaná, ... neměří
    At(declined, number("nezaps\xC3\xA1no"));    // nezapsáno
    At(declined, "<td>nestanoven</td>");

    const std::string english =
        made({"certificate", record, "--time", "2026-12-08", "--out", page});
    EXPECT_EQ(english.find("<!DOCTYPE html>\n<html lang=\"en\">"), 0u);
    for (const std::string& fact :
         {std::string("<title>Calibration certificate VL4 2403117 2026-12-08</title>"),
          std::string("<td>2026-12-08 15:03:56 (UTC+01:00)</td>"),
          std::string("<td>15.0 \xC2\xB0"
                      "C (given)</td>"),
          number("6.86") + number("6.900") + number("9.646") + number("0.080") + number("-0.54") +
              number("75") + number("22.2") + number("6.837") + number("-0.063"),
          number("2024-03-15") + number("-") + number("2026-12-08"),
          std::string("98.2 % of the ideal electrode (-57.17 mV/pH at 15.0 \xC2\xB0"
                      "C)"),
          std::string("<td>PASS</td>"), std::string("<td>2027-06-06</td>"),
          std::string("since the point began [s]"), std::string("received for the plant")})
        At(english, fact);
    EXPECT_EQ(english.find("6,900"), std::string::npos);

    const std::string report = made({"--lang", "cs", "history", record, "--html", page});
    EXPECT_EQ(report.find("<!DOCTYPE html>\n<html lang=\"cs\">"), 0u);
    for (const std::string& fact :
         {std::string(
              "<h1>Historie kalibrac\xC3\xAD</h1>"), // Historie kalibrací
                                                     // The record's words as a person reads them:
                                                     // zapsáno (platná), ... pH, ... v pořádku
          std::string("<td class=\"unbroken\">8. 12. 2026 15:03</td><td>zaps\xC3\xA1no "
                      "(platn\xC3\xA1)</td><td>pH</td>"),
          std::string("<td>vyhovuje</td><td>v po\xC5\x99\xC3\xA1"
                      "dku</td>"),
          number("98,2") + number("4,0") + number("-0,06"),
          std::string("<td class=\"unbroken\">6. 6. 2027</td>"),
          std::string("ofset p\xC5\x99i pH 7 [mV]")}) // ofset při pH 7
        At(report, fact);
    // The trend's dates as a Czech technician writes them: 13. 12. 2026.
    EXPECT_TRUE(std::regex_search(report, std::regex(">[0-9]{1,2}\\. 1?[0-9]\\. 2026<")));
    EXPECT_FALSE(std::regex_search(report, std::regex(">2026-[0-9]")));
}

} // namespace

namespace {

// A person never reads "-0.000": an as-found error that rounds to nothing
// is no error below zero.
TEST(TextsForPeople, AValueThatRoundsToZeroHasNoSign) {
    EXPECT_EQ(FixedText(-0.0, 3), "0.000");
    EXPECT_EQ(FixedText(-0.0004, 3), "0.000");
    EXPECT_EQ(FixedText(-0.0004, 3, ","), "0,000");
    EXPECT_EQ(FixedText(-0.4, 0), "0");
    EXPECT_EQ(SignedText(-0.0004, 3), "+0.000");
    EXPECT_EQ(SignedText(-0.0006, 3), "-0.001");
    EXPECT_EQ(FixedText(-12.5, 1), "-12.5");
}

// A console's status line is covered in columns, and a Czech letter takes
// one column in two bytes.
TEST(TextsForPeople, AStatusLineCoversWhatALongerLineLeftInCharacters) {
    struct Console : CapturedOutput {
        bool IsConsole() const override { return true; }
    } console;
    {
        StatusLine line(console);
        line.Show("0123456789");
        line.Show("\xC5\x99\xC5\x99\xC5\x99\xC5\x99"); // řřřř
        line.Show("ab");
    }
    EXPECT_EQ(console.Text, "\r0123456789\r\xC5\x99\xC5\x99\xC5\x99\xC5\x99      \rab  \n");
}

// The system's reasons in the language for a person, in English for a trace.
TEST(TextsForPeople, TheSystemsReasonsInTheLanguageAndInEnglishForATrace) {
    SetLanguage(Language::Czech);
    EXPECT_EQ(SystemProblem(ERROR_DISK_FULL), "disk je pln\xC3\xBD");
    EXPECT_EQ(SystemProblem(ERROR_INVALID_FUNCTION), "syst\xC3\xA9mov\xC3\xA1 chyba 1");
    EXPECT_EQ(EnglishSystemProblem(ERROR_DISK_FULL), "the disk is full");
    EXPECT_EQ(EnglishSystemProblem(ERROR_INVALID_FUNCTION), "system error 1");
    SetLanguage(Language::English);
    EXPECT_EQ(SystemProblem(ERROR_DISK_FULL), "the disk is full");
}

} // namespace
