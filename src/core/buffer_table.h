#pragma once

#include <string>

// Standard buffers and their values at the solution's temperature: a pH
// buffer's value moves with it (a 9.18 borax buffer is 9.276 at 15 °C), and
// a calibration at the wrong value costs slope. A Redox solution's potential
// moves too (a ZoBell solution's by some 2 mV per °C), so its bottle prints
// a table of the same kind, in mV.

// What a table's values are: pH buffers, or Redox solutions in mV.
enum class TableUnits { Ph, Redox };

struct BufferTable {
    TableUnits Units = TableUnits::Ph;
    static constexpr int MaxBuffers = 16;
    static constexpr int MaxRows = 64;
    int Buffers = 0;
    double Nominal[MaxBuffers] = {}; // each buffer's name: its value at 25 °C
    int Rows = 0;
    double Celsius[MaxRows] = {}; // rising
    double Value[MaxRows][MaxBuffers] = {};
};

// The six standard buffers of the usual table, 0 to 50 °C in steps of 5.
extern const BufferTable NistBuffers;

// How far a given standard may be from a buffer's nominal value and still name it.
constexpr double BufferNameTolerance = 0.02;
// How far a table's 25 °C value may lie from the value its header names.
constexpr double TableNominalTolerance = 0.05;

// What a table of the units holds and how closely a name must fit it.
struct TableRules {
    double Lowest, Highest;  // a value's range, the names' too
    double NameTolerance;    // a standard names a column within it
    double NominalTolerance; // a 25 °C row gives each column its name within it
};
const TableRules& RulesOf(TableUnits units);

// The column of the buffer the value names, -1 when none is within the
// tolerance of the table's units.
int FindBuffer(const BufferTable& table, double nominal);

// The buffer's value at the temperature, linear between the rows; false
// outside the table's temperatures.
bool BufferValueAt(const BufferTable& table, int column, double celsius, double& value);

// Whether the rows rise in temperature, as BufferValueAt needs them.
bool RowsInOrder(const BufferTable& table);

// The temperatures a solution's table and a calibration may name, °C.
constexpr double LowestSolutionCelsius = -5.0, HighestSolutionCelsius = 100.0;

// A buffer table as the technician's bottles print it: CSV (also as a
// spreadsheet saves it, with ';' and decimal commas), a header "temperature"
// and each buffer's nominal value, then one row per temperature, rising.
// False, with the line and what is wrong there, for anything else: a value
// outside the units' range, a 25 °C row that does not give each buffer its
// name. A Redox table names each solution by its potential at 25 °C in mV.
bool ParseBufferTable(const std::string& bytes, BufferTable& table, int& line, std::string& problem,
                      TableUnits units = TableUnits::Ph);

// A bottle's table is a few lines; anything larger is not one.
constexpr size_t MaxBufferTableSize = 64 * 1024;

// A bottle's table of either units: pH buffers, or Redox solutions when its
// header names no pH buffers (a pH is 0 to 14). False as ParseBufferTable.
bool ParseSolutionTable(const std::string& bytes, BufferTable& table, int& line,
                        std::string& problem);
