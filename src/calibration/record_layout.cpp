#include "calibration/record_layout.h"

#include "core/machine_text.h"

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
    "version",
    "temperature_given",
    "settle_rule",
    "max_drift_mv_min",
    "max_spread_mv",
    "buffers",
    "slope_source",
    "check_tolerance",
    "standard_1_kind",
    "standard_2_kind",
    "check_kind",
    "pressure_hpa",
    "salinity_g_kg",
    "sample_ph",
    "hocl_percent",
    "grab_delay_s",
    "readings_1_mv",
    "readings_2_mv",
    "check_readings_mv",
};

bool KnownOutcome(const std::string& outcome) {
    for (const char* known : {OutcomeWritten, OutcomeRefused, OutcomeDeclined, OutcomeFailed,
                              OutcomeUndo, OutcomeUndoFailed, OutcomeVerified, OutcomeVerifyFailed})
        if (outcome == known) return true;
    return false;
}

std::string RecordHeader() {
    return RecordLineText(
        std::vector<std::string>(RecordColumnNames, RecordColumnNames + RecordColumnCount));
}

std::string RecordLineText(const std::vector<std::string>& fields) {
    return CsvLine(fields, "\r\n");
}
