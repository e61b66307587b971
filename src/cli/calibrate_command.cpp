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

int RunCalibrationCommand(CommandContext& context, const Arguments& arguments,
                          const CommandSpec& command, bool verify) {
    CalibrationOptions options;
    if (int status = ParseCalibrationOptions(context, command, arguments, verify, options))
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
                                  written ? _("calibration written") : "", status);
    if (status == ExitInterrupted)
        context.Fail(status, session.Port,
                     written ? _("interrupted after the calibration was written")
                             : _("interrupted; nothing written"));
    return status;
}

namespace {

int Calibrate(CommandContext& context, const Arguments& arguments) {
    return RunCalibrationCommand(context, arguments, CalibrateCommand, false);
}

} // namespace

const CommandSpec CalibrateCommand = {
    "calibrate",
    N_("PORT STANDARD [STANDARD] [OPTIONS] | PORT --undo --record FILE"),
    N_("a one- or two-point calibration with settled points, a check and a record"),
    {
        N_("Calibrates the probe as the window's calibration dialog does, with the same\n"
           "arithmetic, and proves it. It reads what the transmitter holds (as found), sets\n"
           "the damping to 0 for the sampling (and restores it afterwards, also after an\n"
           "error, Ctrl+C or a closing console), and for each standard asks to put the probe\n"
           "in it and press Enter. A line 'point K: ...' on standard output says when each\n"
           "point begins. It then reads the probe voltage every 300 ms, with the\n"
           "transmitter's measured value beside it, until the last 66 readings (19.8 s) are\n"
           "stable: their least-squares drift and their standard deviation within the\n"
           "limits. The point's voltage is the mean of those 66; the mean of the measured\n"
           "values is the as-found reading in that standard. One standard makes a one-point\n"
           "calibration (pH: the slope is assumed, -58 mV/pH; chlorine and oxygen: the\n"
           "zero is 0 by the transmitter's law), two a two-point one; a Redox probe takes\n"
           "one. Then it writes offset, sensitivity and today's date, each checked against\n"
           "the transmitter's reply (as left); a write not confirmed fails the calibration.\n"),
        N_("The standards, one or two, in the order given:\n"
           "  --standard N          a standard's value (pH 7, 4.01; a Redox potential in\n"
           "                        mV may be negative; mg/L for chlorine and oxygen); with\n"
           "                        --buffers or --buffer-table, the buffer's or solution's\n"
           "                        name: its value at 25 \xC2\xB0"
           "C\n"
           "  --air                 oxygen: the probe in water-saturated air or\n"
           "                        air-saturated water; its standard is the oxygen such\n"
           "                        water holds at --temperature, --pressure or --altitude\n"
           "                        and --salinity (Benson & Krause)\n"
           "  --zero                oxygen or chlorine: the probe in water free of it\n"
           "                        (sulfite for oxygen); standard 0\n"
           "  --grab                chlorine: the probe in the sample stream; when the\n"
           "                        point is taken it says 'take the grab sample now',\n"
           "                        holds that reading, and asks for the sample's result\n"
           "  --grab-value N        the grab sample's result in mg/L, without asking\n"),
        N_("Their conditions:\n"
           "  --temperature C       the standards' temperature (default: 25 \xC2\xB0"
           "C assumed);\n"
           "                        a pH electrode's ideal slope is 0.198416 mV/pH per K;\n"
           "                        0 to 40 \xC2\xB0"
           "C with --air\n"
           "  --buffers nist        pH standards are buffers of the usual table (1.679,\n"
           "                        4.005, 6.865, 7.413, 9.180, 10.012), used at their value\n"
           "                        at the temperature (0 to 50 \xC2\xB0"
           "C)\n"
           "  --buffer-table FILE   the same from the table on your bottles: CSV with a\n"
           "                        header 'temperature,NOMINAL,...' and a row per\n"
           "                        temperature; pH buffers, or Redox solutions named by\n"
           "                        their potential at 25 \xC2\xB0"
           "C in mV (within 1 mV)\n"
           "  --pressure HPA        --air: the barometric pressure at the site, not\n"
           "                        reduced to sea level, 500 to 1100 (default 1013.25)\n"
           "  --altitude M          --air: the site's altitude instead; the pressure of the\n"
           "                        standard atmosphere there\n"
           "  --salinity G          --air: the water's salinity in g/kg, 0 to 40 (default 0)\n"
           "  --ph P                chlorine: the water's pH, 0 to 14: the share of its\n"
           "                        free chlorine that is HOCl, which the probe sees, is\n"
           "                        shown and recorded (a warning below 50 %)\n"),
        N_("Points that give no usable slope, or one no working probe of the kind has,\n"
           "write nothing. A pair beyond its probe's usual limits is written only when the\n"
           "question 'write anyway? [y/N]' is answered y (with --yes: only with\n"
           "--accept-unusual): pH 80 to 110 % of the ideal slope and 60 mV at pH 7 (healthy\n"
           "90 to 105 % and 30 mV); Redox 50 mV of offset (healthy 15 mV); oxygen 60 to\n"
           "140 % of 9 mV per mg/L and a zero of 0.5 mg/L (healthy 85 to 120 % and\n"
           "0.2 mg/L); chlorine 50 to 150 % of the slope it had and a zero of 0.1 mg/L\n"
           "(healthy 75 to 125 % and 0.05 mg/L).\n"),
        N_("  --check N             after the writes, the probe goes into a check standard;\n"
           "                        the transmitter's reading there must be within\n"
           "  --check-tolerance T   of its value (default: pH 0.05, Redox 15 mV, chlorine\n"
           "                        the larger of 0.1 mg/L and 15 %, oxygen of 0.2 mg/L\n"
           "                        and 2 %; at most 1 for pH, 50 mV for Redox, 1 mg/L\n"
           "                        for chlorine and oxygen); a failed check is exit 1 and\n"
           "                        leaves the calibration written\n"
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
           "                        HTML page (A4) made from the record's line; NOT\n"
           "                        CALIBRATED when refused or declined\n"
           "  --yes                 do not ask before each standard (a prepared bench:\n"
           "                        the settling waits for the probe)\n"
           "  --accept-unusual      with --yes, write an unusual pair as well\n"
           "  --undo                put back what the transmitter held before this unit's\n"
           "                        last calibration in the --record FILE, if it still\n"
           "                        holds what that calibration left; asks first unless\n"
           "                        --yes\n"),
    },
    1,
    1,
    CalibrationOptionSpecs({{"--check", "N", false},
                            {"--check-tolerance", "T", false},
                            {"--keep-slope", nullptr, false},
                            {"--accept-unusual", nullptr, false},
                            {"--undo", nullptr, false}}),
    Calibrate,
};
