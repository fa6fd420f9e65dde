#include "KeyMapFile.h"

#include <windows.h>

#include "Strings.h"
#include "Text.h"
#include "TextEncoding.h"

namespace {

// Far more than any key map; a larger file is not one.
const DWORD kMaxFileBytes = 1 << 20;

} // namespace

bool LoadKeyMapFile(const std::wstring& path, KeyMap* map, std::string* error)
{
    *map = KeyMap();
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        // Before the conversion below, which may set another last error.
        DWORD openError = GetLastError();
        *error = Utf8FromWide(path) + ": " + SystemText(openError);
        return false;
    }
    LARGE_INTEGER size;
    std::string bytes;
    bool ok = GetFileSizeEx(file, &size) != 0;
    if (ok && size.QuadPart > kMaxFileBytes) {
        CloseHandle(file);
        *error = Utf8FromWide(path) + ": " + strings::kFileTooLarge;
        return false;
    }
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() ||
             ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
        bytes.resize(read);
    }
    DWORD readError = GetLastError();
    CloseHandle(file);
    if (!ok) {
        *error = Utf8FromWide(path) + ": " + SystemText(readError);
        return false;
    }
    *map = ParseKeyMap(DecodeTextFile(bytes));
    return true;
}
