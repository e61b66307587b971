#pragma once

// A calibration record's lines as the text of their fields, read by the one
// CSV reader, for tests to compare with what was written.
#include "calibration/record_layout.h"
#include "core/csv_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

struct RecordRowText {
    int Line = 0;
    std::vector<std::string> Fields; // RecordColumnCount of them
    const std::string& operator[](RecordColumn column) const { return Fields[column]; }
};

// The lines after the header, which must be this layout's; none for no text.
inline std::vector<RecordRowText> RecordRowsOf(const std::string& bytes) {
    std::vector<RecordRowText> rows;
    CsvReader reader(bytes);
    CsvRow row;
    if (!reader.Next(row)) return rows;
    EXPECT_EQ(row.Fields.size(), static_cast<size_t>(RecordColumnCount)) << "the header";
    while (reader.Next(row)) {
        EXPECT_EQ(row.Problem, "") << "line " << row.Line;
        EXPECT_EQ(row.Fields.size(), static_cast<size_t>(RecordColumnCount)) << "line " << row.Line;
        row.Fields.resize(RecordColumnCount);
        rows.push_back({row.Line, row.Fields});
    }
    return rows;
}

// One CSV line's fields.
inline std::vector<std::string> CsvFields(const std::string& line) {
    CsvReader reader(line);
    CsvRow row;
    return reader.Next(row) ? row.Fields : std::vector<std::string>();
}
