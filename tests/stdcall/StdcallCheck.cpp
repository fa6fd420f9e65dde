// Checks, in a 32-bit process, that Halyard.dll's exports follow the calling
// convention a host compiled against halyard.h expects: WINAPI (stdcall), so
// the export pops its own arguments. A cdecl export would leave them on the
// host's stack and corrupt it a little on every call; nothing in a 64-bit
// build can show that, since x64 Windows has a single convention.
//
// Usage: StdcallCheck DLL
// Exit code 0 when every check passed, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <string>

#if !defined(__i386__)
#error "StdcallCheck is a 32-bit (i686) program"
#endif

// Calls fn with the count 32-bit arguments in args (pushed right to left) and
// returns how many bytes of the stack the call left behind: 0 when the callee
// popped its arguments (stdcall), 4 * count when it did not (cdecl). The
// callee's return value goes to *result. ESP is restored either way.
extern "C" unsigned callMeasuringStack(const void* fn, const DWORD* args, unsigned count,
                                       DWORD* result) __asm__("callMeasuringStack");

__asm__(R"(
    .text
    .p2align 4
callMeasuringStack:
    pushl %ebp
    movl  %esp, %ebp
    pushl %ebx
    pushl %esi
    pushl %edi
    movl  12(%ebp), %esi
    movl  16(%ebp), %ecx
    movl  %esp, %edi          # ESP before the arguments are pushed
1:  testl %ecx, %ecx
    jz    2f
    decl  %ecx
    pushl (%esi,%ecx,4)
    jmp   1b
2:  call  *8(%ebp)
    movl  20(%ebp), %ecx
    movl  %eax, (%ecx)
    movl  %edi, %eax
    subl  %esp, %eax          # bytes the callee left on the stack
    movl  %edi, %esp
    popl  %edi
    popl  %esi
    popl  %ebx
    popl  %ebp
    ret
)");

namespace {

int failures = 0;

void fail(const char* what)
{
    std::printf("FAIL: %s\n", what);
    ++failures;
}

// Wine and Windows both take a Windows path; CTest hands over a Unix one.
std::string windowsPath(std::string path)
{
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

const void* exportNamed(HMODULE dll, const char* name, WORD ordinal)
{
    FARPROC byName = GetProcAddress(dll, name);
    FARPROC byOrdinal = GetProcAddress(dll, MAKEINTRESOURCEA(ordinal));
    char message[160];
    if (!byName) {
        std::snprintf(message, sizeof message, "%s is not exported under its plain name", name);
        fail(message);
        return reinterpret_cast<const void*>(byOrdinal);
    }
    if (byOrdinal != byName) {
        std::snprintf(message, sizeof message, "ordinal %u is not %s", ordinal, name);
        fail(message);
    }
    return reinterpret_cast<const void*>(byName);
}

void checkPops(const char* name, const void* fn, const DWORD* args, unsigned count)
{
    DWORD result = 0;
    unsigned left = callMeasuringStack(fn, args, count, &result);
    std::printf("%s returned 0x%08lx and left %u bytes on the stack\n", name,
                static_cast<unsigned long>(result), left);
    if (left != 0) {
        char message[160];
        std::snprintf(message, sizeof message,
                      "%s left %u bytes on the stack: it must be stdcall and pop its %u bytes "
                      "of arguments",
                      name, left, 4 * count);
        fail(message);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::printf("usage: StdcallCheck DLL\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::string path = windowsPath(argv[1]);
    HMODULE dll = LoadLibraryA(path.c_str());
    if (!dll) {
        std::printf("FAIL: cannot load %s (error %lu)\n", path.c_str(), GetLastError());
        return 1;
    }

    const void* init = exportNamed(dll, "InitRemoteControl", 1);
    const void* uninit = exportNamed(dll, "UnInitRemoteControl", 2);

    // No tuner and no COM here, so Init fails (E_FAIL or E_POINTER); only the
    // stack matters. Uninit runs either way: it must balance too.
    static const char iniPath[] = "C:\\halyard-stdcall-check.ini";
    const DWORD initArgs[2] = {0, reinterpret_cast<DWORD>(iniPath)};
    if (init)
        checkPops("InitRemoteControl", init, initArgs, 2);
    if (uninit)
        checkPops("UnInitRemoteControl", uninit, nullptr, 0);

    FreeLibrary(dll);
    std::printf("%s\n", failures ? "stdcall check FAILED" : "stdcall check passed");
    return failures ? 1 : 0;
}
