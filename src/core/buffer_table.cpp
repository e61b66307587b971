#include "core/buffer_table.h"

#include "core/csv_reader.h"
#include "core/language.h"
#include "core/machine_text.h"
#include "core/number_text.h"

#include <cmath>

const BufferTable NistBuffers = {
    TableUnits::Ph,
    6,
    {1.679, 4.005, 6.865, 7.413, 9.180, 10.012},
    11,
    {0, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50},
    {
        {1.666, 4.000, 6.984, 7.534, 9.464, 10.317},
        {1.668, 3.998, 6.951, 7.500, 9.395, 10.245},
        {1.670, 3.997, 6.923, 7.472, 9.332, 10.179},
        {1.672, 3.998, 6.900, 7.448, 9.276, 10.118},
        {1.675, 4.001, 6.881, 7.429, 9.225, 10.062},
        {1.679, 4.005, 6.865, 7.413, 9.180, 10.012},
        {1.683, 4.011, 6.853, 7.400, 9.139, 9.966},
        {1.688, 4.018, 6.844, 7.389, 9.102, 9.925},
        {1.694, 4.027, 6.838, 7.380, 9.068, 9.889},
        {1.700, 4.038, 6.834, 7.373, 9.038, 9.857},
        {1.707, 4.050, 6.833, 7.367, 9.010, 9.828},
    },
};

namespace {

// A Redox solution's potential is printed in whole mV or tenths, against the
// same reference electrode as the probe's.
constexpr double LowestRedoxMv = -2000, HighestRedoxMv = 2000, RedoxToleranceMv = 1;

const TableRules Rules[] = {
    {0, 14, BufferNameTolerance, TableNominalTolerance},
    {LowestRedoxMv, HighestRedoxMv, RedoxToleranceMv, RedoxToleranceMv},
};

// How the units are named in a table's problems, and how far beyond a
// tolerance a value may lie that was a float or a decimal text: a hair,
// still within it.
// Each a whole sentence for each kind, for the catalog.
struct UnitsWords {
    const char* Header;     // no {N}
    const char* TooMany;    // no {N}
    const char* BadNominal; // {0}: the field
    const char* BadValue;   // {0}: the field
    const char* NotNamed;   // {0} nominal, {1} value, {2} tolerance
    const char* Empty;      // no {N}
    double NameHair, NominalHair;
};

const UnitsWords Words[] = {
    {N_("the header must be temperature and each buffer's nominal value"),
     N_("more than 16 buffers"), N_("a buffer's nominal value must be a pH 0 to 14, not {0}"),
     N_("a buffer's value must be a pH 0 to 14, not {0}"),
     N_("the buffer {0} is {1} at 25 \xC2\xB0"
        "C in this row; its value at 25 \xC2\xB0"
        "C names it (within {2})"),
     N_("empty: not a buffer table"), 1e-9, 1e-6},
    // A float of 2000 mV is good to some 1e-4 mV.
    {N_("the header must be temperature and each solution's nominal potential"),
     N_("more than 16 solutions"),
     N_("a solution's nominal potential must be -2000 to 2000 mV, not {0}"),
     N_("a solution's potential must be -2000 to 2000 mV, not {0}"),
     N_("the solution {0} is {1} at 25 \xC2\xB0"
        "C in this row; its potential at 25 \xC2\xB0"
        "C names it (within {2} mV)"),
     N_("empty: not a solution table"), 1e-3, 1e-3},
};

const UnitsWords& WordsOf(TableUnits units) {
    return Words[static_cast<int>(units)];
}

} // namespace

const TableRules& RulesOf(TableUnits units) {
    return Rules[static_cast<int>(units)];
}

int FindBuffer(const BufferTable& table, double nominal) {
    const double tolerance = RulesOf(table.Units).NameTolerance + WordsOf(table.Units).NameHair;
    int best = -1;
    for (int i = 0; i < table.Buffers; ++i) {
        const double distance = std::fabs(table.Nominal[i] - nominal);
        // A hair beyond the tolerance in the decimal text is still within it.
        if (distance <= tolerance &&
            (best < 0 || distance < std::fabs(table.Nominal[best] - nominal)))
            best = i;
    }
    return best;
}

bool BufferValueAt(const BufferTable& table, int column, double celsius, double& value) {
    if (column < 0 || column >= table.Buffers || table.Rows < 1) return false;
    if (!(celsius >= table.Celsius[0] && celsius <= table.Celsius[table.Rows - 1])) return false;
    int row = 0;
    while (row + 1 < table.Rows && table.Celsius[row + 1] < celsius) ++row;
    if (row + 1 >= table.Rows || table.Celsius[row] == celsius) {
        value = table.Value[row][column];
        return true;
    }
    const double t0 = table.Celsius[row], t1 = table.Celsius[row + 1];
    const double v0 = table.Value[row][column], v1 = table.Value[row + 1][column];
    value = v0 + (v1 - v0) * (celsius - t0) / (t1 - t0);
    return true;
}

