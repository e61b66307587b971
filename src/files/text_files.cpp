#include "files/text_files.h"

#include "core/machine_text.h"
#include "core/text_encoding.h"

namespace {

std::string LastProblem() {
    return SystemProblem(GetLastError());
}

HANDLE OpenFile(const std::string& path, DWORD access, DWORD disposition) {
    return CreateFileW(WideFromUtf8(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The new content's file beside the old one, until it takes the old one's place.
std::string FreshName(const std::string& path) {
    return path + ".vl4-new";
}

bool WriteAll(HANDLE file, const std::string& text) {
    DWORD done = 0;
    return WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &done, nullptr) &&
           done == text.size();
}

} // namespace

// The system's messages speak the user's language; vl4 speaks English.
std::string SystemProblem(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return "no such file";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return "no such folder";
    case ERROR_ACCESS_DENIED:
        return "access denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "in use by another program";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "the disk is full";
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
    case ERROR_PIPE_NOT_CONNECTED:
        return "the program reading it has ended";
    case ERROR_NOT_READY:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
        return "the device is not ready or not connected";
    default:
        return "system error " + IntegerText(static_cast<int32_t>(error));
    }
}

FileRead ReadWholeFile(const std::string& path, size_t maxBytes, std::string& content,
                       std::string& problem) {
    const HANDLE file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        problem = LastProblem();
        return FileRead::Failed;
    }
    // One byte more than allowed tells a file that is too large.
    content.assign(maxBytes + 1, '\0');
    DWORD total = 0, done = 0;
    bool read = true;
    while (total < content.size() &&
           (read = ReadFile(file, &content[total], static_cast<DWORD>(content.size() - total),
                            &done, nullptr)) &&
           done > 0)
        total += done;
    if (!read) problem = LastProblem();
    CloseHandle(file);
    content.resize(total);
    if (!read) return FileRead::Failed;
    return total > maxBytes ? FileRead::TooLarge : FileRead::Done;
}

bool ReplaceFileContent(const std::string& path, const std::string& content, std::string& problem) {
    const std::string fresh = FreshName(path);
    const HANDLE file = OpenFile(fresh, GENERIC_WRITE, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        problem = LastProblem();
        return false;
    }
    // On the disk before it takes the old file's place: a power cut must not
    // leave an empty file where the settings were.
    const bool written = WriteAll(file, content) && FlushFileBuffers(file);
    if (!written) problem = LastProblem();
    CloseHandle(file);
    if (written && MoveFileExW(WideFromUtf8(fresh).c_str(), WideFromUtf8(path).c_str(),
                               MOVEFILE_REPLACE_EXISTING))
        return true;
    if (written) problem = LastProblem();
    DeleteFileW(WideFromUtf8(fresh).c_str());
    return false;
}

bool CanReplaceFile(const std::string& path, std::string& problem) {
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        problem = "a folder of that name is there";
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        problem = "read-only";
        return false;
    }
    const std::string fresh = FreshName(path);
    const HANDLE file = OpenFile(fresh, GENERIC_WRITE, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        problem = LastProblem();
        return false;
    }
    CloseHandle(file);
    DeleteFileW(WideFromUtf8(fresh).c_str());
    return true;
}

AppendingFile::~AppendingFile() {
    if (Handle != INVALID_HANDLE_VALUE) CloseHandle(Handle);
}

bool AppendingFile::Open(const std::string& path, std::string& problem) {
    Handle = OpenFile(path, FILE_APPEND_DATA, OPEN_ALWAYS);
    if (Handle == INVALID_HANDLE_VALUE) problem = LastProblem();
    return Handle != INVALID_HANDLE_VALUE;
}

bool AppendingFile::IsEmpty() const {
    LARGE_INTEGER size;
    return GetFileSizeEx(Handle, &size) && size.QuadPart == 0;
}

// Straight to the system, which keeps it whatever becomes of this process.
bool AppendingFile::Append(const std::string& text) {
    if (WriteAll(Handle, text)) return true;
    Failure = LastProblem();
    return false;
}
