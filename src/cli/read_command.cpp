// vl4 read: every value of the transmitter, as the window shows them or as
// exact numbers for programs.
#include "cli/command_line.h"
#include "cli/transmitter_session.h"
#include "core/english_names.h"
#include "core/machine_text.h"
#include "core/readout.h"
#include "core/text_encoding.h"

namespace {

// One value of the read-out in every form vl4 gives it.
struct ShownValue {
    std::string Shown; // as the window formats it
    std::string Json;
    std::vector<std::string> Csv; // one field, or code and name
    // For a value JSON cannot give as what it is: its bits, as KEY_raw beside it.
    std::string JsonRaw = {};
};

// A person reads the window's digits with the language's decimal symbol.
ShownValue FloatValue(float value, int decimals) {
    return {PersonNumber(FixedText(value, decimals)), JsonFloat(value), {ExactText(value)}};
}

ShownValue TextValue(const std::string& text) {
    return {text, JsonString(text), {text}};
}

ShownValue IntegerValue(int32_t value) {
    return {IntegerText(value), IntegerText(value), {IntegerText(value)}};
}

// A code and the name it shows as: in English for programs.
ShownValue NamedValue(uint8_t code, const char* name) {
    JsonObject json;
    json.Add("code", IntegerText(code)).Add("name", JsonString(name));
    return {Translated(name), json.Text(), {IntegerText(code), name}};
}

ShownValue DateValue(const CalibrationDate& date) {
    const uint32_t bits = DateBits(date);
    NumberText text;
    FormatDate(text, bits);
    // A transmitter never calibrated holds 0000-00-00; a value that is no day
    // is no date for a program either, and its digits go beside it.
    ShownValue value = TextValue(text);
    value.Shown = PersonDate(value.Shown);
    if (bits == 0) value.Json = "null";
    if (bits != 0 && !IsCalendarDate(bits)) {
        value.Json = "null";
        value.JsonRaw = JsonString(HexText(bits));
    }
    return value;
}

struct ValueShape {
    const char* Label; // in English; Translated() for a person
    const char* Key;
    const char* NameKey; // the CSV column of a code's name
    ShownValue (*Show)(const Readout& values);
};

// In the order of the read-out's steps.
const ValueShape Shapes[ReadoutStepCount] = {
    {N_("firmware"), "firmware", nullptr,
     [](const Readout& v) { return TextValue(VersionText(v.FirmwareVersion)); }},
    {N_("production number"), "production_number", nullptr,
     [](const Readout& v) { return IntegerValue(v.ProductionNumber); }},
    {N_("output"), "output", "output_name",
     [](const Readout& v) {
         return NamedValue(v.OutputWiring, OutputWiringEnglishName(v.OutputWiring));
     }},
    {N_("probe"), "probe", "probe_name",
     [](const Readout& v) { return NamedValue(v.ProbeType, ProbeTypeEnglishName(v.ProbeType)); }},
    {N_("calibration date"), "calibration_date", nullptr,
     [](const Readout& v) { return DateValue(v.Calibration); }},
    {N_("damping"), "damping", nullptr, [](const Readout& v) { return IntegerValue(v.Damping); }},
    {N_("offset"), "offset", nullptr, [](const Readout& v) { return FloatValue(v.Offset, 3); }},
    {N_("sensitivity"), "sensitivity", nullptr,
     [](const Readout& v) { return FloatValue(v.Sensitivity, 3); }},
    {N_("depth"), "depth", nullptr, [](const Readout& v) { return FloatValue(v.Depth, 3); }},
    {N_("lower range"), "lower", nullptr,
     [](const Readout& v) { return FloatValue(v.LowerRange, 2); }},
    {N_("upper range"), "upper", nullptr,
     [](const Readout& v) { return FloatValue(v.UpperRange, 2); }},
    {N_("probe voltage [mV]"), "voltage_mv", nullptr,
     [](const Readout& v) { return FloatValue(v.ProbeVoltage, 3); }},
    {N_("measured value"), "value", nullptr,
     [](const Readout& v) { return FloatValue(v.MeasuredValue, 2); }},
    // The transmitter reports a fraction; the window shows percent.
    {N_("ratio [%]"), "ratio_percent", nullptr,
     [](const Readout& v) { return FloatValue(v.Ratio * 100.0f, 2); }},
};

struct ReadResult {
    Readout Values;
    bool Read[ReadoutStepCount] = {};
    std::string Missing; // the names of the values that did not come
};

// False when Ctrl+C came first.
bool ReadEverything(TransmitterSession& session, const Interruption& stop, ReadResult& result) {
    for (int i = 0; i < ReadoutStepCount; ++i) {
        if (stop.Requested()) return false;
        result.Read[i] = ReadoutSteps[i].Read(session.Link, result.Values);
        if (!result.Read[i])
            result.Missing +=
                (result.Missing.empty() ? "" : ", ") + std::string(Translated(Shapes[i].Label));
    }
    return true;
}

// The label in a column of 20 characters (a Czech letter is two bytes).
std::string Label(const char* label) {
    const std::string text = Translated(label);
    const int width = CharacterCount(text);
    return text + std::string(width < 20 ? static_cast<size_t>(20 - width) : 1, ' ');
}

std::string AsText(const TransmitterSession& session, const ReadResult& result) {
    std::string text = Label(N_("port")) + session.Port + "\n" + Label(N_("identification")) +
                       session.Identification + "\n";
    for (int i = 0; i < ReadoutStepCount; ++i)
        text += Label(Shapes[i].Label) +
                (result.Read[i] ? Shapes[i].Show(result.Values).Shown : _("(no answer)")) + "\n";
    return text;
}

std::string AsJson(const TransmitterSession& session, const ReadResult& result) {
    JsonObject json;
    json.Add("port", JsonString(session.Port))
        .Add("identification", JsonString(session.Identification));
    for (int i = 0; i < ReadoutStepCount; ++i) {
        const ShownValue value = result.Read[i] ? Shapes[i].Show(result.Values) : ShownValue{};
        json.Add(Shapes[i].Key, result.Read[i] ? value.Json : "null");
        if (!value.JsonRaw.empty()) json.Add(std::string(Shapes[i].Key) + "_raw", value.JsonRaw);
    }
    return json.Text() + "\n";
}

std::string AsCsv(const TransmitterSession& session, const ReadResult& result) {
    std::vector<std::string> header = {"port", "identification"};
    std::vector<std::string> line = {session.Port, session.Identification};
    for (int i = 0; i < ReadoutStepCount; ++i) {
        const ValueShape& shape = Shapes[i];
        header.push_back(shape.Key);
        if (shape.NameKey) header.push_back(shape.NameKey);
        std::vector<std::string> fields(shape.NameKey ? 2 : 1);
        if (result.Read[i]) fields = shape.Show(result.Values).Csv;
        line.insert(line.end(), fields.begin(), fields.end());
    }
    return CsvLine(header) + CsvLine(line);
}

int Read(CommandContext& context, const Arguments& arguments) {
    TransmitterSession session;
    if (int status = session.Open(context, arguments.Positional[0])) return status;
    ReadResult result;
    if (!ReadEverything(session, context.Stop, result))
        return context.Fail(ExitInterrupted, session.Port, _("interrupted"));
    if (arguments.Has("--json"))
        context.Out.Write(AsJson(session, result));
    else if (arguments.Has("--csv"))
        context.Out.Write(AsCsv(session, result));
    else
        context.Out.Write(AsText(session, result));
    if (result.Missing.empty()) return ExitDone;
    return session.NoAnswer(context, Format(_("no answer reading {0}"), {result.Missing}));
}

int Check(CommandContext& context, const Arguments& arguments) {
    if (arguments.Has("--json") && arguments.Has("--csv"))
        return UsageError(context, ReadCommand, _("--json and --csv exclude each other"));
    return Read(context, arguments);
}

} // namespace

const CommandSpec ReadCommand = {
    "read",
    N_("PORT [--json | --csv]"),
    N_("every value, as the window shows it (text); exact numbers in JSON or CSV"),
    {
        N_("Identifies the transmitter on PORT and reads every value once. The text form\n"
           "shows each value as the window formats it. --json writes one object and --csv a\n"
           "header line and one line, with every float as the shortest decimal that reads\n"
           "back to the very same float. A value that does not come is null in JSON and an\n"
           "empty field in CSV, and the exit status is 1.\n"),
        N_("  --json    one JSON object: port, identification, firmware, production_number,\n"
           "            output and probe ({code, name}), calibration_date (ISO date, null\n"
           "            when never calibrated), damping, offset, sensitivity, depth, lower,\n"
           "            upper, voltage_mv, value, ratio_percent\n"
           "  --csv     the same as CSV; output and probe give a code and a name column\n"),
    },
    1,
    1,
    {{"--json", nullptr, false}, {"--csv", nullptr, false}},
    Check,
};
