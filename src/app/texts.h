#pragma once

// The texts the tool shows, as Windows-1250 bytes; the framework hands them to
// the system as UTF-16.
namespace Text {
extern const char AppName[];
extern const char PortLabel[];
extern const char DeviceLabel[];
extern const char FirmwareLabel[];
extern const char ProductionNumberLabel[];
extern const char OutputLabel[];
extern const char ProbeLabel[];
extern const char CalibrationLabel[];
extern const char MoreButton[];
extern const char InputGroup[];
extern const char DampingLabel[];
extern const char OffsetLabel[];
extern const char SensitivityLabel[];
extern const char DepthLabel[];
extern const char LowerRangeLabel[];
extern const char UpperRangeLabel[];
extern const char WriteButton[];
extern const char InternalValuesGroup[];
extern const char ProbeVoltageLabel[];
extern const char MeasuredValueLabel[];
extern const char RatioLabel[];
extern const char ReadCheckBox[];
extern const char IncompatibleDevice[];
extern const char ProbeDialogCaption[];
extern const char CalibrationDialogCaption[];
extern const char BadStandard[];
extern const char BadCalibrationPoints[];
// The question before an unusual pH calibration is written, in pieces
// around its two numbers: "Strmost sondy: N % jmenovité, posun: M mV." and
// "Hodnoty jsou mimo obvyklý rozsah. Přesto zapsat?" on a second line.
extern const char UnusualSlopeLead[];
extern const char UnusualOffsetLead[];
extern const char UnusualCalibrationTail[];
} // namespace Text
