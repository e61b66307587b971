#include "sim/transmitter_model.h"

#include <cmath>

namespace {

float TransmitterValues::*FloatField(uint8_t command) {
    switch (command) {
    case CmdLowerRange:
        return &TransmitterValues::LowerRange;
    case CmdUpperRange:
        return &TransmitterValues::UpperRange;
    case CmdOffset:
        return &TransmitterValues::Offset;
    case CmdSensitivity:
        return &TransmitterValues::Sensitivity;
    case CmdDepth:
        return &TransmitterValues::Depth;
    default:
        return nullptr;
    }
}

std::string Noted(std::string line, const std::string& note) {
    return note.empty() ? line : line + "  [" + note + "]";
}

} // namespace

size_t TransmitterModel::ValueSize(uint8_t command) {
    switch (command) {
    case CmdIdentify:
        return 8;
    case CmdFirmwareVersion:
        return 2;
    case CmdOutputWiring:
    case CmdProbeType:
    case CmdDamping:
        return 1;
    case CmdProductionNumber:
    case CmdProbeVoltage:
    case CmdMeasuredValue:
    case CmdRatio:
    case CmdCalibrationDate:
        return 4;
    default:
        return FloatField(command) ? 4 : 0;
    }
}

bool TransmitterModel::Writable(uint8_t command) {
    return command >= CmdProbeType && command <= CmdDepth;
}

std::vector<SimReply> TransmitterModel::Receive(const uint8_t* data, size_t n) {
    Parser.Push(data, n);
    std::vector<SimReply> replies;
    RequestParser::Event event;
    while (Parser.Next(event)) Handle(event, replies);
    return replies;
}

std::vector<SimReply> TransmitterModel::LineIdle() {
    std::vector<SimReply> replies;
    RequestParser::Event event;
    while (Parser.Abandon(event)) Handle(event, replies);
    return replies;
}

void TransmitterModel::Handle(const RequestParser::Event& event, std::vector<SimReply>& replies) {
    std::string raw = HexBytes(event.Raw);
    if (event.What == RequestParser::Event::Skipped) return Emit("SKIP " + raw);
    if (event.What == RequestParser::Event::BadChecksum)
        return Emit(Noted("RX " + raw, "bad checksum"));
    ++Requests;
    Bytes value;
    if (const char* refusal = Execute(event.Command, event.Data, value)) {
        return Emit(Noted("RX " + raw, refusal));
    }
    Emit("RX " + raw);
    SimReply reply;
    std::string notes;
    if (!Faults.Shape(event.Command, value, reply, notes)) return Emit(Noted("TX -", notes));
    Emit(Noted("TX " + HexBytes(reply.Wire), notes));
    replies.push_back(reply);
}

const char* TransmitterModel::Execute(uint8_t command, const Bytes& data, Bytes& value) {
    size_t size = ValueSize(command);
    if (size == 0) return "unknown command";
    if (!data.empty()) {
        if (!Writable(command)) return "read-only";
        if (data.size() != size) return "wrong length";
        if (const char* refusal = WriteValue(command, data)) return refusal;
    }
    // A write is answered with what was stored, which may differ from what
    // was sent.
    value = ReadValue(command);
    return nullptr;
}

Bytes TransmitterModel::ReadValue(uint8_t command) {
    switch (command) {
    case CmdIdentify:
        return Bytes(Values.Ident, Values.Ident + sizeof Values.Ident);
    case CmdFirmwareVersion:
        return Le16(Values.FirmwareVersion);
    case CmdProductionNumber:
        return Le32(static_cast<uint32_t>(Values.ProductionNumber));
    case CmdProbeVoltage:
        return FloatBytes(ProbeVoltage());
    case CmdMeasuredValue:
        return FloatBytes(MeasuredValue(ProbeVoltage()));
    case CmdRatio:
        return FloatBytes(Ratio(MeasuredValue(ProbeVoltage())));
    case CmdOutputWiring:
        return {Values.OutputWiring};
    case CmdProbeType:
        return {Values.ProbeType};
    case CmdDamping:
        return {Values.Damping};
    case CmdCalibrationDate:
        return Le32(Values.CalibrationDate);
    default:
        return FloatBytes(Values.*FloatField(command));
    }
}

const char* TransmitterModel::WriteValue(uint8_t command, const Bytes& data) {
    switch (command) {
    case CmdProbeType:
        if (data[0] > TransmitterValues::MaxProbeType) return "refused: no such probe type";
        Values.ProbeType = data[0];
        return nullptr;
    case CmdDamping:
        Values.Damping =
            data[0] < TransmitterValues::MaxDamping ? data[0] : TransmitterValues::MaxDamping;
        return nullptr;
    case CmdCalibrationDate:
        Values.CalibrationDate = GetLe32(data.data());
        return nullptr;
    default: {
        float value = FloatFromBits(GetLe32(data.data()));
        // The device computes with these values; it keeps no NaN or infinity.
        if (!std::isfinite(value)) return "refused: not a number";
        // The probe cannot hang above the surface (and -0 is kept as 0).
        if (command == CmdDepth && value <= TransmitterValues::MinDepth) {
            value = TransmitterValues::MinDepth;
        }
        Values.*FloatField(command) = value;
        return nullptr;
    }
    }
}

float TransmitterModel::ProbeVoltage(bool withNoise) {
    double u = Probe.Voltage(Values.ProbeType);
    if (withNoise && Probe.NoiseMv > 0) {
        u += std::uniform_real_distribution<double>(-Probe.NoiseMv, Probe.NoiseMv)(Noise);
    }
    return static_cast<float>(u);
}

// The transmitter's own view: the voltage read back through the stored
// calibration. A zero slope measures nothing.
float TransmitterModel::MeasuredValue(float voltage) const {
    double u = voltage - static_cast<double>(Values.Offset), s = Values.Sensitivity;
    switch (Values.ProbeType & 3) {
    case ProbePH:
        return s == 0 ? 0.0f : static_cast<float>(SimulatedProbe::PhNeutral + u / s);
    case ProbeRedox:
        return static_cast<float>(u);
    default:
        return s == 0 ? 0.0f : static_cast<float>(u / s);
    }
}

float TransmitterModel::Ratio(float measured) const {
    double span = static_cast<double>(Values.UpperRange) - Values.LowerRange;
    if (span == 0) return 0.0f;
    return static_cast<float>((measured - static_cast<double>(Values.LowerRange)) / span);
}

void TransmitterModel::Seed(uint32_t seed) {
    Noise.seed(seed);
    Faults.Seed(seed);
}

void TransmitterModel::Emit(const std::string& line) {
    if (Log) Log(line);
}
