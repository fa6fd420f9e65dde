#include "ForegroundRights.h"

#include "ForegroundProgram.h"
#include "Strings.h"

namespace {

ProcessRights RightsOfToken(HANDLE token)
{
    ProcessRights rights;
    DWORD size = 0;
    TOKEN_ELEVATION_TYPE elevation;
    if (!GetTokenInformation(token, TokenElevationType, &elevation, sizeof(elevation), &size))
        return rights;
    // A label is a SID with one sub-authority: its RID.
    union {
        TOKEN_MANDATORY_LABEL label;
        BYTE bytes[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
    } label;
    if (!GetTokenInformation(token, TokenIntegrityLevel, &label, sizeof(label), &size))
        return rights;
    PSID sid = label.label.Label.Sid;
    UCHAR count = *GetSidSubAuthorityCount(sid);
    if (!count)
        return rights;
    rights.known = true;
    rights.elevation = elevation;
    rights.integrity = *GetSidSubAuthority(sid, count - 1u);
    return rights;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

bool Outranks(const ProcessRights& target, const ProcessRights& own)
{
    if (!target.known || !own.known)
        return false;
    if (target.integrity > own.integrity)
        return true;
    return target.elevation == TokenElevationTypeFull && own.elevation != TokenElevationTypeFull;
}

ProcessRights RightsOfProcess(HANDLE process)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return ProcessRights();
    ProcessRights rights = RightsOfToken(token);
    CloseHandle(token);
    return rights;
}

ForegroundRights::ForegroundRights(Notices* notices)
    : notices_(notices), own_(RightsOfProcess(GetCurrentProcess()))
{
}

std::string ForegroundRights::Unreachable()
{
    HWND window = GetForegroundWindow();
    DWORD processId = 0;
    if (!own_.known || !window || !GetWindowThreadProcessId(window, &processId) ||
        processId == GetCurrentProcessId())
        return std::string();
    // Windows grants the limited right for processes of higher integrity
    // too, and lets it open the token; Wine asks for the full right there.
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId);
    if (!process)
        process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return std::string();
    ProcessRights rights = RightsOfProcess(process);
    CloseHandle(process);
    if (!Outranks(rights, own_))
        return std::string();
    std::string program = ProgramOfWindow(window);
    if (program.empty())
        program = strings::kProgramInFront;
    if (told_.insert(Lower(program)).second)
        notices_->Notify(strings::kNotSentTitle + program,
                         program + strings::kNotSentText1 + program + strings::kNotSentText2,
                         Notices::Kind::Warning);
    return program;
}
