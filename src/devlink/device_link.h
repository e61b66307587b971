#pragma once

#include "devlink/command_numbers.h"
#include "devlink/serial_port.h"
#include "framework/base_object.h"

#include <windows.h>

#include <cstring>
#include <type_traits>

// The framed request/response link to one device over one serial port.
//
// Request: 01, command, n, n data bytes, checksum.
// Reply:   06, m (at most 61), m data bytes, checksum.
// The checksum makes the byte sum of a whole frame 0 modulo 256. Every
// operation answers whether it succeeded; an out value is written only on
// success, and an in/out value is replaced by the value the device replied.
class DeviceLink : public BaseObject {
public:
    static constexpr BYTE RequestStart = 0x01;
    static constexpr BYTE ReplyStart = 0x06;
    static constexpr int FrameSize = 64;
    static constexpr int MaxReplyData = FrameSize - 3;   // 61: header and checksum fill the rest
    static constexpr int MaxRequestData = FrameSize - 4; // start, command, length, checksum
    static constexpr int IdentLength = 8;

    DeviceLink();
    ~DeviceLink() override;

    // Closes the port and opens the named one ("COM3", "COM12") at 9600 8N1
    // with the link's time-outs. An empty name changes nothing and answers
    // false; a name longer than 11 characters, or a port that does not take
    // the settings or the time-outs, leaves the port closed.
    bool Open(const char* portName);
    // The same for a whole device path ("\\.\COM3", "\\.\CNCB0").
    bool OpenPath(const char* devicePath);
    void Close();

    // Drops what waits in the receive queue, frames the data bytes already
    // placed at FrameBuffer[3] and writes the frame; answers the count
    // written. A length the buffer cannot frame sends nothing.
    DWORD SendFrame(BYTE command, int length);
    // Reads one reply into FrameBuffer and accepts it only when it is well
    // formed and carries exactly `expected` data bytes, found at FrameBuffer[2].
    bool ReceiveFrame(int expected);

    bool ReceiveByte(BYTE& value);
    bool ReceiveWord(WORD& value);
    // Any 4-byte value (float, signed integer, date) travels verbatim.
    template <typename T> bool ReceiveDword(T& value);

    bool GetByte(BYTE command, BYTE& value);
    bool SetByte(BYTE command, BYTE& value);
    bool GetWord(BYTE command, WORD& value);
    template <typename T> bool GetDword(BYTE command, T& value);
    template <typename T> bool SetDword(BYTE command, T& value);

    // The identification text (IdentText) or null when it did not arrive.
    const char* Identify();
    bool GetFirmwareVersion(WORD& version);
    bool GetProductionNumber(LONG& number);

#ifdef VL4_FRAME_GUARDS
    // Test builds surround the frame buffer with bytes that nothing may
    // write, wide enough to catch any read the link could ask for.
    static constexpr int GuardSize = 256;
    BYTE GuardBefore[GuardSize] = {};
    BYTE FrameBuffer[FrameSize] = {};
    BYTE GuardAfter[GuardSize] = {};
#else
    BYTE FrameBuffer[FrameSize] = {};
#endif
    // IdentLength received bytes; the zero bytes after them terminate the text.
    char IdentText[16] = {};
    SerialPort* Port = nullptr;
    // The last version read successfully, 0 before any.
    WORD FirmwareVersion = 0;

private:
    DWORD ReadInto(DWORD& position, DWORD count);
};

template <typename T> bool DeviceLink::ReceiveDword(T& value) {
    static_assert(sizeof(T) == 4 && std::is_trivially_copyable_v<T>, "a 4-byte value");
    if (!ReceiveFrame(4)) return false;
    std::memcpy(&value, FrameBuffer + 2, 4);
    return true;
}

template <typename T> bool DeviceLink::GetDword(BYTE command, T& value) {
    SendFrame(command, 0);
    return ReceiveDword(value);
}

template <typename T> bool DeviceLink::SetDword(BYTE command, T& value) {
    static_assert(sizeof(T) == 4 && std::is_trivially_copyable_v<T>, "a 4-byte value");
    std::memcpy(FrameBuffer + 3, &value, 4);
    SendFrame(command, 4);
    return ReceiveDword(value);
}
