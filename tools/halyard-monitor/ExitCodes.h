#pragma once

// The process exit codes of halyard-monitor; --help lists them.
enum ExitCode {
    kExitOk = 0,
    kExitUsage = 1,
    kExitLibraryLoad = 2,
    kExitExportMissing = 3,
    kExitNoTuner = 4,
    kExitLibraryBroken = 5,
    kExitAlreadyRunning = 6,
    kExitComInit = 7,
    kExitOtherFailure = 8,
    kExitSimulation = 9,
};
