#include "devlink/device_link.h"

namespace {

// 8 data bits, no parity, one stop bit; binary mode with DTR and RTS raised
// and no flow control (fBinary = 1, fDtrControl = 1, fRtsControl = 1).
constexpr DWORD LineFlags = 0x1011;
// One read waits at most 200 ms for what it asks, one write at most 100 ms.
constexpr COMMTIMEOUTS LinkTimeouts = {0, 0, 200, 0, 100};
// "\\.\" opens COM10 and above as well.
constexpr char DevicePrefix[] = "\\\\.\\";
constexpr size_t DevicePathSize = 16;
constexpr size_t MaxPortName = DevicePathSize - sizeof DevicePrefix;

BYTE ByteSum(const BYTE* bytes, DWORD count) {
    BYTE sum = 0;
    for (DWORD i = 0; i < count; ++i) sum += bytes[i];
    return sum;
}

} // namespace

DeviceLink::DeviceLink() : Port(new SerialPort) {}

DeviceLink::~DeviceLink() {
    Close();
    Port->Free();
}

bool DeviceLink::Open(const char* portName) {
    if (!portName || !*portName) return false;
    Close();
    size_t length = strnlen(portName, MaxPortName + 1);
    if (length > MaxPortName) return false; // would not fit the device path
    char path[DevicePathSize];
    std::memcpy(path, DevicePrefix, sizeof DevicePrefix - 1);
    std::memcpy(path + sizeof DevicePrefix - 1, portName, length + 1);
    return OpenPath(path);
}

bool DeviceLink::OpenPath(const char* devicePath) {
    Close();
    if (!Port->Open(devicePath)) return false;
    // A port that cannot be set up counts as one that cannot be opened: with
    // the driver's own time-outs (all zero on many) a read would wait for ever.
    if (Port->Configure(CBR_9600, LineFlags, 8, NOPARITY, ONESTOPBIT) &&
        Port->SetTimeouts(LinkTimeouts))
        return true;
    Port->Close();
    return false;
}

void DeviceLink::Close() {
    Port->Purge(PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    Port->Close();
    Unsettled = false;
}

DWORD DeviceLink::SendFrame(BYTE command, int length) {
    if (length < 0 || length > MaxRequestData) return 0;
    if (Unsettled && SettleAfterFailure) Settle();
    Unsettled = false;
    // A late reply to an earlier request must not pass for the answer to this one.
    Port->Purge(PURGE_RXCLEAR);
    FrameBuffer[0] = RequestStart;
    FrameBuffer[1] = command;
    FrameBuffer[2] = static_cast<BYTE>(length);
    FrameBuffer[3 + length] = static_cast<BYTE>(-ByteSum(FrameBuffer, 3 + length));
    if (Observer) Observer->Sent(FrameBuffer, 4 + length);
    return Port->Write(FrameBuffer, 4 + length);
}

// Reads until a read of the whole time-out brings nothing. The bytes go to a
// buffer of their own: the frame buffer may hold a request being built.
void DeviceLink::Settle() {
    BYTE late[FrameSize];
    for (DWORD n; (n = Port->Read(late, sizeof late)) > 0;)
        if (Observer) Observer->Discarded(late, static_cast<int>(n));
}

// Reads up to `count` bytes into FrameBuffer at `position`, in as many pieces
// as they arrive, and stops early when a read times out. Answers the count read.
DWORD DeviceLink::ReadInto(DWORD& position, DWORD count) {
    DWORD got = 0;
    while (got < count) {
        DWORD n = Port->Read(FrameBuffer + position, count - got);
        if (n == 0) break;
        position += n;
        got += n;
    }
    return got;
}

bool DeviceLink::ReceiveFrame(int expected) {
    DWORD received = 0;
    if (ReadInto(received, 2) < 2)
        return Judge(received, received ? ReplyOutcome::Cut : ReplyOutcome::TimedOut);
    // Only a reply header that fits the buffer says how much more to read; any
    // other header is judged on its two bytes.
    if (FrameBuffer[0] == ReplyStart && FrameBuffer[1] <= MaxReplyData) {
        DWORD rest = FrameBuffer[1] + 1u;
        if (ReadInto(received, rest) < rest) return Judge(received, ReplyOutcome::Cut);
    }
    if (ByteSum(FrameBuffer, received) != 0) {
        // The line is garbled: drop whatever else is under way in both directions.
        Port->Purge(PURGE_TXCLEAR | PURGE_RXCLEAR);
        return Judge(received, ReplyOutcome::BadChecksum);
    }
    // A length beyond the buffer was never read: its two header bytes may
    // sum to zero (06 FA), but they carry no data.
    const bool asked =
        FrameBuffer[0] == ReplyStart && FrameBuffer[1] == expected && expected <= MaxReplyData;
    return Judge(received, asked ? ReplyOutcome::Ok : ReplyOutcome::Unexpected);
}

// Answers whether the reply is one to take; a failed one leaves the line to
// be settled before the next request.
bool DeviceLink::Judge(DWORD received, ReplyOutcome outcome) {
    LastOutcome = outcome;
    if (Observer) Observer->Received(FrameBuffer, static_cast<int>(received), outcome);
    if (outcome == ReplyOutcome::Ok) return true;
    Unsettled = true;
    return false;
}

bool DeviceLink::ReceiveByte(BYTE& value) {
    if (!ReceiveFrame(1)) return false;
    value = FrameBuffer[2];
    return true;
}

bool DeviceLink::ReceiveWord(WORD& value) {
    if (!ReceiveFrame(2)) return false;
    value = static_cast<WORD>(FrameBuffer[2] | FrameBuffer[3] << 8);
    return true;
}

bool DeviceLink::GetByte(BYTE command, BYTE& value) {
    SendFrame(command, 0);
    return ReceiveByte(value);
}

bool DeviceLink::SetByte(BYTE command, BYTE& value) {
    FrameBuffer[3] = value;
    SendFrame(command, 1);
    return ReceiveByte(value);
}

bool DeviceLink::GetWord(BYTE command, WORD& value) {
    SendFrame(command, 0);
    return ReceiveWord(value);
}

const char* DeviceLink::Identify() {
    SendFrame(CmdIdentify, 0);
    if (!ReceiveFrame(IdentLength)) return nullptr;
    // The bytes after them are never written, so the text is always terminated.
    std::memcpy(IdentText, FrameBuffer + 2, IdentLength);
    return IdentText;
}

bool DeviceLink::GetFirmwareVersion(WORD& version) {
    if (!GetWord(CmdFirmwareVersion, FirmwareVersion)) return false;
    version = FirmwareVersion;
    return true;
}

bool DeviceLink::GetProductionNumber(LONG& number) {
    return GetDword(CmdProductionNumber, number);
}
