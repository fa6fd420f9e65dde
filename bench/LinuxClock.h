#pragma once

// Linux's own count of CPU time, read through Wine's drive Z:. Under Wine,
// GetProcessTimes counts 10 ms ticks, too coarse for an idle program.

#include <string>

namespace bench {

// Nanoseconds of CPU every thread of the Linux process pid has used; -1
// when unavailable. Files are opened by the Wine server, so "self" there is
// the server itself, and a process is found by its Linux process id.
double TaskClockNs(const std::string& pid);
// The same for its first thread alone: a Windows program's main thread,
// which runs its windows.
double MainThreadClockNs(const std::string& pid);
// The same for the Wine server.
double ServerClockNs();
// The Linux process id of the Wine process whose command line holds text
// (say its program's path); empty when there is none.
std::string FindUnixPid(const std::string& text);

} // namespace bench
