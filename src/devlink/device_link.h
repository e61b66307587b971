#pragma once

#include "devlink/command_numbers.h"
#include "devlink/serial_port.h"
#include "framework/base_object.h"

#include <windows.h>

#include <cstring>
#include <type_traits>

// How a reply came, as the link judged it.
enum class ReplyOutcome {
    Ok,
    TimedOut,    // not a byte within the read time-out
    Cut,         // fewer bytes than the frame announced
    BadChecksum, // the bytes do not sum to zero
    Unexpected,  // a whole frame, but not a reply of the length asked for
};

// Sees every frame the link sends and receives, for a trace of the line and
// its counters. Called on the thread that runs the transaction.
class LinkObserver {
public:
    virtual ~LinkObserver() = default;
    virtual void Sent(const BYTE* bytes, int count) = 0;
    // The bytes read for one reply (none for a time-out) and their judgement.
    virtual void Received(const BYTE* bytes, int count, ReplyOutcome outcome) = 0;
    // Bytes that came after a failed transaction, dropped before the next request.
    virtual void Discarded(const BYTE* bytes, int count) = 0;
};

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

    // After a transaction that failed, a reply may still be on its way and
    // would pass for the next request's: with this set, the next request
    // waits until the line has been quiet for a whole read time-out and drops
    // what came meanwhile. Off, the link keeps the window's timing.
    bool SettleAfterFailure = false;
    // Not owned; null: nobody watches.
    LinkObserver* Observer = nullptr;
    // How the last reply came.
    ReplyOutcome LastOutcome = ReplyOutcome::Ok;

private:
    DWORD ReadInto(DWORD& position, DWORD count);
    bool Judge(DWORD received, ReplyOutcome outcome);
    void Settle();
    bool Unsettled = false;
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
