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
// The calibration with a record, from the window menu.
extern const char MenuRecordedCalibration[];
extern const char MenuVerification[];
extern const char MenuHistory[];
extern const char RecordedCalibrationCaption[];
extern const char VerificationCaption[];
// The choices of standards, in the order of StandardChoice.
extern const char* const ChoiceNames[];
// What the transmitter holds: "Offset 1,234 mV, citlivost -59,160, kalibrace 8. 12. 2026".
extern const char HeldOffset[];
extern const char HeldSensitivity[];
extern const char HeldDate[];
extern const char NotCalibrated[];
extern const char NotRead[];
// The unit: "VL4, výrobní číslo 2403117, firmware 1.02".
extern const char UnitNumber[];
extern const char UnitFirmware[];
// What the person does next.
extern const char ReadyToStart[];
extern const char PutProbeInto[]; // followed by the standard
extern const char PressNext[];
extern const char PressWrite[];
extern const char TakeGrabValue[];
extern const char Sampling[];
extern const char Finished[];
extern const char Interrupted[];
extern const char NoUnit[];
extern const char Settled[];
extern const char WriteAnyway[];
extern const char ErrorPrefix[];
extern const char NotePrefix[];
extern const char WarningPrefix[];
extern const char BadValue[]; // followed by the field's name
extern const char TableUnreadable[];
extern const char TableTooLarge[];
// The system's file dialogs: their captions and filters.
extern const char RecordSaveCaption[];
extern const char RecordFilter[];
extern const char CertificateSaveCaption[];
extern const char CertificateFilter[];
extern const char TableOpenCaption[];
extern const char TableFilter[];
extern const char HistoryOpenCaption[];
extern const char DocumentNotOpened[];
// Field names for BadValue.
extern const char TemperatureField[];
extern const char StandardField[];
extern const char PressureField[];
extern const char AltitudeField[];
extern const char SalinityField[];
extern const char WaterPhField[];
extern const char CheckField[];
extern const char ToleranceField[];
extern const char DueDaysField[];
extern const char GrabField[];
} // namespace Text
