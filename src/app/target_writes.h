#pragma once

#include "app/value_fields.h"
#include "devlink/transmitter_link.h"

// The calibration dialog's writes: one transaction each, and on success the
// main-window field shows the value of the transmitter's reply, never the one
// sent. A failed write leaves the field as it was. Each answers the write's
// success.

using FloatSetter = bool (TransmitterLink::*)(float&);

bool WriteAndShow(TransmitterLink& link, FloatSetter setter, float value, ValueEdit& field);
bool WriteAndShow(TransmitterLink& link, CalibrationDate date, ValueDisplay& field);

// The transmitter's date value 0xYYYYMMDD as the record it travels in.
CalibrationDate CalibrationDateOf(uint32_t bcdDate);
