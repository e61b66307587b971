#pragma once

class ValueDisplay;
class ValueEdit;

// The main-window fields in which a dialog shows what the transmitter answered
// to its writes. The main window builds the record on its stack for as long as
// the dialog runs; the dialog owns none of the fields.
struct ProbeTypeTargets {
    ValueDisplay& TypeDisplay;
    ValueDisplay& DateDisplay;
    ValueEdit& OffsetEdit;
    ValueEdit& SensitivityEdit;
    ValueEdit& LowerRangeEdit;
    ValueEdit& UpperRangeEdit;
};

struct CalibrationTargets {
    ValueDisplay& DateDisplay;
    ValueEdit& OffsetEdit;
    ValueEdit& SensitivityEdit;
};
