#include "core/csv_reader.h"

#include "core/language.h"
#include "core/text_encoding.h"

namespace {

const char ByteOrderMarkBytes[] = "\xEF\xBB\xBF";

// The separator of a file: the first line's ';' outside quotes, as a
// spreadsheet with a decimal comma writes; ',' otherwise.
char SeparatorOf(const std::string& text, size_t at) {
    bool quoted = false;
    for (; at < text.size() && (quoted || (text[at] != '\n' && text[at] != '\r')); ++at) {
        if (text[at] == '"') quoted = !quoted;
        if (!quoted && text[at] == ';') return ';';
    }
    return ',';
}

} // namespace

CsvReader::CsvReader(const std::string& bytes) : Text(bytes) {
    if (Text.compare(0, 3, ByteOrderMarkBytes) == 0) {
        Bom = true;
        At = 3;
    }
    if (!IsUtf8(Text)) {
        Ansi = true;
        Text = Utf8FromWindows1250(Text);
    }
    Sep = SeparatorOf(Text, At);
}

// One field from At, up to its separator or line end; false, with why, when
// it is damaged.
bool CsvReader::Field(std::string& field, std::string& problem) {
    field.clear();
    if (At < Text.size() && Text[At] == '"') {
        const size_t open = At++;
        for (;;) {
            if (At >= Text.size()) {
                At = open;
                problem = _("a quoted field is not closed");
                return false;
            }
            const char c = Text[At++];
            if (c == '"' && At < Text.size() && Text[At] == '"') {
                field += '"';
                ++At;
            } else if (c == '"') {
                break;
            } else {
                field += c;
            }
        }
        if (At < Text.size() && Text[At] != Sep && Text[At] != '\r' && Text[At] != '\n') {
            problem = _("text after a quoted field");
            return false;
        }
        return true;
    }
    while (At < Text.size() && Text[At] != Sep && Text[At] != '\n' &&
           !(Text[At] == '\r' && At + 1 < Text.size() && Text[At + 1] == '\n'))
        field += Text[At++];
    return true;
}

// On to the start of the next line.
void CsvReader::SkipLine() {
    while (At < Text.size() && Text[At] != '\n') ++At;
    if (At < Text.size()) ++At;
}

bool CsvReader::Next(CsvRow& row) {
    for (;;) {
        if (At >= Text.size()) return false;
        row = CsvRow();
        row.Line = Line;
        const size_t start = At;
        std::string field;
        bool whole = true;
        for (;;) {
            if (!Field(field, row.Problem)) {
                whole = false;
                break;
            }
            row.Fields.push_back(field);
            if (At < Text.size() && Text[At] == Sep) {
                ++At;
                continue;
            }
            break;
        }
        if (!whole) {
            // A damaged row ends with its first line: the lines after it
            // are read on their own.
            At = start;
            SkipLine();
        } else {
            SkipLine();
        }
        for (size_t i = start; i < At; ++i) Line += Text[i] == '\n';
        if (whole && row.Fields.size() == 1 && row.Fields[0].empty()) continue;
        return true;
    }
}
