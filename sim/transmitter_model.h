#pragma once

#include "devlink/command_numbers.h"
#include "devlink/probe_defaults.h"
#include "sim/fault_plan.h"
#include "sim/request_parser.h"
#include "sim/simulated_probe.h"

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

// What the transmitter keeps in its memory.
struct TransmitterValues {
    static constexpr uint8_t MaxDamping = 30;
    static constexpr uint8_t MaxProbeType = ProbeOxygen;
    static constexpr float MinDepth = 0.0f;

    uint8_t Ident[8] = {'V', 'L', '4'};
    uint16_t FirmwareVersion = 0x0102;
    int32_t ProductionNumber = 2403117;
    uint8_t OutputWiring = 0;
    uint8_t ProbeType = ProbePH;
    uint8_t Damping = 5;
    uint32_t CalibrationDate = 0x20240315; // BCD, read as hex: 2024-03-15
    // Set up for a pH probe, as the tool's probe type change leaves it.
    float LowerRange = ProbeDefaults[ProbePH].LowerRange;
    float UpperRange = ProbeDefaults[ProbePH].UpperRange;
    float Offset = ProbeDefaults[ProbePH].Offset;
    float Sensitivity = ProbeDefaults[ProbePH].Sensitivity;
    float Depth = 1.0f;
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

    // The live values, each derived from the one before: the probe voltage now,
    // with noise unless asked without.
    float ProbeVoltage(bool withNoise = true);
    float MeasuredValue(float voltage) const;
    float Ratio(float measured) const;
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
