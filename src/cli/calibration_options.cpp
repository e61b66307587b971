#include "cli/calibration_options.h"

#include "calibration/oxygen_solubility.h"
#include "calibration/plan_check.h"
#include "core/calibration_policy.h"
#include "core/language.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "files/text_files.h"

namespace {

// The bounds are the calibration's own (plan_check), which the window's
// fields meet as well; here they name the option.
bool NumberIn(const std::string& text, ValueRange range, double& value) {
    return ParseNumberIn(text, range.Low, range.High, value);
}

// The options that are points, in the order given, and their kinds.
const struct {
    const char* Option;
    StandardKind Kind;
} PointOptions[] = {{"--standard", StandardKind::Value},
                    {"--air", StandardKind::Air},
                    {"--zero", StandardKind::Zero},
                    {"--grab", StandardKind::Grab}};

class OptionReader {
public:
    OptionReader(CommandContext& context, const CommandSpec& command, const Arguments& arguments,
                 bool verify, CalibrationOptions& options)
        : Context(context), Command(command), Given(arguments), Options(options) {
        Options.Verify = verify;
    }

    int Read() {
        Options.Unattended = Given.Has("--yes");
        Options.AcceptUnusual = Given.Has("--accept-unusual");
        Options.Undo = Given.Has("--undo");
        if (const std::string* record = Given.Value("--record")) Options.RecordPath = *record;
        Options.CertificatePath = Given.Value("--certificate");
        if (Options.Undo) return ReadUndo();
        if (int status = ReadStandards()) return status;
        if (int status = ReadTemperature()) return status;
        if (int status = ReadConditions()) return status;
        if (int status = ReadSettling()) return status;
        if (int status = ReadCheck()) return status;
        if (int status = ReadRecordFields()) return status;
        if (int status = ReadBuffers()) return status;
        Options.KeepSlope = Given.Has("--keep-slope");
        if (Options.KeepSlope && Options.Standards.size() != 1)
            return Usage(
                _("--keep-slope keeps the slope of a one-point calibration: give one --standard"));
        return CheckCertificatePath();
    }

private:
    int Usage(const std::string& what) { return UsageError(Context, Command, what); }

    int ReadUndo() {
        if (Options.RecordPath.empty())
            return Usage(_("--undo needs the --record FILE of the calibration"));
        for (const char* option :
             {"--standard", "--air", "--zero", "--grab", "--temperature", "--buffers",
              "--buffer-table", "--check", "--check-tolerance", "--keep-slope", "--max-drift",
              "--max-spread", "--settle-timeout", "--no-settle", "--certificate",
              "--accept-unusual", "--due-days"})
            if (Given.Has(option)) return Usage(Format(_("--undo takes no {0}"), {option}));
        Options.Technician = Given.Value("--technician") ? *Given.Value("--technician") : "";
        Options.Tag = Given.Value("--tag") ? *Given.Value("--tag") : "";
        return ExitDone;
    }

    // A certificate that could not be written would be found missing only
    // after the calibration, so its place is tried before the first frame.
    int CheckCertificatePath() {
        std::string problem;
        if (!Options.CertificatePath || CanReplaceFile(*Options.CertificatePath, problem))
            return ExitDone;
        return Context.Fail(ExitUsage, *Options.CertificatePath,
                            Format(_("cannot write the certificate: {0}"), {problem}));
    }

    // The points in the order given: each --standard, --air, --zero or --grab.
    int ReadStandards() {
        for (const auto& given : Given.Options) {
            for (const auto& point : PointOptions) {
                if (given.first != point.Option) continue;
                PlannedStandard planned = {point.Kind, 0.0f};
                if (point.Kind == StandardKind::Value &&
                    (!ParseNumber(given.second.c_str(), planned.Value) ||
                     !IsFiniteNumber(planned.Value)))
                    return Usage(Format(_("--standard takes a number, not {0}"), {given.second}));
                Options.Standards.push_back(planned);
            }
        }
        if (Options.Standards.empty() || Options.Standards.size() > 2)
            return Usage(_("give one or two standards: --standard N, --air, --zero, --grab"));
        return ExitDone;
    }

    int ReadTemperature() {
        const std::string* text = Given.Value("--temperature");
        if (!text) return ExitDone;
        const bool air = Options.Has(StandardKind::Air);
        const ValueRange range = TemperatureRange(Options);
        if (!NumberIn(*text, range, Options.Temperature))
            return Usage(Format(air ? _("--temperature takes the standards' temperature in \xC2\xB0"
                                        "C, {0} to {1} in air, not {2}")
                                    : _("--temperature takes the standards' temperature in \xC2\xB0"
                                        "C, {0} to {1}, not {2}"),
                                {ExactDecimal(static_cast<float>(range.Low)),
                                 ExactDecimal(static_cast<float>(range.High)), *text}));
        Options.TemperatureGiven = true;
        return ExitDone;
    }

