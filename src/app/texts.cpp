#include "app/texts.h"

namespace Text {
const char AppName[] = "VL4 config";
const char PortLabel[] = "Port:";
const char DeviceLabel[] = "P\xF8"
                           "evodn\xEDk:"; // Převodník:
const char FirmwareLabel[] = "Firmware:";
const char ProductionNumberLabel[] = "V\xFDrobn\xED \xE8\xEDslo:"; // Výrobní číslo:
const char OutputLabel[] = "V\xFDstup:";                           // Výstup:
const char ProbeLabel[] = "Sonda:";
const char CalibrationLabel[] = "Kalibrace:";
const char MoreButton[] = "...";
const char InputGroup[] = "Vstup:";
const char DampingLabel[] = "Tlumen\xED:"; // Tlumení:
const char OffsetLabel[] = "Offset:";
const char SensitivityLabel[] = "Citlivost:";
const char DepthLabel[] = "Hloubka:";
const char LowerRangeLabel[] = "Min:";
const char UpperRangeLabel[] = "Max:";
const char WriteButton[] = "Z\xE1pis";                    // Zápis
const char InternalValuesGroup[] = "Intern\xED hodnoty:"; // Interní hodnoty:
const char ProbeVoltageLabel[] = "Nap\xECt\xED [mV]:";    // Napětí [mV]:
const char MeasuredValueLabel[] = "Hodnota:";
const char RatioLabel[] = "Ratio [%]:";
const char ReadCheckBox[] = "\xC8\xEDst"; // Číst
// Převodník není kompatibilní s tímto nástrojem.
const char IncompatibleDevice[] = "P\xF8"
                                  "evodn\xEDk nen\xED kompatibiln\xED s t\xEDmto n\xE1strojem.";
const char ProbeDialogCaption[] = "Sonda";
const char CalibrationDialogCaption[] = "Kalibrace";
const char BadStandard[] = "Chyba";
const char BadCalibrationPoints[] = "Chyba kalibra\xE8n\xED"
                                    "ch bod\xF9."; // Chyba kalibračních bodů.
const char UnusualSlopeLead[] = "Strmost sondy: ";
const char UnusualOffsetLead[] = " % jmenovit\xE9, posun: "; // " % jmenovité, posun: "
// " mV." and on the next line "Hodnoty jsou mimo obvyklý rozsah. Přesto zapsat?"
const char UnusualCalibrationTail[] = " mV.\nHodnoty jsou mimo obvykl\xFD rozsah. P\xF8"
                                      "esto zapsat?";
} // namespace Text
