// The one CSV reader and the bottle tables it reads: as vl4 writes them, as
// Excel or Notepad save them, and as a hand edit damages them.
#include "core/buffer_table.h"
#include "core/csv_reader.h"

#include <gtest/gtest.h>

namespace {

std::vector<CsvRow> All(const std::string& text) {
    CsvReader reader(text);
    std::vector<CsvRow> rows;
    for (CsvRow row; reader.Next(row);) rows.push_back(row);
    return rows;
}

using Fields = std::vector<std::string>;

TEST(CsvReader, QuotesLineEndsAndDamagedLinesEachOnTheirLine) {
    const auto rows = All("a,b\r\n"
                          "\"x, \"\"y\"\"\",\"two\r\nlines\"\r\n"
                          "\r\n"
                          "\"q\"x,2\r\n"
                          "\"open,1\r\n"
                          "last,without end");
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0].Fields, (Fields{"a", "b"}));
    EXPECT_EQ(rows[1].Fields, (Fields{"x, \"y\"", "two\r\nlines"}));
    EXPECT_EQ(rows[1].Line, 2);
    // A quote left open takes no lines after it with it.
    EXPECT_EQ(rows[2].Line, 5);
    EXPECT_EQ(rows[2].Problem, "text after a quoted field");
    EXPECT_EQ(rows[3].Line, 6);
    EXPECT_EQ(rows[3].Problem, "a quoted field is not closed");
    EXPECT_EQ(rows[4].Line, 7);
    EXPECT_TRUE(rows[4].Problem.empty());
    EXPECT_EQ(rows[4].Fields, (Fields{"last", "without end"}));
}

TEST(CsvReader, ASpreadsheetsDialectAByteOrderMarkAndAnAnsiFile) {
    CsvReader excel("\xEF\xBB\xBFteplota;4,01;\"a;b\"\r\n15;3,998;x\r\n");
    EXPECT_TRUE(excel.ByteOrderMark());
    EXPECT_EQ(excel.Separator(), ';');
    CsvRow row;
    ASSERT_TRUE(excel.Next(row));
    EXPECT_EQ(row.Fields, (Fields{"teplota", "4,01", "a;b"}));
    ASSERT_TRUE(excel.Next(row));
    EXPECT_EQ(row.Fields, (Fields{"15", "3,998", "x"}));

    // Saved by a Czech Excel as plain text: Windows-1250.
    CsvReader ansi("technician\r\nJana Nov\xE1kov\xE1\r\n");
    EXPECT_TRUE(ansi.Windows1250());
    EXPECT_EQ(ansi.Separator(), ',');
    ASSERT_TRUE(ansi.Next(row) && ansi.Next(row));
    EXPECT_EQ(row.Fields[0], "Jana Nov\xC3\xA1kov\xC3\xA1");
}

TEST(BufferTable, ABottlesTableAsTypedOrSavedByExcelAndItsFaults) {
    BufferTable table;
    int line = 0;
    std::string problem;
    const std::string typed = "temperature, 4.01, 7.00\n20, 4.00, 7.02\n25, 4.01, 7.00\n"
                              "30, 4.02, 6.99\n";
    ASSERT_TRUE(ParseBufferTable(typed, table, line, problem)) << line << ": " << problem;
    EXPECT_EQ(table.Buffers, 2);
    EXPECT_EQ(table.Rows, 3);
    const std::string excel = "\xEF\xBB\xBFtemperature;4,01;7\r\n20;4;7,02\r\n25;4,01;7\r\n"
                              "30;4,02;6,99\r\n";
    BufferTable saved;
    ASSERT_TRUE(ParseBufferTable(excel, saved, line, problem)) << line << ": " << problem;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 2; ++column)
            EXPECT_EQ(saved.Value[row][column], table.Value[row][column]);

    // Between two rows a temperature is interpolated, however close to one.
    double value = 0;
    for (double celsius : {25.05, 24.95, 25.0001, 29.999}) {
        ASSERT_TRUE(BufferValueAt(table, 0, celsius, value)) << celsius;
        EXPECT_GE(value, 4.0) << celsius;
        EXPECT_LE(value, 4.02) << celsius;
    }
    EXPECT_NEAR(value, 4.02, 1e-5);
    ASSERT_TRUE(BufferValueAt(NistBuffers, FindBuffer(NistBuffers, 9.18), 25.05, value));
    EXPECT_NEAR(value, 9.18 - 0.041 * 0.05 / 5, 1e-6);

    // A 25 °C value that does not give the column its name.
    EXPECT_FALSE(ParseBufferTable("temperature,4.01,7.00\n20,4.00,7.02\n25,4.01,7.06\n", table,
                                  line, problem));
    EXPECT_EQ(line, 3);
    EXPECT_NE(problem.find("the buffer 7 is 7.06 at 25"), std::string::npos) << problem;
    EXPECT_TRUE(ParseBufferTable("temperature,4.01,7.00\n25,4.01,7.05\n", table, line, problem))
        << problem;
    EXPECT_FALSE(ParseBufferTable("temperature,4.01\n20,4.00\n15,4.00\n", table, line, problem));
    EXPECT_EQ(line, 3);
    EXPECT_FALSE(ParseBufferTable("temperature,4.01\n\"20,4.00\n", table, line, problem));
    EXPECT_EQ(problem, "a quoted field is not closed");
}

