#include "HostMessages.h"

#include <stdio.h>

std::string SystemMessage(DWORD code)
{
    char* buffer = nullptr;
    DWORD length = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text;
    if (length && buffer) {
        text.assign(buffer, length);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' ||
                                 text.back() == ' ' || text.back() == '.'))
            text.pop_back();
        LocalFree(buffer);
    }
    return text;
}

std::string WithSystemText(HRESULT hr)
{
    char text[16];
    snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(hr));
    std::string result = text;
    std::string message = SystemMessage(static_cast<DWORD>(hr));
    if (!message.empty())
        result += " (" + message + ")";
    return result;
}

std::string InitFailureText(HRESULT hr, const std::string& dllPath)
{
    if (hr == E_FAIL)
        return "no QBOX tuner found (is the tuner connected and its driver installed?)";
    if (hr == E_POINTER)
        return dllPath + " failed to initialise (InitRemoteControl returned 0x80004003)";
    if (hr == HRESULT_FROM_WIN32(ERROR_ALREADY_INITIALIZED))
        return "the remote control is already running in this process (0x800704DF)";
    return "InitRemoteControl failed: " + WithSystemText(hr);
}

std::string ComInitFailureText(HRESULT hr)
{
    return "COM initialisation failed: " + WithSystemText(hr);
}
