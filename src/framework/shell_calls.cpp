#include "framework/shell_calls.h"

#include "framework/wide_text.h"

#include <commdlg.h>
#include <shellapi.h>

namespace {

// The common dialogs and the shell are loaded the first time they are used:
// a window that never saves a file does not load them at its start.
template <class Function> Function SystemFunction(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryW(library);
    FARPROC function = module ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(function));
}

using FileDialogCall = BOOL(WINAPI*)(OPENFILENAMEW*);
using ShellExecuteCall = HINSTANCE(WINAPI*)(HWND, const wchar_t*, const wchar_t*, const wchar_t*,
                                            const wchar_t*, INT);

// A filter of the tool's texts, each part to UTF-16, with its two zeros.
std::wstring WideFilter(const char* filter) {
    std::wstring wide;
    for (const char* part = filter; *part; part += lstrlenA(part) + 1) {
        wide += static_cast<const wchar_t*>(WideText(part));
        wide += L'\0';
    }
    return wide + L'\0';
}

enum class Purpose { Replace, Append, Open };

bool AskPath(HWND owner, const char* caption, const char* filter, const char* extension,
             const char* suggestedName, Purpose purpose, std::string& path) {
    const bool save = purpose != Purpose::Open;
    wchar_t file[MAX_PATH] = L"";
    if (suggestedName) lstrcpynW(file, WideText(suggestedName), MAX_PATH);
    const std::wstring filters = WideFilter(filter);
    const WideText title(caption);
    const WideText defaultExtension(extension ? extension : "");
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filters.c_str();
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrTitle = title;
    dialog.lpstrDefExt = extension ? static_cast<const wchar_t*>(defaultExtension) : nullptr;
    dialog.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
                   (purpose == Purpose::Replace ? OFN_OVERWRITEPROMPT : 0) |
                   (save ? OFN_PATHMUSTEXIST : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
    const auto call = SystemFunction<FileDialogCall>(L"comdlg32.dll", save ? "GetSaveFileNameW"
                                                                           : "GetOpenFileNameW");
    const BOOL chosen = call && call(&dialog);
    if (chosen) path = Utf8FromWide(file);
    return chosen != FALSE;
}

} // namespace

bool AskSavePath(HWND owner, const char* caption, const char* filter, const char* extension,
                 const char* suggestedName, std::string& path) {
    return AskPath(owner, caption, filter, extension, suggestedName, Purpose::Replace, path);
}

bool AskAppendPath(HWND owner, const char* caption, const char* filter, const char* extension,
                   const char* suggestedName, std::string& path) {
    return AskPath(owner, caption, filter, extension, suggestedName, Purpose::Append, path);
}

bool AskOpenPath(HWND owner, const char* caption, const char* filter, std::string& path) {
    return AskPath(owner, caption, filter, nullptr, nullptr, Purpose::Open, path);
}

bool OpenDocument(HWND owner, const std::string& path) {
    const auto call = SystemFunction<ShellExecuteCall>(L"shell32.dll", "ShellExecuteW");
    if (!call) return false;
    const INT_PTR result = reinterpret_cast<INT_PTR>(
        call(owner, L"open", WideFromUtf8(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

std::string TemporaryFolder() {
    wchar_t folder[MAX_PATH + 1] = L"";
    GetTempPathW(MAX_PATH + 1, folder);
    return Utf8FromWide(folder);
}

void SetUtf8TextOf(HWND window, const std::string& text) {
    SetWindowTextW(window, WideFromUtf8(text).c_str());
}

void AddListLine(HWND listBox, const std::wstring& line) {
    const LRESULT index =
        SendMessageW(listBox, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    if (index < 0) return;
    SendMessageW(listBox, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    // A list box scrolls sideways only as far as it is told.
    HDC dc = GetDC(listBox);
    HGDIOBJ previous =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(listBox, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, line.c_str(), static_cast<int>(line.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(listBox, dc);
    const LRESULT extent = SendMessageW(listBox, LB_GETHORIZONTALEXTENT, 0, 0);
    if (size.cx + 6 > extent)
        SendMessageW(listBox, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(size.cx + 6), 0);
}

std::string Utf8TextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(window, &text[0], length + 1);
    return Utf8FromWide(text.c_str());
}