bool RowsInOrder(const BufferTable& table) {
    for (int row = 1; row < table.Rows; ++row)
        if (!(table.Celsius[row] > table.Celsius[row - 1])) return false;
    return true;
}

namespace {

// A bottle table typed by hand may have spaces around its numbers.
void Trim(std::vector<std::string>& fields) {
    for (std::string& field : fields) {
        const size_t first = field.find_first_not_of(" \t");
        const size_t last = field.find_last_not_of(" \t\r");
        field = first == std::string::npos ? "" : field.substr(first, last + 1 - first);
    }
}

bool Fail(std::string& problem, const std::string& what) {
    problem = what;
    return false;
}

bool ReadHeader(const CsvRow& row, BufferTable& table, std::string& problem) {
    const TableRules& rules = RulesOf(table.Units);
    const UnitsWords& words = WordsOf(table.Units);
    if (row.Fields[0] != "temperature" || row.Fields.size() < 2)
        return Fail(problem, Translated(words.Header));
    if (row.Fields.size() - 1 > static_cast<size_t>(BufferTable::MaxBuffers))
        return Fail(problem, Translated(words.TooMany));
    for (size_t i = 1; i < row.Fields.size(); ++i) {
        double nominal;
        if (!ParseNumberIn(row.Fields[i], rules.Lowest, rules.Highest, nominal))
            return Fail(problem, Format(Translated(words.BadNominal), {row.Fields[i]}));
        table.Nominal[table.Buffers++] = nominal;
    }
    return true;
}

bool ReadRow(const CsvRow& row, BufferTable& table, std::string& problem) {
    if (row.Fields.size() != static_cast<size_t>(table.Buffers) + 1)
        return Fail(problem, Format(Q_("{0} field instead of {1}", "{0} fields instead of {1}",
                                       static_cast<long>(row.Fields.size())),
                                    {IntegerText(static_cast<int32_t>(row.Fields.size())),
                                     IntegerText(table.Buffers + 1)}));
    if (table.Rows == BufferTable::MaxRows) return Fail(problem, _("more than 64 temperatures"));
    double& celsius = table.Celsius[table.Rows];
    if (!ParseNumberIn(row.Fields[0], LowestSolutionCelsius, HighestSolutionCelsius, celsius))
        return Fail(problem, Format(_("a temperature must be -5 to 100 \xC2\xB0"
                                      "C, not {0}"),
                                    {row.Fields[0]}));
    const TableRules& rules = RulesOf(table.Units);
    const UnitsWords& words = WordsOf(table.Units);
    double* values = table.Value[table.Rows];
    for (int i = 0; i < table.Buffers; ++i)
        if (!ParseNumberIn(row.Fields[i + 1], rules.Lowest, rules.Highest, values[i]))
            return Fail(problem, Format(Translated(words.BadValue), {row.Fields[i + 1]}));
    ++table.Rows;
    if (!RowsInOrder(table)) return Fail(problem, _("the temperatures must rise from row to row"));
    // A bottle's buffer is named by its value at 25 °C: a column that says
    // otherwise belongs to another buffer or was typed wrong.
    if (celsius != 25.0) return true;
    for (int i = 0; i < table.Buffers; ++i)
        // The values were floats: a hair beyond the tolerance is within it.
        if (std::fabs(values[i] - table.Nominal[i]) > rules.NominalTolerance + words.NominalHair)
            return Fail(
                problem,
                Format(Translated(words.NotNamed),
                       {PersonNumber(ExactText(static_cast<float>(table.Nominal[i]))),
                        PersonNumber(ExactText(static_cast<float>(values[i]))),
                        PersonNumber(ExactText(static_cast<float>(rules.NominalTolerance)))}));
    return true;
}

} // namespace

bool ParseBufferTable(const std::string& bytes, BufferTable& table, int& line, std::string& problem,
                      TableUnits units) {
    table = BufferTable();
    table.Units = units;
    CsvReader reader(bytes);
    CsvRow row;
    bool header = true;
    while (reader.Next(row)) {
        line = row.Line;
        if (!row.Problem.empty()) return Fail(problem, row.Problem);
        Trim(row.Fields);
        if (header ? !ReadHeader(row, table, problem) : !ReadRow(row, table, problem)) return false;
        header = false;
    }
    line = 1;
    if (header) return Fail(problem, Translated(WordsOf(units).Empty));
    if (table.Rows == 0) return Fail(problem, _("no temperatures"));
    line = 0;
    return true;
}

bool ParseSolutionTable(const std::string& bytes, BufferTable& table, int& line,
                        std::string& problem) {
    return ParseBufferTable(bytes, table, line, problem, TableUnits::Ph) ||
           (line == 1 && ParseBufferTable(bytes, table, line, problem, TableUnits::Redox));
}
