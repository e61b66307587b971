#pragma once

#include "devlink/comm_calls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

using Bytes = std::vector<BYTE>;
using Strings = std::vector<std::string>;

// The frame's bytes followed by the checksum that makes their sum 0.
inline Bytes WithChecksum(Bytes frame) {
    BYTE sum = 0;
    for (BYTE b : frame) sum += b;
    frame.push_back(static_cast<BYTE>(-sum));
    return frame;
}

// A reply frame carrying `data`, with its checksum.
inline Bytes Reply(const Bytes& data) {
    Bytes frame{0x06, static_cast<BYTE>(data.size())};
    frame.insert(frame.end(), data.begin(), data.end());
    return WithChecksum(frame);
}

// The request frame the link must send for `command` with `data`.
inline Bytes Request(BYTE command, const Bytes& data) {
    Bytes frame{0x01, command, static_cast<BYTE>(data.size())};
    frame.insert(frame.end(), data.begin(), data.end());
    return WithChecksum(frame);
}

// A value's bytes as they travel (little-endian, as in memory).
inline Bytes BytesOf(const void* value, size_t size) {
    const BYTE* at = static_cast<const BYTE*>(value);
    return Bytes(at, at + size);
}

// Stands in for the Windows comm calls while it lives: records every call with
// its arguments and plays a scripted line. The receive queue is a list of
// chunks; a read takes bytes from the first chunk only, so a chunk boundary is
// a short read, and an empty chunk (or an empty queue) is a read that times out.
class FakeComm : public CommCalls {
public:
    FakeComm() { Install(this); }
    ~FakeComm() override { Install(nullptr); }

    // Every read must land inside this range (the link's frame buffer).
    void Guard(const BYTE* buffer, size_t size) {
        Window = buffer;
        WindowSize = size;
    }
    void Forget() {
        Log.clear();
        Written.clear();
        Delivered = 0;
    }
    // The bytes still waiting in the receive queue.
    Bytes Waiting() const {
        Bytes all;
        for (const Bytes& chunk : Queue) all.insert(all.end(), chunk.begin(), chunk.end());
        return all;
    }

    // --- script
    HANDLE OpenResult = reinterpret_cast<HANDLE>(0x5A0);
    DCB PortState = {}; // what GetCommState reports
    // What GetCommState, SetCommState and SetCommTimeouts answer.
    BOOL GetStateResult = TRUE, SetStateResult = TRUE, TimeoutsResult = TRUE;
    std::deque<Bytes> Queue; // already received
    // Chunks that arrive after each write, one entry per write.
    std::deque<std::deque<Bytes>> Replies;

    // --- record
    Strings Log;
    std::string Path;
    DWORD Access = 0, Share = 0, Disposition = 0, Flags = 0;
    DCB StateAsked = {}; // the DCB as handed to GetCommState
    std::vector<DCB> States;
    std::vector<COMMTIMEOUTS> Timeouts;
    std::vector<Bytes> Written;
    size_t Delivered = 0; // bytes read since Forget
    int Overruns = 0;

    HANDLE CreateFile(const char* path, DWORD access, DWORD share, DWORD disposition,
                      DWORD flags) override {
        Log.push_back("CreateFile");
        Path = path;
        Access = access;
        Share = share;
        Disposition = disposition;
        Flags = flags;
        Handle = OpenResult;
        return OpenResult;
    }
    BOOL CloseHandle(HANDLE handle) override {
        Check(handle, "CloseHandle");
        Handle = INVALID_HANDLE_VALUE;
        return TRUE;
    }
    BOOL GetCommState(HANDLE handle, DCB* dcb) override {
        Check(handle, "GetCommState");
        StateAsked = *dcb;
        *dcb = PortState;
        return GetStateResult;
    }
    BOOL SetCommState(HANDLE handle, DCB* dcb) override {
        Check(handle, "SetCommState");
        States.push_back(*dcb);
        return SetStateResult;
    }
    BOOL SetCommTimeouts(HANDLE handle, COMMTIMEOUTS* timeouts) override {
        Check(handle, "SetCommTimeouts");
        Timeouts.push_back(*timeouts);
        return TimeoutsResult;
    }
    BOOL PurgeComm(HANDLE handle, DWORD mask) override {
        Check(handle, "Purge " + std::to_string(mask));
        if (mask & PURGE_RXCLEAR) Queue.clear();
        return TRUE;
    }
    BOOL WriteFile(HANDLE handle, const void* buffer, DWORD count, DWORD* done) override {
        Check(handle, "Write");
        const BYTE* bytes = static_cast<const BYTE*>(buffer);
        Written.emplace_back(bytes, bytes + count);
        *done = count;
        if (!Replies.empty()) {
            Queue.insert(Queue.end(), Replies.front().begin(), Replies.front().end());
            Replies.pop_front();
        }
        return TRUE;
    }
    BOOL ReadFile(HANDLE handle, void* buffer, DWORD count, DWORD* done) override {
        Check(handle, "Read " + std::to_string(count));
        *done = 0;
        const BYTE* at = static_cast<const BYTE*>(buffer);
        if (Window && (at < Window || at + count > Window + WindowSize)) {
            ++Overruns;
            ADD_FAILURE() << "read of " << count << " bytes at offset " << (at - Window)
                          << " outside the frame buffer";
            return FALSE;
        }
        if (Queue.empty()) return TRUE;
        Bytes& chunk = Queue.front();
        DWORD n = std::min<DWORD>(count, chunk.size());
        std::memcpy(buffer, chunk.data(), n);
        chunk.erase(chunk.begin(), chunk.begin() + n);
        if (chunk.empty()) Queue.pop_front();
        *done = n;
        Delivered += n;
        return TRUE;
    }

private:
    void Check(HANDLE handle, const std::string& call) {
        Log.push_back(call);
        if (handle == INVALID_HANDLE_VALUE || handle != Handle)
            ADD_FAILURE() << call << " on a handle that is not open";
    }

    HANDLE Handle = INVALID_HANDLE_VALUE; // the one open handle
    const BYTE* Window = nullptr;
    size_t WindowSize = 0;
};
