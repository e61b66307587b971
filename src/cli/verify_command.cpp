// vl4 verify: the transmitter's readings in standards against their values,
// with nothing adjusted: the same points, settling and conditions as a
// calibration, and its record and certificate.
#include "cli/calibration_options.h"
#include "cli/command_line.h"

namespace {

int Verify(CommandContext& context, const Arguments& arguments) {
    return RunCalibrationCommand(context, arguments, VerifyCommand, true);
}

} // namespace

const CommandSpec VerifyCommand = {
    "verify",
    N_("PORT STANDARD [STANDARD] [OPTIONS]"),
    N_("the readings in standards against their values; nothing is written"),
    {
        N_("Verifies the probe without adjusting it: each standard (--standard, --air,\n"
           "--zero, --grab, with the conditions and tables vl4 calibrate takes) is sampled\n"
           "as a calibration's point, until the last 66 readings are stable, and the\n"
           "transmitter's measured value over them is compared with the standard's value\n"
           "at its conditions. Nothing is written to the transmitter; its damping is set\n"
           "to 0 while it is sampled and put back. The exit status is 0 when every\n"
           "standard reads within its tolerance, 1 when one does not. A record gets a line\n"
           "'verified' or 'verify failed'; in vl4 history a passed verification makes the\n"
           "unit due again like a calibration, a failed one says to calibrate it.\n"),
        N_("  --standard N, --air, --zero, --grab, --grab-value N, --temperature C,\n"
           "  --buffers nist, --buffer-table FILE, --pressure HPA, --altitude M,\n"
           "  --salinity G, --ph P, --max-drift MV, --max-spread MV, --settle-timeout S,\n"
           "  --no-settle, --record FILE, --technician NAME, --tag TAG, --due-days N,\n"
           "  --yes                 as vl4 calibrate takes them (see vl4 calibrate --help)\n"
           "  --tolerance T         how far each reading may be from its standard (default:\n"
           "                        pH 0.05, Redox 15 mV, chlorine the larger of 0.1 mg/L\n"
           "                        and 15 %, oxygen of 0.2 mg/L and 2 %; at most 1 for pH,\n"
           "                        50 mV for Redox, 1 mg/L for chlorine and oxygen)\n"
           "  --certificate FILE    the verification's certificate: VERIFICATION - NOT\n"
           "                        ADJUSTED, each standard's value, reading, error and\n"
           "                        tolerance; FAILED across the top for a failed one\n"),
    },
    1,
    1,
    CalibrationOptionSpecs({{"--tolerance", "T", false}}),
    Verify,
};
