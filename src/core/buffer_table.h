#pragma once

#include <string>

// Standard buffers and their values at the solution's temperature: a pH
// buffer's value moves with it (a 9.18 borax buffer is 9.276 at 15 °C), and
// a calibration at the wrong value costs slope.

struct BufferTable {
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

// The column of the buffer the value names, -1 when none is within the tolerance.
int FindBuffer(const BufferTable& table, double nominal);

// The buffer's value at the temperature, linear between the rows; false
// outside the table's temperatures.
bool BufferValueAt(const BufferTable& table, int column, double celsius, double& value);

// Whether the rows rise in temperature, as BufferValueAt needs them.
bool RowsInOrder(const BufferTable& table);

// The temperatures a solution's table and a calibration may name, °C.
constexpr double LowestSolutionCelsius = -5.0, HighestSolutionCelsius = 100.0;
// How far a table's 25 °C value may lie from the value its header names.
constexpr double TableNominalTolerance = 0.05;

// A buffer table as the technician's bottles print it: CSV (also as a
// spreadsheet saves it, with ';' and decimal commas), a header "temperature"
// and each buffer's nominal value, then one row per temperature, rising.
// False, with the line and what is wrong there, for anything else: a value
// that is no pH, a 25 °C row that does not give each buffer its name.
bool ParseBufferTable(const std::string& bytes, BufferTable& table, int& line,
                      std::string& problem);
