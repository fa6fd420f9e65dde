// halyard-keys' LIRC server: what the program costs while 16 clients are
// connected and no key comes.

#include <winsock2.h>

#include "LircBroadcast.h"

#include <windows.h>

#include "Clock.h"
#include "KeysApp.h"
#include "KeysHarness.h"
#include "LinuxClock.h"
#include "LircClients.h"

namespace bench {

void MeasureLircIdle(double seconds, LircFigures& f, RunErrors& errors)
{
    std::string folder = TempPath("lirc");
    unsigned port = BenchPort();
    if (!InstallKeys(folder, MapWithServer(port)))
        return Fail(errors, "cannot set up halyard-keys in " + folder);
    {
        Child keys(folder + "\\halyard-keys.exe", "", folder, KeysApp::kWindowClass);
        Clients clients;
        std::string error;
        if (!keys.process()) {
            Fail(errors, "cannot start halyard-keys.exe (LIRC idle cost)");
        } else if (!WaitUntil(SimulatedTunerRead, 20000)) {
            Fail(errors, "halyard-keys.exe did not start listening (LIRC idle cost)");
        } else if (!clients.Connect(port, &error)) {
            Fail(errors, "LIRC idle cost: " + error);
        } else {
            Sleep(1000); // past its start
            f.idleSeconds = seconds;
            f.taskPercent =
                TaskSharePercent(FindUnixPid(folder.substr(folder.find_last_of('\\') + 1)), seconds);
        }
    }
    RemoveKeys(folder);
}

} // namespace bench
