#include "files/text_files.h"

#include "core/language.h"
#include "core/machine_text.h"
#include "core/text_encoding.h"
#include "files/file_calls.h"

#include <algorithm>
#include <cstring>

namespace {

FileCalls& System() {
    return FileCalls::Current();
}

std::string LastProblem() {
    return SystemProblem(GetLastError());
}

// Readers let writers go on and files be replaced under them.
constexpr DWORD ReadersShare = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// The one writer of a file lets others read it.
constexpr DWORD WriterShare = FILE_SHARE_READ;
constexpr DWORD InUsePauseMs = 100;
// Characters of a file's line that an error line quotes.
constexpr int ShownLineWidth = 60;

// The new content's file beside the old one, until it takes the old one's place.
std::string FreshName(const std::string& path) {
    return path + ".vl4-new";
}

// False, with the system's reason, when the write failed; a write the
// system took only in part failed for want of room.
bool WriteAll(HANDLE file, const std::string& text, std::string& problem) {
    DWORD done = 0;
    if (!System().Write(file, text.data(), static_cast<DWORD>(text.size()), &done)) {
        problem = LastProblem();
        return false;
    }
    if (done == text.size()) return true;
    problem = SystemProblem(ERROR_DISK_FULL);
    return false;
}

bool InUse(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

// The system's messages speak the user's language; vl4 speaks its own.
const char* KnownProblem(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
        return N_("no such file");
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return N_("no such folder");
    case ERROR_ACCESS_DENIED:
        return N_("access denied");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return N_("in use by another program");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return N_("the disk is full");
    case ERROR_BROKEN_PIPE:
    case ERROR_NO_DATA:
    case ERROR_PIPE_NOT_CONNECTED:
        return N_("the program reading it has ended");
    case ERROR_NOT_READY:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
        return N_("the device is not ready or not connected");
    case ERROR_NETNAME_DELETED:
    case ERROR_BAD_NETPATH:
    case ERROR_UNEXP_NET_ERR:
        return N_("the network share is not reachable");
    case ERROR_SUCCESS:
        return N_("the system gave no reason");
    default:
        return nullptr;
    }
}

} // namespace

std::string EnglishSystemProblem(DWORD error) {
    if (const char* known = KnownProblem(error)) return known;
    return "system error " + IntegerText(static_cast<int32_t>(error));
}

std::string SystemProblem(DWORD error) {
    if (const char* known = KnownProblem(error)) return Translated(known);
    return Format(_("system error {0}"), {IntegerText(static_cast<int32_t>(error))});
}

FileRead ReadWholeFile(const std::string& path, size_t maxBytes, std::string& content,
                       std::string& problem) {
    const HANDLE file = System().Create(path, GENERIC_READ, ReadersShare, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) {
        problem = LastProblem();
        return FileRead::Failed;
    }
    // One byte more than allowed tells a file that is too large.
    content.assign(maxBytes + 1, '\0');
    DWORD total = 0, done = 0;
    bool read = true;
    while (total < content.size() &&
           (read = System().Read(file, &content[total], static_cast<DWORD>(content.size() - total),
                                 &done)) &&
           done > 0)
        total += done;
    if (!read) problem = LastProblem();
    System().Close(file);
    content.resize(total);
    if (!read) return FileRead::Failed;
    return total > maxBytes ? FileRead::TooLarge : FileRead::Done;
}

std::string ShownFirstLine(const std::string& line) {
    std::string text = line.compare(0, 3, "\xEF\xBB\xBF") == 0 ? line.substr(3) : line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (!IsUtf8(text)) text = Utf8FromWindows1250(text);
    return "\"" + CutToWidth(OnOneLine(text), ShownLineWidth) + "\"";
}

bool ReplaceFileContent(const std::string& path, const std::string& content, std::string& problem) {
    const std::string fresh = FreshName(path);
    const HANDLE file = System().Create(fresh, GENERIC_WRITE, WriterShare, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        problem = LastProblem();
        return false;
    }
    // On the disk before it takes the old file's place: a power cut must not
    // leave an empty file where the settings were.
    bool written = WriteAll(file, content, problem);
    if (written && !System().Flush(file)) {
        problem = LastProblem();
        written = false;
    }
    System().Close(file);
    if (written && System().Move(fresh, path)) return true;
    if (written) problem = LastProblem();
    System().Delete(fresh);
    return false;
}

