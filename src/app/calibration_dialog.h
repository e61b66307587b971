#pragma once

#include "app/dialog_targets.h"
#include "app/grey_dialog.h"
#include "app/value_fields.h"
#include "core/calibration_math.h"
#include "core/voltage_samples.h"
#include "framework/button.h"

// Calibrates the probe input against one or two standards. For each standard
// the user types its nominal value and starts the point; the probe voltage is
// then averaged over SamplesPerPoint readings, one per tick of the sampling
// timer. OK computes the probe's sensitivity and offset, writes them with
// today's date and shows the transmitter's replies in the main window.
class CalibrationDialog : public GreyDialog {
public:
    static constexpr int TemplateId = 4; // in vl4config.rc
    static constexpr int ProbeNameId = 101;
    static constexpr int VoltageId = 102;
    static constexpr int SinglePointId = 103;
    static constexpr int Standard1Id = 104;
    static constexpr int Value1Id = 105;
    static constexpr int Voltage1Id = 106;
    static constexpr int Point1Id = 107;
    static constexpr int Standard2Id = 108;
    static constexpr int Value2Id = 109;
    static constexpr int Voltage2Id = 110;
    static constexpr int Point2Id = 111;
    static constexpr int ProgressId = 112;
    static constexpr UINT_PTR SampleTimerId = 2;
    static constexpr UINT SampleIntervalMs = 300;

    // Neither the link nor the fields of targets are owned; both outlive the dialog.
    CalibrationDialog(WindowObject* parent, TransmitterLink& link,
                      const CalibrationTargets& targets);

    void Dispatch(MessageRecord& msg) override;
    void OnChildNotify(MessageRecord& msg, int childId) override;
    void Setup() override;
    void OnDestroy(MessageRecord& msg) override;
    void Ok() override;
    virtual void OnSampleTimer(MessageRecord& msg);
    // No more ticks, so nothing more is read from the transmitter.
    void StopSampling();

    ValueDisplay* ProbeNameDisplay = nullptr;
    ValueDisplay* VoltageDisplay = nullptr;
    CheckBox* SinglePointBox = nullptr;
    ValueEdit* Standard1Edit = nullptr;
    ValueDisplay* Value1Display = nullptr;
    ValueDisplay* Voltage1Display = nullptr;
    Button* Point1Button = nullptr;
    ValueEdit* Standard2Edit = nullptr;
    ValueDisplay* Value2Display = nullptr;
    ValueDisplay* Voltage2Display = nullptr;
    Button* Point2Button = nullptr;
    ProgressBar* Progress = nullptr;
    TransmitterLink& Link;
    const CalibrationTargets& Targets;
    BYTE ProbeType = 0;
    UINT_PTR TimerStarted = 0;
    VoltageSamples Samples;
    int SamplingPoint = 0; // 0 idle, else the point being sampled
    float Standard1 = 0.0f;
    float Standard2 = 0.0f;
    float Voltage1 = 0.0f;
    float Voltage2 = 0.0f;
    bool Point1Valid = false;
    bool Point2Valid = false;

protected:
    ~CalibrationDialog() override = default;

private:
    // The controls and values of one standard's row.
    struct PointRow {
        ValueEdit& StandardEdit;
        ValueDisplay& ValueField;
        ValueDisplay& VoltageField;
        Button& StartButton;
        float& Standard;
        float& Voltage;
        bool& Valid;
    };
    PointRow Row(int point);

    void UpdateSecondPointRow();
    void StartPoint(int point);
    // Ends the sampling of the current point with the mean of its samples.
    void FinishPoint();
    // Asks whether an unusual pH pair is to be written anyway.
    bool UnusualPairConfirmed(const CalibrationResult& result);
    // Answers false when any of the three writes failed.
    bool WriteCalibration(const CalibrationResult& result);
};
