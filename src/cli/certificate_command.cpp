// vl4 certificate: the certificate of a recorded calibration made again
// from its record line, the same page vl4 calibrate --certificate wrote.
#include "calibration/record_file.h"
#include "cli/command_line.h"
#include "cli/record_console.h"
#include "core/number_text.h"
#include "documents/calibration_certificate.h"
#include "files/text_files.h"

namespace {

int RunCertificate(CommandContext& context, const Arguments& arguments) {
    int32_t unit = 0;
    const std::string* unitText = arguments.Value("--unit");
    if (unitText && !ParseInteger(unitText->c_str(), unit))
        return UsageError(context, CertificateCommand,
                          Format(_("--unit takes a production number, not {0}"), {*unitText}));
    const std::string* out = arguments.Value("--out");
    if (!out) return UsageError(context, CertificateCommand, _("give the page's --out FILE.html"));
    const std::string* time = arguments.Value("--time");
    const std::string& path = arguments.Positional[0];
    RecordBook book;
    RecordShape shape;
    std::string problem;
    if (!ReadRecordFile(path, book, shape, problem)) {
        context.Err.Write("vl4: " + problem + "\n");
        return ExitUsage;
    }
    WarnSkipped(context, book);
    const RecordEntry* entry =
        ChooseCalibration(book, unitText ? &unit : nullptr, time ? *time : "", problem);
    if (!entry) return context.Fail(ExitFailed, path, problem);
    if (!ReplaceFileContent(*out, CalibrationCertificate(entry->Record), problem))
        return context.Fail(ExitUsage, *out, Format(_("cannot write: {0}"), {problem}));
    const CalibrationRecord& line = entry->Record;
    context.Say(
        Format(line.IsVerification() ? _("verification certificate of {0} ({1}, {2}) in {3}")
                                     : _("certificate of {0} ({1}, {2}) in {3}"),
               {LinePlace(entry->File, entry->Line), line.Time, _(line.Outcome.c_str()), *out}));
    return ExitDone;
}

} // namespace

const CommandSpec CertificateCommand = {
    "certificate",
    N_("RECORD.csv [--unit N] [--time T] --out FILE.html"),
    N_("the certificate of a recorded calibration, made again from the record"),
    {
        N_("Makes the certificate of a calibration from its line in the record alone: the\n"
           "same page vl4 calibrate --certificate wrote when it recorded the line, with\n"
           "the pictures of each point's readings drawn again from the recorded readings.\n"
           "Without --unit and --time the record's last calibration is taken (a record of\n"
           "several units needs --unit). A line of an earlier vl4's record gives a page\n"
           "that says what such a record does not hold (how the points were taken, their\n"
           "readings). An undo has no certificate of its own.\n"),
        N_("  --unit N        the last calibration of the unit with production number N\n"
           "  --time T        the calibration whose recorded time begins with T, such as\n"
           "                  2026-12-08T09:14 (exit status 1 when none or several do)\n"
           "  --out FILE      where the page goes (one HTML file for A4, nothing fetched)\n"),
    },
    1,
    1,
    {{"--unit", "N", false}, {"--time", "T", false}, {"--out", "FILE.html", false}},
    RunCertificate,
};
