#pragma once

// The process exit codes of halyard-sim; --help lists them.
enum SimExitCode {
    kSimExitOk = 0,        // also with a warning that no host is reading
    kSimExitUsage = 1,
    kSimExitScript = 2,
    kSimExitQueueFull = 3,
    kSimExitMismatch = 4,  // another build's tuner
    kSimExitFailure = 5,   // the tuner could not be opened, or stayed locked
    kSimExitUnplugged = 6, // press, hold or play on an unplugged tuner
};
