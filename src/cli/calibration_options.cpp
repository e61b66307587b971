#include "cli/calibration_options.h"

#include "core/calibration_policy.h"
#include "core/machine_text.h"
#include "core/number_text.h"
#include "files/text_files.h"

namespace {

// Bottle tables are a few lines; anything larger is not one.
constexpr size_t MaxBufferTableSize = 64 * 1024;
constexpr double NoTemperatureBelow = -5.0, NoTemperatureAbove = 100.0; // °C, for solutions

bool NumberIn(const std::string& text, double low, double high, double& value) {
    float number;
    if (!ParseNumber(text.c_str(), number) || !IsFiniteNumber(number)) return false;
    value = number;
    return value >= low && value <= high;
}

class OptionReader {
public:
    OptionReader(CommandContext& context, const CommandSpec& command, const Arguments& arguments,
                 CalibrationOptions& options)
        : Context(context), Command(command), Given(arguments), Options(options) {}

    int Read() {
        Options.Unattended = Given.Has("--yes");
        Options.AcceptUnusual = Given.Has("--accept-unusual");
        Options.Undo = Given.Has("--undo");
        if (const std::string* record = Given.Value("--record")) Options.RecordPath = *record;
        Options.CertificatePath = Given.Value("--certificate");
        if (Options.Undo) return ReadUndo();
        if (int status = ReadStandards()) return status;
        if (int status = ReadTemperature()) return status;
        if (int status = ReadSettling()) return status;
        if (int status = ReadCheck()) return status;
        if (int status = ReadRecordFields()) return status;
        if (int status = ReadBuffers()) return status;
        Options.KeepSlope = Given.Has("--keep-slope");
        if (Options.KeepSlope && Options.Standards.size() != 1)
            return Usage(
                "--keep-slope keeps the slope of a one-point calibration: give one --standard");
        return CheckCertificatePath();
    }

private:
    int Usage(const std::string& what) { return UsageError(Context, Command, what); }

    int ReadUndo() {
        if (Options.RecordPath.empty())
            return Usage("--undo needs the --record FILE of the calibration");
        for (const char* option :
             {"--standard", "--temperature", "--buffers", "--buffer-table", "--check",
              "--check-tolerance", "--keep-slope", "--max-drift", "--max-spread",
              "--settle-timeout", "--no-settle", "--certificate", "--accept-unusual", "--due-days"})
            if (Given.Has(option)) return Usage(std::string("--undo takes no ") + option);
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
                            "cannot write the certificate: " + problem);
    }

    int ReadStandards() {
        const std::vector<std::string> standards = Given.Values("--standard");
        if (standards.empty() || standards.size() > 2)
            return Usage("give one or two --standard values");
        for (const std::string& text : standards) {
            float value;
            if (!ParseNumber(text.c_str(), value) || !IsFiniteNumber(value))
                return Usage("--standard takes a number, not " + text);
            Options.Standards.push_back(value);
        }
        return ExitDone;
    }

    int ReadTemperature() {
        const std::string* text = Given.Value("--temperature");
        if (!text) return ExitDone;
        if (!NumberIn(*text, NoTemperatureBelow, NoTemperatureAbove, Options.Temperature))
            return Usage("--temperature takes the solutions' temperature in \xC2\xB0"
                         "C, -5 to 100, not " +
                         *text);
        Options.TemperatureGiven = true;
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
            {"--max-drift", &Options.Limits.MaxDriftMvPerMinute, 0.001, 1000, "mV a minute"},
            {"--max-spread", &Options.Limits.MaxSpreadMv, 0.001, 1000, "mV"},
            {"--settle-timeout", &Options.SettleTimeout, 20, 86400, "seconds, 20 or more"},
        };
        for (const auto& limit : limits) {
            const std::string* text = Given.Value(limit.Name);
            if (!text) continue;
            if (!Options.Settle) return Usage(std::string("--no-settle takes no ") + limit.Name);
            if (!NumberIn(*text, limit.Low, limit.High, *limit.Value))
                return Usage(std::string(limit.Name) + " takes " + limit.What + ", not " + *text);
        }
        return ExitDone;
    }

    int ReadCheck() {
        const std::string* check = Given.Value("--check");
        const std::string* tolerance = Given.Value("--check-tolerance");
        if (tolerance && !check) return Usage("--check-tolerance needs --check N");
        if (!check) return ExitDone;
        if (!ParseNumber(check->c_str(), Options.CheckStandard) ||
            !IsFiniteNumber(Options.CheckStandard))
            return Usage("--check takes a number, not " + *check);
        Options.HasCheck = true;
        // The probe's own bound is known once the transmitter has said which it is.
        if (tolerance &&
            !NumberIn(*tolerance, 1e-6, WidestAnyCheckTolerance, Options.CheckTolerance))
            return Usage("--check-tolerance takes a number above 0 and at most 50 (1 for pH, "
                         "50 mV for Redox, 1 mg/L for chlorine and oxygen), not " +
                         *tolerance);
        return ExitDone;
    }

    int ReadRecordFields() {
        if (const std::string* name = Given.Value("--technician")) Options.Technician = *name;
        if (const std::string* tag = Given.Value("--tag")) Options.Tag = *tag;
        const std::string* days = Given.Value("--due-days");
        if (!days) return ExitDone;
        if (!ParseInteger(days->c_str(), Options.DueDays) || Options.DueDays < 1 ||
            Options.DueDays > 3660)
            return Usage("--due-days takes a number of days, 1 to 3660, not " + *days);
        Options.HasDueDays = true;
        return ExitDone;
    }

    int ReadBuffers() {
        const std::string* named = Given.Value("--buffers");
        const std::string* file = Given.Value("--buffer-table");
        if (named && file) return Usage("--buffers and --buffer-table exclude each other");
        if (named && *named != "nist") return Usage("--buffers knows nist, not " + *named);
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
        return CheckBuffers();
    }

    int ReadTableFile(const std::string& path) {
        std::string content, problem;
        switch (ReadWholeFile(path, MaxBufferTableSize, content, problem)) {
        case FileRead::Failed:
            return Context.Fail(ExitUsage, path, "cannot read: " + problem);
        case FileRead::TooLarge:
            return Context.Fail(ExitUsage, path, "larger than 64 KiB; not a buffer table");
        case FileRead::Done:
            break;
        }
        int line;
        if (ParseBufferTable(content, Options.Buffers, line, problem)) return ExitDone;
        return Context.Fail(ExitUsage, path + ":" + IntegerText(line), problem);
    }

    // Every standard (and the check) must name a buffer of the table, and
    // the table must reach the temperature.
    int CheckBuffers() {
        std::vector<float> named = Options.Standards;
        if (Options.HasCheck) named.push_back(Options.CheckStandard);
        for (float standard : named) {
            const int column = FindBuffer(Options.Buffers, standard);
            double value;
            if (column < 0)
                return Usage("the standard " + ExactText(standard) + " names no buffer of " +
                             Options.BufferSource + " (within 0.02)");
            if (!BufferValueAt(Options.Buffers, column, Options.Temperature, value))
                return Usage(Options.BufferSource + " has no values at " +
                             ExactText(static_cast<float>(Options.Temperature)) +
                             " \xC2\xB0"
                             "C: its temperatures go from " +
                             ExactText(static_cast<float>(Options.Buffers.Celsius[0])) + " to " +
                             ExactText(static_cast<float>(
                                 Options.Buffers.Celsius[Options.Buffers.Rows - 1])));
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
                            const Arguments& arguments, CalibrationOptions& options) {
    OptionReader reader(context, command, arguments, options);
    return reader.Read();
}