// A Redox solution's bottle prints its potential in mV at each temperature;
// a ZoBell solution loses some 2 mV per °C.
TEST(BufferTable, ARedoxSolutionsTableInMillivolts) {
    const std::string typed = "temperature, 228, 475, -120\n"
                              "10, 261, 479, -110\n"
                              "20, 239, 476.5, -116.5\n"
                              "25, 228, 475, -120\n"
                              "30, 217, 473.5, -123.5\n";
    BufferTable table;
    int line = 0;
    std::string problem;
    ASSERT_TRUE(ParseBufferTable(typed, table, line, problem, TableUnits::Redox))
        << line << ": " << problem;
    const std::string excel = "\xEF\xBB\xBFtemperature;228;475;-120\r\n10;261;479;-110\r\n"
                              "20;239;476,5;-116,5\r\n25;228;475;-120\r\n30;217;473,5;-123,5\r\n";
    BufferTable saved;
    ASSERT_TRUE(ParseBufferTable(excel, saved, line, problem, TableUnits::Redox))
        << line << ": " << problem;
    ASSERT_EQ(saved.Rows, 4);
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(saved.Value[row][column], table.Value[row][column]) << row << " " << column;

    // A standard names a solution within 1 mV, also below zero.
    EXPECT_EQ(FindBuffer(table, 228), 0);
    EXPECT_EQ(FindBuffer(table, 228.5), 0);
    EXPECT_EQ(FindBuffer(table, 227), 0);
    EXPECT_EQ(FindBuffer(table, 229.2), -1);
    EXPECT_EQ(FindBuffer(table, 474.1f), 1);
    EXPECT_EQ(FindBuffer(table, -121), 2);
    EXPECT_EQ(FindBuffer(table, -118.9), -1);

    double value = 0;
    ASSERT_TRUE(BufferValueAt(table, FindBuffer(table, 228), 15, value));
    EXPECT_DOUBLE_EQ(value, 250);
    ASSERT_TRUE(BufferValueAt(table, FindBuffer(table, -120), 15, value));
    EXPECT_DOUBLE_EQ(value, -113.25);
    EXPECT_FALSE(BufferValueAt(table, 0, 35, value));

    // The 25 °C row gives each solution its name within 1 mV.
    EXPECT_TRUE(ParseBufferTable("temperature,228,-120\n25,229,-121\n", table, line, problem,
                                 TableUnits::Redox))
        << problem;
    EXPECT_FALSE(ParseBufferTable("temperature,228\n20,239\n25,229.5\n", table, line, problem,
                                  TableUnits::Redox));
    EXPECT_EQ(line, 3);
    EXPECT_NE(problem.find("the solution 228 is 229.5 at 25"), std::string::npos) << problem;
    EXPECT_NE(problem.find("(within 1 mV)"), std::string::npos) << problem;
    EXPECT_FALSE(
        ParseBufferTable("temperature,228\n25,2500\n", table, line, problem, TableUnits::Redox));
    EXPECT_EQ(problem, "a solution's potential must be -2000 to 2000 mV, not 2500");
    // A Redox table is no pH table.
    EXPECT_FALSE(ParseBufferTable("temperature,228\n25,228\n", table, line, problem));
    EXPECT_EQ(line, 1);
}

} // namespace
