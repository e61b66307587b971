#pragma once

#include "calibration/calibration_record.h"

#include <string>

// The calibration certificate the technician hands the plant: one page for
// people (html_document) that says which unit at which measuring point was
// calibrated by whom, with which buffers at which temperature, how stable
// each point was, what the transmitter held before and holds now, what the
// electrode's slope and offset say of it, the check and the due date.
//
// It is made from the calibration's record line alone, so that the page
// printed at the calibration and one made again later from the record are
// the same. A refused or declined calibration is marked NOT CALIBRATED, one
// whose writes were not all confirmed NOT CONFIRMED, a failed check CHECK
// FAILED and one cut short CHECK NOT COMPLETED.
std::string CalibrationCertificate(const CalibrationRecord& record);