bool CanReplaceFile(const std::string& path, std::string& problem) {
    const DWORD attributes = System().Attributes(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        problem = _("a folder of that name is there");
        return false;
    }
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        problem = _("read-only");
        return false;
    }
    const std::string fresh = FreshName(path);
    const HANDLE file = System().Create(fresh, GENERIC_WRITE, WriterShare, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) {
        problem = LastProblem();
        return false;
    }
    System().Close(file);
    System().Delete(fresh);
    return true;
}

bool AppendingFile::Open(const std::string& path, std::string& problem, DWORD waitMs) {
    Close();
    for (DWORD waited = 0;; waited += InUsePauseMs) {
        Handle = System().Create(path, GENERIC_READ | GENERIC_WRITE, WriterShare, OPEN_ALWAYS);
        if (Handle != INVALID_HANDLE_VALUE) break;
        const DWORD error = GetLastError();
        if (!InUse(error) || waited >= waitMs) {
            problem = SystemProblem(error);
            if (InUse(error) && waitMs > 0)
                problem += " " + Format(_("(waited {0} s)"),
                                        {IntegerText(static_cast<int32_t>(waitMs / 1000))});
            return false;
        }
        System().Pause(InUsePauseMs);
    }
    Whole = false;
    return true;
}

void AppendingFile::Close() {
    if (Handle != INVALID_HANDLE_VALUE) System().Close(Handle);
    Handle = INVALID_HANDLE_VALUE;
}

bool AppendingFile::IsEmpty() const {
    LONGLONG size;
    return System().Size(Handle, &size) && size == 0;
}

bool AppendingFile::FirstLine(size_t maxBytes, std::string& line) {
    line.clear();
    if (!System().Seek(Handle, 0)) {
        Failure = LastProblem();
        return false;
    }
    char buffer[256];
    while (line.size() < maxBytes) {
        DWORD done = 0;
        const size_t wanted = std::min(sizeof buffer, maxBytes - line.size());
        if (!System().Read(Handle, buffer, static_cast<DWORD>(wanted), &done)) {
            Failure = LastProblem();
            return false;
        }
        if (done == 0) break;
        const char* end = static_cast<const char*>(std::memchr(buffer, '\n', done));
        line.append(buffer, end ? end - buffer + 1 : done);
        if (end) break;
    }
    return true;
}

bool AppendingFile::EndsInLineEnd(LONGLONG size) {
    if (Whole || size == 0) return true;
    char last = 0;
    DWORD done = 0;
    // A last byte that cannot be read is taken for a line end: the line
    // then goes on as it would have.
    if (!System().Seek(Handle, size - 1) || !System().Read(Handle, &last, 1, &done) || done != 1)
        return true;
    return last == '\n';
}

// Cuts off what a failed write left, so that the file ends where it did.
bool AppendingFile::TakeBack(LONGLONG size) {
    return System().Seek(Handle, size) && System().SetEnd(Handle);
}

bool AppendingFile::Append(const std::string& lines) {
    LONGLONG size = 0;
    if (!System().Size(Handle, &size)) {
        Failure = LastProblem();
        return false;
    }
    std::string text;
    if (!EndsInLineEnd(size)) {
        const bool crlf = lines.size() >= 2 && lines.compare(lines.size() - 2, 2, "\r\n") == 0;
        text = crlf ? "\r\n" : "\n";
    }
    text += lines;
    if (!System().Seek(Handle, size)) {
        Failure = LastProblem();
        return false;
    }
    if (WriteAll(Handle, text, Failure)) {
        Whole = !text.empty() && text.back() == '\n';
        return true;
    }
    Whole = false;
    if (!TakeBack(size)) Failure += _("; a piece of the line may be left at the file's end");
    return false;
}

bool AppendLines(const std::string& path, const std::string& header, const std::string& lines,
                 std::string& problem, DWORD waitMs) {
    AppendingFile file;
    if (!file.Open(path, problem, waitMs)) return false;
    const std::string text = file.IsEmpty() ? header + lines : lines;
    if (text.empty() || file.Append(text)) return true;
    problem = file.Problem();
    return false;
}
