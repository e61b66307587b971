#include "cli/record_console.h"

#include "calibration/record_layout.h"
#include "core/language.h"
#include "core/machine_text.h"
#include "core/transmitter_settings.h"
#include "documents/calibration_certificate.h"
#include "files/text_files.h"

namespace {

// What stands after a failure, in front of its reason.
std::string After(const std::string& done, const std::string& why) {
    return done.empty() ? why : done + ", " + why;
}

} // namespace

void WarnSkipped(CommandContext& context, const RecordBook& book) {
    for (const RecordWarning& warning : book.Warnings)
        context.Warn(LinePlace(warning.File, warning.Line),
                     Format(_("line passed over: {0}"), {warning.Problem}));
}

int WriteCertificate(CommandContext& context, const std::string* path,
                     const CalibrationRecord& line, const std::string& done, int status) {
    if (!path) return status;
    // The page is made from what the record holds, as vl4 certificate makes it.
    CalibrationRecord recorded;
    std::string problem;
    if (!RecordOfFields(RecordFields(line), false, recorded, problem)) {
        context.Fail(ExitFailed, *path,
                     After(done, Format(_("certificate not written: {0}"), {problem})));
        return status == ExitDone ? ExitFailed : status;
    }
    if (ReplaceFileContent(*path, CalibrationCertificate(recorded), problem)) {
        context.Say(Format(line.IsVerification() ? _("verification certificate in {0}")
                                                 : _("certificate in {0}"),
                           {*path}));
        return status;
    }
    context.Fail(ExitFailed, *path,
                 After(done, Format(_("certificate not written: {0}"), {problem})));
    return status == ExitDone ? ExitFailed : status;
}
