// A stand-in for the game's client launcher: records the exact command line it was started with
// and exits. It writes the raw bytes of GetCommandLineA to "<its own name>.cmdline" beside
// itself, first under a temporary name, so that a reader never sees half of it.
#include <windows.h>

#include <memory>
#include <string>

namespace {
struct HandleCloser {
    void operator()(HANDLE h) const { CloseHandle(h); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

// Writes the bytes and closes the file; false when either fails.
bool WriteWhole(const std::wstring& path, const char* bytes, DWORD size) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    FileHandle file(h);
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes, size, &written, nullptr) || written != size) return false;
    return CloseHandle(file.release()) != FALSE;
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 2;
    std::wstring record(self, length);
    const size_t dot = record.rfind(L'.');
    const size_t slash = record.find_last_of(L"\\/");
    if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
        record.erase(dot);
    record += L".cmdline";
    const std::wstring partial = record + L".tmp";

    const char* commandLine = GetCommandLineA();
    const DWORD size = static_cast<DWORD>(std::char_traits<char>::length(commandLine));
    if (!WriteWhole(partial, commandLine, size) ||
        !MoveFileExW(partial.c_str(), record.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(partial.c_str());
        return 3;
    }
    return 0;
}
