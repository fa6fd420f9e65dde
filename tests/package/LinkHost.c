/*
 * A host linked against the package's Halyard.lib, with no C runtime, so
 * that it builds the same with mingw-w64 gcc and with clang for the MSVC ABI
 * (lld-link). It checks that both exports bind and return what a host sees
 * on a machine without a tuner; its exit code counts the failures.
 */
#include <windows.h>
#include <objbase.h>

#include "halyard.h"

static int failures;

static void Check(const char* what, HRESULT got, HRESULT want)
{
    char line[160];
    DWORD written;
    int length = wsprintfA(line, "%s %s: 0x%08lX (expected 0x%08lX)\r\n",
                           got == want ? "ok  " : "FAIL", what, (unsigned long)got,
                           (unsigned long)want);
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line, (DWORD)length, &written, NULL);
    if (got != want)
        failures++;
}

void __cdecl HostMain(void)
{
    Check("UnInitRemoteControl before a start", UnInitRemoteControl(), S_FALSE);
    /* Without COM on the thread the device enumerator cannot be created. */
    Check("InitRemoteControl without COM", InitRemoteControl(NULL, "C:\\halyard.ini"), E_FAIL);
    if (FAILED(CoInitializeEx(NULL, COINIT_APARTMENTTHREADED))) {
        Check("CoInitializeEx", E_UNEXPECTED, S_OK);
    } else {
        Check("InitRemoteControl with no tuner", InitRemoteControl(NULL, "C:\\halyard.ini"),
              E_FAIL);
        CoUninitialize();
    }
    Check("UnInitRemoteControl after a failed start", UnInitRemoteControl(), S_FALSE);
    ExitProcess((UINT)failures);
}
