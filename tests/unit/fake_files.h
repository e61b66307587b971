#pragma once

#include "files/file_calls.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <string>

// Files in memory in place of the system's while it lives, with the faults a
// technician's PC has: a disk that fills up in the middle of a write, a
// share that goes away, another program holding a file.
class FakeFiles : public FileCalls {
public:
    FakeFiles() { Install(this); }
    ~FakeFiles() override { Install(nullptr); }

    std::map<std::string, std::string> Content;

    // --- faults, each spent when it strikes
    // The next write takes only this many bytes and reports success, as a
    // full disk under some systems does; -1: none.
    long ShortWrite = -1;
    // The next write fails with this error after taking WrittenBeforeFailure bytes.
    DWORD WriteError = 0;
    size_t WrittenBeforeFailure = 0;
    bool TruncateFails = false;
    // The next opens of a file fail as if another program wrote it.
    int InUseOpens = 0;
    // Every open of this path fails with this error.
    std::string Unopenable;
    DWORD OpenError = ERROR_ACCESS_DENIED;

    // --- what happened
    DWORD Paused = 0; // ms
    int Opens = 0;
    size_t BytesRead = 0;

    HANDLE Create(const std::string& path, DWORD access, DWORD, DWORD disposition) override {
        ++Opens;
        if (path == Unopenable) return Refuse(OpenError);
        if (InUseOpens > 0) {
            --InUseOpens;
            return Refuse(ERROR_SHARING_VIOLATION);
        }
        const bool exists = Content.count(path) > 0;
        if (disposition == OPEN_EXISTING && !exists) return Refuse(ERROR_FILE_NOT_FOUND);
        if (disposition == CREATE_ALWAYS || !exists) Content[path].clear();
        const int id = ++LastId;
        Handles[id] = {path, 0, (access & GENERIC_WRITE) != 0};
        return reinterpret_cast<HANDLE>(static_cast<intptr_t>(id) * 4);
    }
    BOOL Read(HANDLE file, void* buffer, DWORD count, DWORD* done) override {
        Open& open = Of(file);
        const std::string& text = Content[open.Path];
        const size_t from = std::min(open.Position, text.size());
        *done = static_cast<DWORD>(std::min<size_t>(count, text.size() - from));
        std::memcpy(buffer, text.data() + from, *done);
        open.Position = from + *done;
        BytesRead += *done;
        return TRUE;
    }
    BOOL Write(HANDLE file, const void* buffer, DWORD count, DWORD* done) override {
        Open& open = Of(file);
        size_t take = count;
        if (ShortWrite >= 0) take = std::min<size_t>(take, static_cast<size_t>(ShortWrite));
        if (WriteError) take = std::min(take, WrittenBeforeFailure);
        std::string& text = Content[open.Path];
        if (text.size() < open.Position + take) text.resize(open.Position + take);
        text.replace(open.Position, take, static_cast<const char*>(buffer), take);
        open.Position += take;
        *done = static_cast<DWORD>(take);
        ShortWrite = -1;
        if (!WriteError) return TRUE;
        SetLastError(WriteError);
        WriteError = 0;
        return FALSE;
    }
    BOOL Size(HANDLE file, LONGLONG* size) override {
        *size = static_cast<LONGLONG>(Content[Of(file).Path].size());
        return TRUE;
    }
    BOOL Seek(HANDLE file, LONGLONG offset) override {
        Of(file).Position = static_cast<size_t>(offset);
        return TRUE;
    }
    BOOL SetEnd(HANDLE file) override {
        if (TruncateFails) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        Open& open = Of(file);
        Content[open.Path].resize(open.Position);
        return TRUE;
    }
    BOOL Flush(HANDLE) override { return TRUE; }
    BOOL Close(HANDLE file) override {
        Handles.erase(Id(file));
        return TRUE;
    }
    BOOL Move(const std::string& from, const std::string& to) override {
        Content[to] = Content[from];
        Content.erase(from);
        return TRUE;
    }
    BOOL Delete(const std::string& path) override { return Content.erase(path) > 0; }
    DWORD Attributes(const std::string& path) override {
        return Content.count(path) ? FILE_ATTRIBUTE_NORMAL : INVALID_FILE_ATTRIBUTES;
    }
    void Pause(DWORD ms) override { Paused += ms; }

    size_t OpenHandles() const { return Handles.size(); }

private:
    struct Open {
        std::string Path;
        size_t Position;
        bool Writes;
    };
    static HANDLE Refuse(DWORD error) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    static int Id(HANDLE file) { return static_cast<int>(reinterpret_cast<intptr_t>(file) / 4); }
    Open& Of(HANDLE file) { return Handles.at(Id(file)); }

    std::map<int, Open> Handles;
    int LastId = 0;
};