    // The conditions of oxygen in air and of chlorine in its water.
    int ReadConditions() {
        const std::string* pressure = Given.Value("--pressure");
        const std::string* altitude = Given.Value("--altitude");
        const std::string* salinity = Given.Value("--salinity");
        if ((pressure || altitude || salinity) && !Options.Has(StandardKind::Air))
            return Usage(_("--pressure, --altitude and --salinity are the conditions of an --air "
                           "point"));
        if (pressure && altitude) return Usage(_("--pressure and --altitude exclude each other"));
        if (pressure &&
            !ParseNumberIn(*pressure, LowestPressureHpa, HighestPressureHpa, Options.PressureHpa))
            return Usage(Format(_("--pressure takes the barometric pressure at the site in hPa, "
                                  "500 to 1100, not {0}"),
                                {*pressure}));
        if (altitude) {
            double metres, hpa = 0;
            if (NumberIn(*altitude, AltitudeRange, metres)) hpa = PressureAtAltitude(metres);
            if (!(hpa >= LowestPressureHpa && hpa <= HighestPressureHpa))
                return Usage(Format(_("--altitude takes metres above sea level where the air's "
                                      "pressure is 500 to 1100 hPa, not {0}"),
                                    {*altitude}));
            Options.AltitudeM = metres;
        }
        Options.PressureGiven = pressure != nullptr;
        Options.AltitudeGiven = altitude != nullptr;
        if (salinity && !ParseNumberIn(*salinity, 0, HighestSalinity, Options.Salinity))
            return Usage(Format(_("--salinity takes g/kg, 0 to 40, not {0}"), {*salinity}));
        if (const std::string* ph = Given.Value("--ph")) {
            if (!NumberIn(*ph, SamplePhRange, Options.SamplePh))
                return Usage(Format(_("--ph takes the water's pH, 0 to 14, not {0}"), {*ph}));
            Options.HasSamplePh = true;
        }
        return ReadGrab();
    }

    int ReadGrab() {
        const std::string* value = Given.Value("--grab-value");
        const bool grab = Options.Has(StandardKind::Grab);
        if (value && !grab) return Usage(_("--grab-value is the value of a --grab point"));
        if (value) {
            double number;
            if (!NumberIn(*value, GrabValueRange, number))
                return Usage(Format(
                    _("--grab-value takes the grab sample's mg/L, 0 or more, not {0}"), {*value}));
            Options.HasGrabValue = true;
            Options.GrabValue = static_cast<float>(number);
        }
        if (grab && Options.Unattended && !value)
            return Usage(_("--yes asks nobody for the grab sample's value: give --grab-value N"));
        return ExitDone;
    }

    int ReadSettling() {
        Options.Settle = !Given.Has("--no-settle");
        const struct {
            const char* Name;
            double* Value;
            double Low, High;
            const char* What;
        } limits[] = {
            {"--max-drift", &Options.Limits.MaxDriftMvPerMinute, 0.001, 1000,
             _("{0} takes mV a minute, not {1}")},
            {"--max-spread", &Options.Limits.MaxSpreadMv, 0.001, 1000, _("{0} takes mV, not {1}")},
            {"--settle-timeout", &Options.SettleTimeout, 20, 86400,
             _("{0} takes seconds, 20 or more, not {1}")},
        };
        for (const auto& limit : limits) {
            const std::string* text = Given.Value(limit.Name);
            if (!text) continue;
            if (!Options.Settle) return Usage(Format(_("--no-settle takes no {0}"), {limit.Name}));
            if (!ParseNumberIn(*text, limit.Low, limit.High, *limit.Value))
                return Usage(Format(limit.What, {limit.Name, *text}));
        }
        return ExitDone;
    }

    // A calibration's check, or a verification's tolerance. The probe's own
    // bound is known once the transmitter has said which it is.
    int ReadCheck() {
        const char* option = Options.Verify ? "--tolerance" : "--check-tolerance";
        const std::string* check = Given.Value("--check");
        const std::string* tolerance = Given.Value(option);
        if (tolerance && !check && !Options.Verify)
            return Usage(_("--check-tolerance needs --check N"));
        if (tolerance &&
            !ParseNumberIn(*tolerance, 1e-6, WidestAnyCheckTolerance, Options.Tolerance))
            return Usage(Format(_("{0} takes a number above 0 and at most 50 (1 for pH, 50 mV for "
                                  "Redox, 1 mg/L for chlorine and oxygen), not {1}"),
                                {option, *tolerance}));
        Options.ToleranceGiven = tolerance != nullptr;
        if (!check) return ExitDone;
        if (!ParseNumber(check->c_str(), Options.CheckStandard) ||
            !IsFiniteNumber(Options.CheckStandard))
            return Usage(Format(_("--check takes a number, not {0}"), {*check}));
        Options.HasCheck = true;
        return ExitDone;
    }

