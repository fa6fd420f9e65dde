#pragma once

#include <windows.h>

#include <string>

// How the host tools word a failure, so that each tool says the same thing
// for the same cause.

// The system's text for an error or HRESULT, without the line end; empty
// when there is none.
std::string SystemMessage(DWORD code);

// "0x80070005 (Access is denied)", or only the code when the system has no
// text for it.
std::string WithSystemText(HRESULT hr);

// Why InitRemoteControl of the library at dllPath failed, in one line.
std::string InitFailureText(HRESULT hr, const std::string& dllPath);

// Why CoInitializeEx failed, in one line.
std::string ComInitFailureText(HRESULT hr);
