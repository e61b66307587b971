#pragma once

// A transmitter on a line of its own in the test's process, and time that
// passes only when the program waits: a whole calibration of minutes, with
// a settling electrode, faults and a pulled cable, runs through in a moment.
#include "core/clock.h"
#include "devlink/comm_calls.h"
#include "sim/sim_console.h"
#include "sim/transmitter_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

class FakeClock : public Clock {
public:
    FakeClock() { Install(this); }
    ~FakeClock() override { Install(nullptr); }

    double Seconds = 0; // since the test began
    // The calendar's time at the start, UTC.
    SYSTEMTIME Start = {2026, 12, 2, 8, 8, 0, 0, 0};

    TimePoint Now() override {
        return TimePoint(std::chrono::hours(1) +
                         std::chrono::microseconds(std::llround(Seconds * 1e6)));
    }
    void UtcNow(SYSTEMTIME& utc) override {
        FILETIME file;
        SystemTimeToFileTime(&Start, &file);
        ULARGE_INTEGER ticks;
        ticks.LowPart = file.dwLowDateTime;
        ticks.HighPart = file.dwHighDateTime;
        ticks.QuadPart += static_cast<unsigned long long>(std::llround(Seconds * 1e7));
        file.dwLowDateTime = ticks.LowPart;
        file.dwHighDateTime = ticks.HighPart;
        FileTimeToSystemTime(&file, &utc);
    }
    bool Wait(HANDLE event, DWORD ms) override {
        if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0) return false;
        Seconds += ms / 1000.0;
        return WaitForSingleObject(event, 0) != WAIT_OBJECT_0;
    }
};

class SimulatedLine : public CommCalls {
public:
    explicit SimulatedLine(FakeClock& clock) {
        Model.Probe.Now = [&clock] { return clock.Seconds; };
        Model.Seed(1);
        Install(this);
    }
    ~SimulatedLine() override { Install(nullptr); }

    TransmitterModel Model;
    // The cable is out: what is written goes nowhere, nothing comes back.
    bool Unplugged = false;
    // Sees each request's command byte (and whether it writes) before the
    // transmitter does: a test arms a fault or pulls the cable there.
    std::function<void(BYTE command, bool writes)> OnRequest;
    std::vector<std::string> Frames; // every request, "01 30 04 ..."

    void Steer(const std::string& command) {
        std::vector<std::string> out;
        ASSERT_EQ(RunSimCommand(Model, command, out), CommandResult::Ok) << command;
    }
    // The requests that wrote a value, by their command byte.
    std::vector<BYTE> WriteCommands() const {
        std::vector<BYTE> commands;
        for (const std::string& frame : Frames)
            if (frame.compare(6, 2, "00") != 0)
                commands.push_back(static_cast<BYTE>(std::stoul(frame.substr(3, 2), nullptr, 16)));
        return commands;
    }

    HANDLE CreateFile(const char* path, DWORD, DWORD, DWORD, DWORD) override {
        if (std::strstr(path, "COM5")) return reinterpret_cast<HANDLE>(0x5A0);
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    BOOL CloseHandle(HANDLE) override { return TRUE; }
    BOOL GetCommState(HANDLE, DCB* dcb) override {
        *dcb = DCB();
        return TRUE;
    }
    BOOL SetCommState(HANDLE, DCB*) override { return TRUE; }
    BOOL SetCommTimeouts(HANDLE, COMMTIMEOUTS*) override { return TRUE; }
    BOOL PurgeComm(HANDLE, DWORD mask) override {
        if (mask & PURGE_RXCLEAR) Waiting.clear();
        return TRUE;
    }
    BOOL WriteFile(HANDLE, const void* buffer, DWORD count, DWORD* done) override {
        const BYTE* bytes = static_cast<const BYTE*>(buffer);
        *done = count;
        if (count >= 3 && bytes[0] == 0x01) {
            char text[8];
            std::string frame;
            for (DWORD i = 0; i < count; ++i) {
                std::snprintf(text, sizeof text, i ? " %02X" : "%02X", bytes[i]);
                frame += text;
            }
            Frames.push_back(frame);
            if (OnRequest) OnRequest(bytes[1], bytes[2] != 0);
        }
        if (Unplugged) return TRUE;
        for (const SimReply& reply : Model.Receive(bytes, count))
            if (reply.DelayMs == 0)
                Waiting.insert(Waiting.end(), reply.Wire.begin(), reply.Wire.end());
        return TRUE;
    }
    // What waits is read at once; nothing waiting is a read that timed out.
    BOOL ReadFile(HANDLE, void* buffer, DWORD count, DWORD* done) override {
        *done = static_cast<DWORD>(std::min<size_t>(count, Waiting.size()));
        for (DWORD i = 0; i < *done; ++i) {
            static_cast<BYTE*>(buffer)[i] = Waiting.front();
            Waiting.pop_front();
        }
        return TRUE;
    }

private:
    std::deque<BYTE> Waiting;
};
