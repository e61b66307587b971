#include "core/buffer_table.h"

#include <cmath>

const BufferTable NistBuffers = {
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

int FindBuffer(const BufferTable& table, double nominal) {
    int best = -1;
    for (int i = 0; i < table.Buffers; ++i) {
        const double distance = std::fabs(table.Nominal[i] - nominal);
        // A hair beyond the tolerance in the decimal text is still within it.
        if (distance <= BufferNameTolerance + 1e-9 &&
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
