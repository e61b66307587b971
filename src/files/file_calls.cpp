#include "files/file_calls.h"

#include "core/text_encoding.h"

namespace {

FileCalls SystemCalls;
FileCalls* Installed = nullptr;

} // namespace

HANDLE FileCalls::Create(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileW(WideFromUtf8(path).c_str(), access, share, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

BOOL FileCalls::Read(HANDLE file, void* buffer, DWORD count, DWORD* done) {
    return ReadFile(file, buffer, count, done, nullptr);
}

BOOL FileCalls::Write(HANDLE file, const void* buffer, DWORD count, DWORD* done) {
    return WriteFile(file, buffer, count, done, nullptr);
}

BOOL FileCalls::Size(HANDLE file, LONGLONG* size) {
    LARGE_INTEGER value;
    if (!GetFileSizeEx(file, &value)) return FALSE;
    *size = value.QuadPart;
    return TRUE;
}

BOOL FileCalls::Seek(HANDLE file, LONGLONG offset) {
    LARGE_INTEGER to;
    to.QuadPart = offset;
    return SetFilePointerEx(file, to, nullptr, FILE_BEGIN);
}

BOOL FileCalls::SetEnd(HANDLE file) {
    return SetEndOfFile(file);
}

BOOL FileCalls::Flush(HANDLE file) {
    return FlushFileBuffers(file);
}

BOOL FileCalls::Close(HANDLE file) {
    return CloseHandle(file);
}

BOOL FileCalls::Move(const std::string& from, const std::string& to) {
    return MoveFileExW(WideFromUtf8(from).c_str(), WideFromUtf8(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING);
}

BOOL FileCalls::Delete(const std::string& path) {
    return DeleteFileW(WideFromUtf8(path).c_str());
}

DWORD FileCalls::Attributes(const std::string& path) {
    return GetFileAttributesW(WideFromUtf8(path).c_str());
}

void FileCalls::Pause(DWORD ms) {
    Sleep(ms);
}

FileCalls& FileCalls::Current() {
    return Installed ? *Installed : SystemCalls;
}

void FileCalls::Install(FileCalls* calls) {
    Installed = calls;
}
