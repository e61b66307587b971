#include "cli/calibration_record.h"

#include "cli/machine_text.h"
#include "core/english_names.h"
#include "devlink/probe_defaults.h"

#include <vector>

bool CalibrationRecord::IsPh() const {
    return CalibrationLaw(ProbeType) == ProbePH;
}

bool CalibrationRecord::CheckProbe() const {
    return IsPh() && !PhWithin(Computed, HealthyPhLimits);
}

bool CalibrationRecord::Unstable(int point) const {
    return point < Points && Samples[point].StandardDeviation() > UnstableSpreadMv;
}

std::string CalibrationRecord::Health() const {
    std::string health = CheckProbe() ? "check probe" : "";
    for (int point = 0; point < Points; ++point)
        if (Unstable(point))
            health += (health.empty() ? "" : "; ") + std::string("point ") +
                      IntegerText(point + 1) + " unstable";
    return health.empty() ? "ok" : health;
}

std::string CalibrationRecordHeader() {
    return "time,port,identification,production_number,probe,standard_1,standard_2,"
           "voltage_1_mv,voltage_2_mv,stddev_1_mv,stddev_2_mv,readings_1,readings_2,"
           "offset_computed,sensitivity_computed,offset_returned,sensitivity_returned,"
           "slope_percent,offset_ph7_mv,health\n";
}

std::string CalibrationRecordLine(const CalibrationRecord& r) {
    std::vector<std::string> fields = {r.Time, r.Port, r.Identification,
                                       IntegerText(r.ProductionNumber),
                                       ProbeTypeEnglishName(r.ProbeType)};
    const bool two = r.Points == 2;
    fields.push_back(ExactText(r.Standards[0]));
    fields.push_back(two ? ExactText(r.Standards[1]) : "");
    fields.push_back(ExactText(r.Samples[0].Mean()));
    fields.push_back(two ? ExactText(r.Samples[1].Mean()) : "");
    fields.push_back(FixedText(r.Samples[0].StandardDeviation(), 3));
    fields.push_back(two ? FixedText(r.Samples[1].StandardDeviation(), 3) : "");
    fields.push_back(IntegerText(r.Samples[0].Count()));
    fields.push_back(two ? IntegerText(r.Samples[1].Count()) : "");
    fields.push_back(ExactText(r.Computed.Offset));
    fields.push_back(ExactText(r.Computed.Sensitivity));
    fields.push_back(r.OffsetReturned ? ExactText(r.Returned.Offset) : "");
    fields.push_back(r.SensitivityReturned ? ExactText(r.Returned.Sensitivity) : "");
    // The offset of the pH pair is the voltage at pH 7.
    fields.push_back(r.IsPh() ? FixedText(PhSlopePercent(r.Computed.Sensitivity), 1) : "");
    fields.push_back(r.IsPh() ? ExactText(r.Computed.Offset) : "");
    fields.push_back(r.Health());
    return CsvLine(fields);
}
