#pragma once

#include <string>
#include <vector>

// The one reader of the CSV files vl4 reads: records, bottle tables and the
// logs it appends to. RFC 4180 quoting, CRLF or LF, a byte-order mark, and a
// spreadsheet's dialect as well: `;` between the fields and decimal commas,
// as a Czech Excel saves a table, in Windows-1250 when it is not UTF-8.
// A damaged line is given with what is wrong, and the next one read after it.

struct CsvRow {
    int Line = 0; // in the file, from 1: where the row starts
    std::vector<std::string> Fields;
    std::string Problem; // not empty: the row is damaged, its fields are not to be used
};

class CsvReader {
public:
    // The separator is the first line's: ';' when it holds one, ',' otherwise.
    explicit CsvReader(const std::string& bytes);

    // The next row; false at the end. Blank lines are passed over.
    bool Next(CsvRow& row);

    bool ByteOrderMark() const { return Bom; }
    char Separator() const { return Sep; }
    // The file was no UTF-8 and was read as Windows-1250.
    bool Windows1250() const { return Ansi; }

private:
    bool Field(std::string& field, std::string& problem);
    void SkipLine();

    std::string Text;
    size_t At = 0;
    int Line = 1;
    bool Bom = false, Ansi = false;
    char Sep = ',';
};
