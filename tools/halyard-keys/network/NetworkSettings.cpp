#include "NetworkSettings.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include "Words.h"
#include "Strings.h"
#include "Text.h"

const char kShareRemoteLine[] = "Listen=127.0.0.1:8765";

namespace {

// An LIRC name is one word of printable ASCII: clients split lines at spaces.
bool IsLircName(const std::string& name)
{
    if (name.empty() || name.size() > 64)
        return false;
    for (char c : name) {
        if (c <= ' ' || c > '~')
            return false;
    }
    return true;
}

bool ParseListen(const std::string& text, uint32_t* address, unsigned* port)
{
    size_t colon = text.rfind(':');
    if (colon == std::string::npos || !ParseIpv4(text.substr(0, colon), address))
        return false;
    std::string number = text.substr(colon + 1);
    return number.find_first_not_of("0123456789") == std::string::npos &&
           ParseNumber(number, 65535, port) && *port != 0;
}

bool IsOff(const std::string& text)
{
    return text.empty() || SameWord(text, "off") || text == "0";
}

} // namespace

bool NetworkSettings::SameListener(const NetworkSettings& other) const
{
    return listen == other.listen && address == other.address && port == other.port;
}

NetworkSettings ParseNetworkSettings(const NetworkValues& values)
{
    NetworkSettings settings;
    settings.remoteName = strings::kLircDefaultRemote;
    std::string remote = TrimSpace(values.remoteName);
    if (!remote.empty() && !IsLircName(remote))
        settings.errors.push_back(strings::kNetBadRemoteName + remote + strings::kNetQuoteEnd +
                                  strings::kLircDefaultRemote + strings::kNetApplies);
    else if (!remote.empty())
        settings.remoteName = remote;

    std::string simulate = TrimSpace(values.allowSimulate);
    if (simulate == "1")
        settings.allowSimulate = true;
    else if (!simulate.empty() && simulate != "0")
        settings.errors.push_back(strings::kNetBadAllowSimulate);

    for (const std::string& name : values.unknown)
        settings.errors.push_back(strings::kNetUnknownOption + name + strings::kNetKnownOptions);

    std::string listen = TrimSpace(values.listen);
    bool on = !IsOff(listen);
    if (on && !ParseListen(listen, &settings.address, &settings.port)) {
        settings.errors.push_back(strings::kNetBadListen + listen + strings::kNetQuoteEnd +
                                  strings::kNetListenForm);
        on = false;
    }
    bool network = on && !IsLoopback(settings.address);
    std::string badEntry;
    if (!settings.allowFrom.Parse(values.allowFrom, &badEntry)) {
        settings.errors.push_back(strings::kNetBadAllowFrom + badEntry + strings::kNetQuoteEnd +
                                  strings::kNetNotAnAddress +
                                  (network ? strings::kNetNothingListens : strings::kNetOnlyThisPc));
        if (network)
            return settings;
    }
    if (!on)
        return settings;
    if (network && settings.allowFrom.empty()) {
        settings.errors.push_back(strings::kNetListenRefused + listen + strings::kNetNeedsAllowFrom);
        return settings;
    }
    settings.listen = true;
    return settings;
}

#ifdef _WIN32
NetworkValues ReadNetworkValues(const std::wstring& iniPath)
{
    struct Line {
        const wchar_t* name;
        std::string NetworkValues::*field;
    };
    const Line lines[] = {{L"Listen", &NetworkValues::listen},
                          {L"AllowFrom", &NetworkValues::allowFrom},
                          {L"RemoteName", &NetworkValues::remoteName},
                          {L"AllowSimulate", &NetworkValues::allowSimulate}};
    NetworkValues values;
    for (const Line& line : lines) {
        wchar_t value[1024];
        GetPrivateProfileStringW(L"Network", line.name, L"", value, ARRAYSIZE(value),
                                 iniPath.c_str());
        values.*line.field = Utf8FromWide(value);
    }
    // The section's lines, "name=value\0" each, for the names not known.
    std::vector<wchar_t> section(32 * 1024);
    DWORD size = GetPrivateProfileSectionW(L"Network", section.data(),
                                           static_cast<DWORD>(section.size()), iniPath.c_str());
    for (const wchar_t* at = section.data(); at < section.data() + size && *at;
         at += wcslen(at) + 1) {
        std::string entry = Utf8FromWide(at);
        std::string name = TrimSpace(entry.substr(0, entry.find('=')));
        if (name.empty() || name[0] == ';' || name[0] == '#')
            continue;
        bool known = false;
        for (const Line& line : lines)
            known = known || _wcsicmp(Widen(name).c_str(), line.name) == 0;
        if (!known)
            values.unknown.push_back(name);
    }
    return values;
}
#endif

std::string NetworkReport(const NetworkSettings& settings)
{
    std::string text;
    if (!settings.listen) {
        text = strings::kNetReportOff;
    } else {
        text = strings::kNetReportOn + FormatIpv4(settings.address) + ":" +
               std::to_string(settings.port) + strings::kNetReportRemote + settings.remoteName +
               "\n";
        text += settings.allowFrom.empty() ? strings::kNetReportThisPc
                                           : strings::kNetReportAllowFrom +
                                                 settings.allowFrom.Describe();
        text += std::string("\n") +
                (settings.allowSimulate ? strings::kNetReportSimulateOn
                                        : strings::kNetReportSimulateOff);
    }
    text += "\n";
    for (const std::string& error : settings.errors)
        text += "[Network] " + error + "\n";
    return text;
}
