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
const char MenuRecordedCalibration[] = "Kalibrace se z\xE1znamem\x85"; // Kalibrace se záznamem…
const char MenuVerification[] = "Ov\xEC\xF8"
                                "en\xED bez se\xF8\xEDzen\xED\x85"; // Ověření bez seřízení…
const char MenuHistory[] = "Historie kalibrac\xED\x85";             // Historie kalibrací…
const char RecordedCalibrationCaption[] = "Kalibrace se z\xE1znamem"; // Kalibrace se záznamem
const char VerificationCaption[] = "Ov\xEC\xF8"
                                   "en\xED bez se\xF8\xEDzen\xED"; // Ověření bez seřízení
// Zadané hodnoty, Pufry NIST, Tabulka z lahví, Nula a vzduch, Vzduch, Nula a odběr vzorku,
// Odběr vzorku
const char* const ChoiceNames[] = {"Zadan\xE9 hodnoty", "Pufry NIST", "Tabulka z lahv\xED",
                                   "Nula a vzduch",     "Vzduch",     "Nula a odb\xECr vzorku",
                                   "Odb\xECr vzorku"};
const char UnitNumber[] = ", v\xFDrobn\xED \xE8\xEDslo "; // , výrobní číslo
const char UnitFirmware[] = ", firmware ";
const char HeldOffset[] = "Offset ";
const char HeldSensitivity[] = " mV, citlivost ";
const char HeldDate[] = ", kalibrace ";
const char NotCalibrated[] = "nekalibrov\xE1no"; // nekalibrováno
const char NotRead[] = "nep\xF8"
                       "e\xE8teno"; // nepřečteno
const char ReadyToStart[] = "Vypl\xF2te etalony a podm\xEDnky a stiskn\xECte Dal\x9A\xED.";
// Vyplňte etalony a podmínky a stiskněte Další.
const char PutProbeInto[] = "Vlo\x9Ete sondu: ";                // Vložte sondu:
const char PressNext[] = " \x96 pak stiskn\xECte Dal\x9A\xED."; // " – pak stiskněte Další."
const char PressWrite[] =
    "Stiskn\xECte Zapsat, nebo Zav\xF8\xEDt bez z\xE1pisu."; // Stiskněte Zapsat, nebo Zavřít bez
                                                             // zápisu.
const char TakeGrabValue[] = "Odeberte vzorek, zadejte jeho v\xFDsledek [mg/l] a stiskn\xECte "
                             "Dal\x9A\xED.";
// Odeberte vzorek, zadejte jeho výsledek [mg/l] a stiskněte Další.
const char Sampling[] = "M\xEC\xF8\xED se\x85 (P\xF8"
                        "eru\x9Ait ukon\xE8\xED bod bez z\xE1pisu)";
// Měří se… (Přerušit ukončí bod bez zápisu)
const char Finished[] = "Hotovo.";
const char Interrupted[] = "P\xF8"
                           "eru\x9A"
                           "eno, nic nezaps\xE1no."; // Přerušeno, nic nezapsáno.
const char NoUnit[] = "P\xF8"
                      "evodn\xEDk neodpov\xED"
                      "d\xE1.";       // Převodník neodpovídá.
const char Settled[] = "Ust\xE1leno"; // Ustáleno
const char WriteAnyway[] = "P\xF8"
                           "esto zapsat?"; // Přesto zapsat?
const char ErrorPrefix[] = "Chyba: ";
const char NotePrefix[] = "Pozn\xE1mka: ";         // Poznámka:
const char WarningPrefix[] = "Upozorn\xECn\xED: "; // Upozornění:
const char BadValue[] = "Chybn\xE1 hodnota: ";     // Chybná hodnota:
const char TableUnreadable[] = "Tabulku nelze p\xF8"
                               "e\xE8\xEDst: "; // Tabulku nelze přečíst:
// větší než 64 KiB, není to tabulka
const char TableTooLarge[] = "v\xEC"
                             "t\x9A\xED ne\x9E 64 KiB, nen\xED to tabulka";
const char RecordSaveCaption[] =
    "Kam zapisovat z\xE1znam kalibrac\xED"; // Kam zapisovat záznam kalibrací
const char RecordFilter[] = "Z\xE1znam kalibrac\xED (*.csv)\0*.csv\0V\x9A"
                            "echny soubory\0*.*\0";
// Záznam kalibrací (*.csv), Všechny soubory
const char CertificateSaveCaption[] = "Ulo\x9Eit protokol"; // Uložit protokol
const char CertificateFilter[] = "Protokol (*.html)\0*.html\0";
const char TableOpenCaption[] = "Tabulka z lahv\xED"; // Tabulka z lahví
const char TableFilter[] = "Tabulka (*.csv)\0*.csv\0V\x9A"
                           "echny soubory\0*.*\0";
const char HistoryOpenCaption[] = "Historie kalibrac\xED: z\xE1znam"; // Historie kalibrací: záznam
const char DocumentNotOpened[] = "Str\xE1nku nelze otev\xF8\xEDt v prohl\xED\x9E"
                                 "e\xE8i: ";
// Stránku nelze otevřít v prohlížeči:
const char TemperatureField[] = "teplota";
const char StandardField[] = "etalon";
const char PressureField[] = "tlak";
const char AltitudeField[] = "nadmo\xF8sk\xE1 v\xFD\x9Aka"; // nadmořská výška
const char SalinityField[] = "salinita";
const char WaterPhField[] = "pH vody";
const char CheckField[] = "kontroln\xED etalon"; // kontrolní etalon
const char ToleranceField[] = "tolerance";
const char DueDaysField[] = "dal\x9A\xED kalibrace za dn\xED"; // další kalibrace za dní
const char GrabField[] = "v\xFDsledek odb\xECru";              // výsledek odběru
} // namespace Text
