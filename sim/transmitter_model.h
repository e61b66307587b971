#pragma once

#include "sim/fault_plan.h"
#include "sim/request_parser.h"

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

// Command numbers the transmitter answers.
enum TransmitterCommand : uint8_t {
    CmdIdent = 0x21,
    CmdFirmwareVersion = 0x22,
    CmdProductionNumber = 0x23,
    CmdProbeVoltage = 0x24,
    CmdMeasuredValue = 0x25,
    CmdRatio = 0x26,
    CmdOutputWiring = 0x2A,
    CmdProbeType = 0x2B,
    CmdDamping = 0x2C,
    CmdCalibrationDate = 0x2D,
    CmdLowerRange = 0x2E,
    CmdUpperRange = 0x2F,
    CmdOffset = 0x30,
    CmdSensitivity = 0x31,
    CmdDepth = 0x32,
};

enum SimProbeType : uint8_t { ProbePh = 0, ProbeRedox = 1, ProbeChlorine = 2, ProbeOxygen = 3 };

// What the transmitter keeps in its memory.
struct TransmitterValues {
    static constexpr uint8_t MaxDamping = 30;
    static constexpr uint8_t MaxProbeType = ProbeOxygen;

    uint8_t Ident[8] = {'V', 'L', '4'};
    uint16_t FirmwareVersion = 0x0102;
    int32_t ProductionNumber = 2403117;
    uint8_t OutputWiring = 0;
    uint8_t ProbeType = ProbePh;
    uint8_t Damping = 5;
    uint32_t CalibrationDate = 0x20240315; // BCD, read as hex: 2024-03-15
    float LowerRange = 0.0f;
    float UpperRange = 14.0f;
    float Offset = 0.0f;
    float Sensitivity = -59.16f;
    float Depth = 1.0f;
};

// The probe on the transmitter's input and the solution it stands in. The
// electrode has its own offset and slope, which a calibration finds out; by
// default its slope is the nominal one of the probe type configured.
struct SimulatedProbe {
    float Solution = 7.0f; // N, in the probe type's unit
    bool Pinned = false;   // the voltage is set directly, not from the solution
    float PinnedVoltage = 0.0f;
    float NoiseMv = 0.0f; // amplitude of uniform noise on each voltage reading
    float Offset = 0.0f;  // mV
    bool OwnSensitivity = false;
    float Sensitivity = 0.0f;
};

// A simulated VL4 transmitter: fed the bytes the PC sends, it answers as the
// device would, with the faults armed in Faults applied to its replies.
class TransmitterModel {
public:
    TransmitterValues Values;
    SimulatedProbe Probe;
    FaultPlan Faults;
    unsigned Requests = 0; // well-formed request frames received
    // One line per request frame, reply and skipped run of bytes.
    std::function<void(const std::string&)> Log;

    std::vector<SimReply> Receive(const uint8_t* data, size_t n);
    std::vector<SimReply> Receive(const Bytes& bytes) {
        return Receive(bytes.data(), bytes.size());
    }
    // A pause on the line ends any frame under way.
    std::vector<SimReply> LineIdle();
    size_t BytesWanted() const { return Parser.BytesWanted(); }
    bool BetweenFrames() const { return Parser.BetweenFrames(); }

    // The live values, each derived from the one before.
    float ProbeVoltage(bool withNoise = true);
    float MeasuredValue(float voltage) const;
    float Ratio(float measured) const;
    float ElectrodeSensitivity() const;
    void Seed(uint32_t seed);

    // Size of the command's value, 0 for a command the transmitter lacks.
    static size_t ValueSize(uint8_t command);
    static bool Writable(uint8_t command);

private:
    void Handle(const RequestParser::Event& event, std::vector<SimReply>& replies);
    // Null when answered; otherwise why the request goes unanswered.
    const char* Execute(uint8_t command, const Bytes& data, Bytes& value);
    Bytes ReadValue(uint8_t command);
    const char* WriteValue(uint8_t command, const Bytes& data);
    void Emit(const std::string& line);

    RequestParser Parser;
    std::minstd_rand Noise;
};