    int ReadRecordFields() {
        if (const std::string* name = Given.Value("--technician")) Options.Technician = *name;
        if (const std::string* tag = Given.Value("--tag")) Options.Tag = *tag;
        const std::string* days = Given.Value("--due-days");
        if (!days) return ExitDone;
        if (!ParseInteger(days->c_str(), Options.DueDays) || Options.DueDays < 1 ||
            Options.DueDays > MaxDueDays)
            return Usage(
                Format(_("--due-days takes a number of days, 1 to 3660, not {0}"), {*days}));
        Options.HasDueDays = true;
        return ExitDone;
    }

    int ReadBuffers() {
        const std::string* named = Given.Value("--buffers");
        const std::string* file = Given.Value("--buffer-table");
        if (named && file) return Usage(_("--buffers and --buffer-table exclude each other"));
        if (named && *named != "nist")
            return Usage(Format(_("--buffers knows nist, not {0}"), {*named}));
        if (named) {
            Options.Buffers = NistBuffers;
            Options.BufferSource = "nist";
        } else if (file) {
            if (int status = ReadTableFile(*file)) return status;
            Options.BufferSource = *file;
        } else {
            return ExitDone;
        }
        Options.UseBuffers = true;
        const StandardKind kind = named ? StandardKind::Buffer : StandardKind::Table;
        for (PlannedStandard& planned : Options.Standards) {
            if (planned.Kind != StandardKind::Value)
                return Usage(_("a table's standards are named with --standard N, not --air, "
                               "--zero or --grab"));
            planned.Kind = kind;
        }
        return CheckBuffers();
    }

    // A bottle's table of pH buffers, or of Redox solutions in mV: which, its
    // header says (a pH is 0 to 14).
    int ReadTableFile(const std::string& path) {
        std::string content, problem;
        switch (ReadWholeFile(path, MaxBufferTableSize, content, problem)) {
        case FileRead::Failed:
            return Context.Fail(ExitUsage, path, Format(_("cannot read: {0}"), {problem}));
        case FileRead::TooLarge:
            return Context.Fail(ExitUsage, path, _("larger than 64 KiB; not a buffer table"));
        case FileRead::Done:
            break;
        }
        int line;
        if (ParseSolutionTable(content, Options.Buffers, line, problem)) return ExitDone;
        return Context.Fail(ExitUsage, path + ":" + IntegerText(line), problem);
    }

    // Every standard (and the check) must name a buffer of the table, and
    // the table must reach the temperature.
    int CheckBuffers() {
        std::vector<float> named;
        for (const PlannedStandard& planned : Options.Standards) named.push_back(planned.Value);
        if (Options.HasCheck) named.push_back(Options.CheckStandard);
        const BufferTable& table = Options.Buffers;
        for (float standard : named) {
            const int column = FindBuffer(table, standard);
            double value;
            if (column < 0)
                return Usage(
                    Format(table.Units == TableUnits::Redox
                               ? _("the standard {0} names no solution of {1} (within "
                                   "{2})")
                               : _("the standard {0} names no buffer of {1} (within {2})"),
                           {ExactDecimal(standard), Options.BufferSource,
                            ExactDecimal(static_cast<float>(RulesOf(table.Units).NameTolerance))}));
            if (!BufferValueAt(table, column, Options.Temperature, value))
                return Usage(Format(
                    _("{0} has no values at {1} \xC2\xB0"
                      "C: its temperatures go from {2} to {3}"),
                    {Options.BufferSource, ExactDecimal(static_cast<float>(Options.Temperature)),
                     ExactDecimal(static_cast<float>(table.Celsius[0])),
                     ExactDecimal(static_cast<float>(table.Celsius[table.Rows - 1]))}));
        }
        return ExitDone;
    }

    CommandContext& Context;
    const CommandSpec& Command;
    const Arguments& Given;
    CalibrationOptions& Options;
};

} // namespace

int ParseCalibrationOptions(CommandContext& context, const CommandSpec& command,
                            const Arguments& arguments, bool verify, CalibrationOptions& options) {
    OptionReader reader(context, command, arguments, verify, options);
    return reader.Read();
}

std::vector<OptionSpec> CalibrationOptionSpecs(std::vector<OptionSpec> own) {
    const OptionSpec shared[] = {{"--standard", "N", true},
                                 {"--air", nullptr, false},
                                 {"--zero", nullptr, false},
                                 {"--grab", nullptr, false},
                                 {"--grab-value", "N", false},
                                 {"--temperature", "C", false},
                                 {"--buffers", "NAME", false},
                                 {"--buffer-table", "FILE", false},
                                 {"--pressure", "HPA", false},
                                 {"--altitude", "M", false},
                                 {"--salinity", "G", false},
                                 {"--ph", "P", false},
                                 {"--max-drift", "MV", false},
                                 {"--max-spread", "MV", false},
                                 {"--settle-timeout", "SECONDS", false},
                                 {"--no-settle", nullptr, false},
                                 {"--record", "FILE", false},
                                 {"--technician", "NAME", false},
                                 {"--tag", "TAG", false},
                                 {"--due-days", "N", false},
                                 {"--certificate", "FILE", false},
                                 {"--yes", nullptr, false}};
    own.insert(own.end(), std::begin(shared), std::end(shared));
    return own;
}
