// vl4 calibrate: the calibration from the console, with settled points,
// buffers at their temperature, what the transmitter held before and holds
// after, a check standard, a record and a certificate. The calibration
// itself lives in its windowless home; this command reads the options,
// opens the port and is its front-end on the console.
#include "calibration/calibration_run.h"
#include "calibration/record_layout.h"
#include "cli/calibration_options.h"
#include "cli/calibration_undo.h"
#include "cli/command_line.h"
#include "cli/console_front_end.h"
#include "cli/record_console.h"
#include "cli/transmitter_session.h"

namespace {

int Calibrate(CommandContext& context, const Arguments& arguments) {
    CalibrationOptions options;
    if (int status = ParseCalibrationOptions(context, CalibrateCommand, arguments, options))
        return status;
    if (options.Undo) return UndoCalibration(context, arguments.Positional[0], options);
    ConsoleFrontEnd console(context);
    if (int status = PrepareCalibrationRecord(options, console)) return status;
    TransmitterSession session;
    if (int status = session.Open(context, arguments.Positional[0])) return status;
    CalibrationUnit unit = {session.Link, session.Port, session.Identification};
    CalibrationRecord result;
    int status = RunCalibration(unit, options, console, result);
    const bool written = result.Outcome == OutcomeWritten || result.Outcome == OutcomeFailed;
    if (!result.Outcome.empty())
        status = WriteCertificate(context, options.CertificatePath, result,
                                  written ? "calibration written" : "", status);
    if (status == ExitInterrupted)
        context.Fail(status, session.Port,
                     written ? "interrupted after the calibration was written"
                             : "interrupted; nothing written");
    return status;
}

} // namespace

const CommandSpec CalibrateCommand = {
    "calibrate",
    "PORT --standard N1 [--standard N2] [OPTIONS] | PORT --undo --record FILE",
    "a one- or two-point calibration with settled points, a check and a record",
    "Calibrates the probe as the window's calibration dialog does, with the same\n"
    "arithmetic and the same rules, and proves it. It reads what the transmitter\n"
    "holds (as found), sets the damping to 0 for the sampling (and restores it\n"
    "afterwards, also after an error, Ctrl+C or a closing console), and for each\n"
    "standard asks to put the probe in it and press Enter. A line 'point K: ...' on\n"
    "standard output says when each point begins. It then reads the probe voltage\n"
    "every 300 ms, with the transmitter's measured value beside it, until the last\n"
    "66 readings (19.8 s) are stable: their least-squares drift and their standard\n"
    "deviation within the limits. The point's voltage is the mean of those 66; the\n"
    "mean of the measured values is the as-found reading in that standard. One\n"
    "standard makes a one-point calibration (pH: the slope is assumed, -58 mV/pH,\n"
    "and not judged), two a two-point one; a Redox probe takes one. Then it writes\n"
    "offset, sensitivity and today's date, each checked against the transmitter's\n"
    "reply (as left).\n"
    "\n"
    "Points that give no usable slope, or one no working probe of the kind has,\n"
    "write nothing. A pH pair outside 80 to 110 % of the ideal slope or beyond 60 mV\n"
    "at pH 7 is written only when the question 'write anyway? [y/N]' is answered y\n"
    "(with --yes: only with --accept-unusual). Health: 90 to 105 % and 30 mV.\n"
    "\n"
    "  --standard N          a standard's value (pH 7, 4.01; a Redox potential in\n"
    "                        mV may be negative); with --buffers, the buffer's\n"
    "                        nominal (25 \xC2\xB0"
    "C) value\n"
    "  --temperature C       the solutions' temperature (default: 25 \xC2\xB0"
    "C assumed); the\n"
    "                        ideal pH slope is 0.198416 mV/pH per kelvin\n"
    "  --buffers nist        standards are buffers of the usual table (1.679, 4.005,\n"
    "                        6.865, 7.413, 9.180, 10.012), used at their value at\n"
    "                        the temperature (0 to 50 \xC2\xB0"
    "C); pH only\n"
    "  --buffer-table FILE   the same from the table on your bottles: CSV with a\n"
    "                        header 'temperature,NOMINAL,...' and a row per\n"
    "                        temperature\n"
    "  --check N             after the writes, the probe goes into a check standard;\n"
    "                        the transmitter's reading there must be within\n"
    "  --check-tolerance T   of its value (default 0.05; at most 1 for pH, 50 mV for\n"
    "                        Redox, 1 mg/L for chlorine and oxygen); a failed check\n"
    "                        is exit 1 and leaves the calibration written\n"
    "  --keep-slope          pH, one standard: keep the sensitivity the transmitter\n"
    "                        holds, write only the offset and the date\n"
    "  --max-drift MV        stable: drift at most MV mV a minute (default 0.6)\n"
    "  --max-spread MV       stable: standard deviation at most MV mV (default 0.5)\n"
    "  --settle-timeout S    a point not stable within S seconds ends the\n"
    "                        calibration, nothing written (default 180)\n"
    "  --no-settle           take the first 66 readings, stable or not\n"
    "  --record FILE         append a line to the record FILE (CSV; a header when\n"
    "                        new), also for a refused, declined or failed one\n"
    "  --technician NAME     who calibrates, for the record and the certificate\n"
    "  --tag TAG             the measuring point, for the record and the certificate\n"
    "  --due-days N          the next calibration is due N days from today\n"
    "  --certificate FILE    write the calibration's certificate for the plant: one\n"
    "                        HTML page (A4) with the unit, the points and their\n"
    "                        stability, as found and as left, the electrode, the\n"
    "                        check and the due date; NOT CALIBRATED when refused or\n"
    "                        declined\n"
    "  --yes                 do not ask before each standard (a prepared bench:\n"
    "                        the settling waits for the probe)\n"
    "  --accept-unusual      with --yes, write an unusual pH pair as well\n"
    "  --undo                put back what the transmitter held before this unit's\n"
    "                        last calibration in the --record FILE, if it still\n"
    "                        holds what that calibration left; asks first unless\n"
    "                        --yes\n",
    1,
    1,
    {{"--standard", "N", true},
     {"--temperature", "C", false},
     {"--buffers", "NAME", false},
     {"--buffer-table", "FILE", false},
     {"--check", "N", false},
     {"--check-tolerance", "T", false},
     {"--keep-slope", nullptr, false},
     {"--max-drift", "MV", false},
     {"--max-spread", "MV", false},
     {"--settle-timeout", "SECONDS", false},
     {"--no-settle", nullptr, false},
     {"--record", "FILE", false},
     {"--technician", "NAME", false},
     {"--tag", "TAG", false},
     {"--due-days", "N", false},
     {"--certificate", "FILE", false},
     {"--yes", nullptr, false},
     {"--accept-unusual", nullptr, false},
     {"--undo", nullptr, false}},
    Calibrate,
};
