#pragma once

#include "app/dialog_targets.h"
#include "devlink/transmitter_link.h"
#include "framework/window.h"

#include <string>

class Button;
class CalibrationDialog;
class CheckBox;
class ComboBox;
class DampingPause;
class PortComboBox;
class ValueDisplay;
class ValueEdit;

// The tool's one window: the transmitter's facts in the top rows, the input
// parameters on the left, the live internal values on the right. Picking a
// port connects and reads everything; every change is written straight to the
// transmitter and the field then shows what the transmitter answered.
class MainWindow : public Window {
public:
    static constexpr int PortBoxId = 101;
    static constexpr int ProbeButtonId = 104;
    static constexpr int CalibrationButtonId = 105;
    static constexpr int DampingListId = 106;
    static constexpr int WriteOffsetId = 107;
    static constexpr int WriteSensitivityId = 108;
    static constexpr int WriteDepthId = 109;
    static constexpr int WriteLowerRangeId = 110;
    static constexpr int WriteUpperRangeId = 111;
    static constexpr int ReadCheckBoxId = 112;
    // The window menu's commands below its separator.
    static constexpr UINT RecordedCalibrationCommand = 0x0110;
    static constexpr UINT VerificationCommand = 0x0120;
    static constexpr UINT HistoryCommand = 0x0130;
    static constexpr UINT_PTR PollTimerId = 1;
    static constexpr UINT PollPeriodMs = 1000;
    static constexpr int OuterWidth = 485;
    static constexpr int OuterHeight = 412;
    static constexpr DWORD FixedFrameStyle =
        WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    static constexpr COLORREF Background = RGB(192, 192, 192);

    using FloatGetter = bool (TransmitterLink::*)(float&);
    using FloatSetter = bool (TransmitterLink::*)(float&);

    MainWindow(WindowObject* parent, const char* title);

    // Stops the polling timer while the native window still exists.
    void Free() override;
    void Dispatch(MessageRecord& msg) override;
    void OnChildNotify(MessageRecord& msg, int childId) override;
    void FillClass(WNDCLASSW& windowClass) override;
    void Setup() override;
    virtual void OnCtlColorStatic(MessageRecord& msg);
    void OnSysCommand(MessageRecord& msg) override;

    void Connect();
    void ReadAll();
    void ReadInternalValues();
    // Writes the picked damping; the list then shows the transmitter's reply
    // or, without one, the damping it last reported.
    void WriteDamping();
    // What "Zápis" beside edit does: writes its number with set and shows the
    // value the transmitter stored; a text that is not a number, or a write
    // without an answer, hands the field back.
    void WriteParameter(ValueEdit& edit, FloatSetter set);
    void OpenProbeDialog();
    void OpenCalibrationDialog();
    // The calibration with a record, or the verification without adjusting.
    void OpenRecordedCalibration(bool verify);
    // The history of a record file, as a page in the browser.
    void ShowHistory();
    void TogglePolling();
    // Before a fatal error's box: the timers stop and a calibration's damping
    // is put back.
    void OnFatalError();

    PortComboBox* PortBox = nullptr;
    ValueDisplay* DeviceDisplay = nullptr;
    ValueDisplay* FirmwareDisplay = nullptr;
    ValueDisplay* ProductionNumberDisplay = nullptr;
    ValueDisplay* OutputDisplay = nullptr;
    ValueDisplay* TypeDisplay = nullptr;
    ValueDisplay* DateDisplay = nullptr;
    ComboBox* DampingList = nullptr;
    ValueEdit* OffsetEdit = nullptr;
    ValueEdit* SensitivityEdit = nullptr;
    ValueEdit* DepthEdit = nullptr;
    ValueEdit* LowerRangeEdit = nullptr;
    ValueEdit* UpperRangeEdit = nullptr;
    ValueDisplay* ProbeVoltageDisplay = nullptr;
    ValueDisplay* MeasuredValueDisplay = nullptr;
    ValueDisplay* RatioDisplay = nullptr;
    CheckBox* ReadCheckBox = nullptr;
    TransmitterLink* Link = nullptr;
    UINT_PTR PollTimer = 0;
    bool CalibrationRunning = false;
    // The damping the transmitter last reported (read or a write's reply),
    // -1 while it is not known.
    int ReportedDamping = -1;
    // While the calibration dialog runs: the dialog and its damping pause.
    CalibrationDialog* RunningCalibration = nullptr;
    DampingPause* CalibrationPause = nullptr;
    // The transmitter connected now: its port and identification (empty
    // while none is), and the record file of this run's calibrations.
    std::string ConnectedPort;
    std::string ConnectedIdentification;
    std::string RecordPath;

protected:
    // Runs after the children are gone: nothing can use the link any more.
    ~MainWindow() override;

private:
    void BuildTopRows();
    void BuildInputGroup();
    void BuildInternalValuesGroup();
    ValueDisplay* AddFactRow(const char* label, int y);
    ValueEdit* AddParameterRow(const char* label, int row, int decimals, int writeId);
    ValueDisplay* AddInternalValueRow(const char* label, int y, int decimals);

    void ClearIdentity();
    void BuildSystemMenu();
    // Calibrations need a transmitter: greyed while none is connected.
    void UpdateSystemMenu();
    template <class Field> void ShowRead(FloatGetter get, Field& field);
    void ShowLive(FloatGetter get, ValueDisplay& field, float factor = 1.0f);
    void StopPolling();
    // A damping read that succeeds updates ReportedDamping.
    bool ReadDamping(BYTE& damping);
    // A write of the pause that got a reply tells what the transmitter holds.
    void NotePauseWrite(const DampingPause& pause);
    // A damping beyond the list (or -1) selects nothing.
    void ShowDamping(int damping);
    void RestoreDamping(DampingPause& pause);
    // The field focused with its text selected, and a beep: the transmitter
    // did not take what it holds.
    void HandBack(ValueEdit& edit);
    void ShowError(const char* text, const char* caption);
    void ShowUtf8Error(const std::string& text);
};
