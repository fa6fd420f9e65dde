#include "IniFile.h"

#include <stdio.h>

#include "HostMessages.h"
#include "Strings.h"
#include "Text.h"

namespace {

// Far more than any settings file; a larger file is not one.
const DWORD kMaxFileBytes = 1 << 20;
// Tries at a free name beside the file before giving up.
const unsigned kNameAttempts = 100;

// FNV-1a: enough to tell that the bytes changed, not a guard against an
// adversary.
uint64_t Hash(const std::string& bytes)
{
    uint64_t hash = 14695981039346656037ull;
    for (char c : bytes)
        hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    return hash;
}

} // namespace

bool IniFile::Snapshot::operator==(const Snapshot& other) const
{
    return exists == other.exists && size == other.size &&
           CompareFileTime(&written, &other.written) == 0 && hash == other.hash;
}

IniFile::IniFile(std::wstring path, UINT ansiCodePage)
    : path_(std::move(path)), ansiCodePage_(ansiCodePage)
{
}

bool IniFile::Load(std::string* error)
{
    Snapshot snapshot;
    std::string bytes;
    if (!Read(&snapshot, &bytes, error))
        return false;
    loaded_ = snapshot;
    text_ = IniText::Parse(bytes, ansiCodePage_);
    return true;
}

bool IniFile::Save(const Edit& edit, std::string* error)
{
    reloaded_ = false;
    Snapshot now;
    std::string bytes;
    if (!Read(&now, &bytes, error))
        return false;
    if (!(now == loaded_)) {
        text_ = IniText::Parse(bytes, ansiCodePage_);
        loaded_ = now;
        reloaded_ = true;
    }
    IniText edited = text_;
    if (!edit(&edited, error))
        return false;
    std::string result = edited.Bytes();
    if (result == bytes)
        return true; // nothing to write, not even a new time
    // MoveFileExW would replace a read-only file under Wine, and some
    // network file systems: it is the user's choice, and it holds.
    if (now.readOnly) {
        *error = Utf8FromWide(path_) + ": " + strings::kIniReadOnly;
        return false;
    }
    // A change saved by another program from here to the replace (a few
    // milliseconds) is lost, as between two editors; no lock would stop an
    // editor that does not ask for one.
    if (!Write(result, now.exists, error))
        return false;
    text_ = edited;
    // The snapshot of what was written, so that the next save sees a change
    // made after this one; a time not read makes that save re-read the file.
    loaded_ = Snapshot();
    loaded_.exists = true;
    loaded_.size = result.size();
    loaded_.hash = Hash(result);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data))
        loaded_.written = data.ftLastWriteTime;
    return true;
}

bool IniFile::Read(Snapshot* snapshot, std::string* bytes, std::string* error) const
{
    *snapshot = Snapshot();
    bytes->clear();
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND)
            return true;
        *error = Failure(code);
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    bool ok = GetFileInformationByHandle(file, &info) != 0;
    DWORD code = ok ? 0 : GetLastError();
    if (ok) {
        snapshot->exists = true;
        snapshot->readOnly = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
        snapshot->size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
        snapshot->written = info.ftLastWriteTime;
    }
    if (ok && snapshot->size > kMaxFileBytes) {
        CloseHandle(file);
        *error = Utf8FromWide(path_) + ": " + strings::kFileTooLarge;
        return false;
    }
    if (ok && snapshot->size) {
        bytes->resize(static_cast<size_t>(snapshot->size));
        DWORD read = 0;
        ok = ReadFile(file, &(*bytes)[0], static_cast<DWORD>(bytes->size()), &read, nullptr) != 0;
        code = ok ? 0 : GetLastError();
        bytes->resize(read);
    }
    CloseHandle(file);
    if (!ok) {
        *error = Failure(code);
        return false;
    }
    snapshot->hash = Hash(*bytes);
    return true;
}

bool IniFile::Write(const std::string& bytes, bool replacing, std::string* error) const
{
    std::wstring temp;
    DWORD code = WriteNew(bytes, &temp);
    if (!code && replacing)
        code = Replace(temp);
    else if (!code) // a new file: one made meanwhile by someone else is not replaced
        code = MoveFileExW(temp.c_str(), path_.c_str(), MOVEFILE_WRITE_THROUGH) ? 0
                                                                                 : GetLastError();
    if (code) {
        if (!temp.empty())
            DeleteFileW(temp.c_str());
        *error = Failure(code);
        return false;
    }
    return true;
}

DWORD IniFile::WriteNew(const std::string& bytes, std::wstring* temp) const
{
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD code = ERROR_FILE_EXISTS;
    for (unsigned attempt = 0; attempt < kNameAttempts && code == ERROR_FILE_EXISTS; ++attempt) {
        *temp = UnusedName(L".tmp", attempt);
        file = CreateFileW(temp->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        code = file == INVALID_HANDLE_VALUE ? GetLastError() : 0;
    }
    if (code) {
        temp->clear();
        return code;
    }
    DWORD written = 0;
    // On the disk before it replaces the original: a crash then leaves the
    // old file or the new one, never an empty one.
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size() && FlushFileBuffers(file);
    code = ok ? 0 : GetLastError();
    CloseHandle(file);
    return ok ? 0 : code ? code : ERROR_WRITE_FAULT;
}

DWORD IniFile::Replace(const std::wstring& temp) const
{
    // ReplaceFileW keeps the original's attributes and security; with a
    // backup name, a failure halfway leaves the original findable.
    std::wstring backup;
    for (unsigned attempt = 0; attempt < kNameAttempts; ++attempt) {
        backup = UnusedName(L".bak", attempt);
        if (GetFileAttributesW(backup.c_str()) == INVALID_FILE_ATTRIBUTES)
            break;
    }
    if (ReplaceFileW(path_.c_str(), temp.c_str(), backup.c_str(),
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr,
                     nullptr)) {
        DeleteFileW(backup.c_str());
        return 0;
    }
    DWORD code = GetLastError();
    switch (code) {
    case ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: // the original is under the backup's name
        MoveFileExW(backup.c_str(), path_.c_str(), MOVEFILE_WRITE_THROUGH);
        return code;
    case ERROR_FILE_NOT_FOUND:   // the original went meanwhile
    case ERROR_INVALID_FUNCTION: // a file system without ReplaceFileW
    case ERROR_NOT_SUPPORTED:
        return MoveFileExW(temp.c_str(), path_.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                   ? 0
                   : GetLastError();
    }
    return code ? code : ERROR_WRITE_FAULT;
}

std::wstring IniFile::UnusedName(const wchar_t* suffix, unsigned attempt) const
{
    wchar_t tag[16];
    swprintf(tag, sizeof(tag) / sizeof(tag[0]), L".~%08lx",
             static_cast<unsigned long>(GetTickCount() ^ (GetCurrentProcessId() << 16)) + attempt);
    return path_ + tag + suffix;
}

std::string IniFile::Failure(DWORD code) const
{
    return Utf8FromWide(path_) + ": " + Utf8FromAnsi(SystemMessage(code));
}
