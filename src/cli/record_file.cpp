#include "cli/record_file.h"

#include "core/machine_text.h"
#include "core/text_encoding.h"

const char* const RecordColumnNames[RecordColumnCount] = {
    "time",
    "port",
    "identification",
    "production_number",
    "firmware",
    "probe",
    "technician",
    "tag",
    "temperature_c",
    "points",
    "standard_1",
    "standard_1_used",
    "voltage_1_mv",
    "spread_1_mv",
    "drift_1_mv_min",
    "readings_1",
    "settle_1_s",
    "found_value_1",
    "standard_2",
    "standard_2_used",
    "voltage_2_mv",
    "spread_2_mv",
    "drift_2_mv_min",
    "readings_2",
    "settle_2_s",
    "found_value_2",
    "found_offset",
    "found_sensitivity",
    "found_date",
    "computed_offset",
    "computed_sensitivity",
    "left_offset",
    "left_sensitivity",
    "left_date",
    "slope_percent",
    "offset_ph7_mv",
    "check_standard",
    "check_standard_used",
    "check_value",
    "check_result",
    "health",
    "outcome",
    "due_date",
};

namespace {

const char LineEnd[] = "\r\n";

// Splits one CSV record off the text at `at`: fields separated by commas, a
// field in quotes may hold commas, quotes (doubled) and line ends. False
// when a quote is left open or a quoted field is followed by anything but a
// separator or a line end. `lines` counts the line ends passed.
bool NextRecord(const std::string& text, size_t& at, std::vector<std::string>& fields, int& lines,
                std::string& problem) {
    fields.assign(1, std::string());
    for (;;) {
        if (at < text.size() && text[at] == '"') {
            ++at;
            for (;;) {
                if (at >= text.size()) {
                    problem = "a quoted field is not closed";
                    return false;
                }
                const char c = text[at++];
                if (c == '"') {
                    if (at < text.size() && text[at] == '"') {
                        fields.back() += '"';
                        ++at;
                        continue;
                    }
                    break;
                }
                if (c == '\n') ++lines;
                fields.back() += c;
            }
            if (at < text.size() && text[at] != ',' && text[at] != '\r' && text[at] != '\n') {
                problem = "text after a quoted field";
                return false;
            }
        }
        while (at < text.size() && text[at] != ',' && text[at] != '\n' &&
               !(text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n'))
            fields.back() += text[at++];
        if (at >= text.size()) return true;
        if (text[at] == ',') {
            ++at;
            fields.emplace_back();
            continue;
        }
        at += text[at] == '\r' ? 2 : 1;
        ++lines;
        return true;
    }
}

} // namespace

std::string RecordHeader() {
    return RecordLine(
        std::vector<std::string>(RecordColumnNames, RecordColumnNames + RecordColumnCount));
}

std::string RecordLine(const std::vector<std::string>& fields) {
    return CsvLine(fields, LineEnd);
}

bool ParseRecord(const std::string& content, std::vector<RecordRow>& rows, int& line,
                 std::string& problem) {
    rows.clear();
    line = 1;
    if (content.empty()) return true;
    if (!IsUtf8(content)) {
        problem = "not UTF-8 text";
        return false;
    }
    size_t at = 0;
    std::vector<std::string> fields;
    int lines = 0;
    if (!NextRecord(content, at, fields, lines, problem)) return false;
    if (fields !=
        std::vector<std::string>(RecordColumnNames, RecordColumnNames + RecordColumnCount)) {
        problem = "not a calibration record of this vl4 (another header); start a new file";
        return false;
    }
    while (at < content.size()) {
        line = 1 + lines;
        if (!NextRecord(content, at, fields, lines, problem)) return false;
        if (fields.size() == 1 && fields[0].empty()) continue; // a blank line
        if (fields.size() != RecordColumnCount) {
            problem = IntegerText(static_cast<int32_t>(fields.size())) + " fields instead of " +
                      IntegerText(RecordColumnCount);
            return false;
        }
        rows.push_back({line, fields});
    }
    return true;
}
