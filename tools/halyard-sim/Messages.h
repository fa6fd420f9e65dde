#pragma once

// Every text halyard-sim shows. Errors and warnings go to stderr after
// "halyard-sim: ", on one line each.
namespace text {

const char kTool[] = "halyard-sim";

const char kUsage[] =
    "Usage: halyard-sim COMMAND\n"
    "\n"
    "Presses keys on the simulated QBOX tuner that every program of this session\n"
    "using the simulation build (sim\\Halyard.dll) reads, and plugs it in and out.\n"
    "Codes are hexadecimal, as in key-press scripts; the fourth byte defaults to\n"
    "the key's complement. MS is decimal milliseconds.\n"
    "\n"
    "Keys:\n"
    "  press <custom code> <key> [<fourth>]\n"
    "                 queue one frame: press 40BF 12 queues 40 BF 12 ED\n"
    "  hold <custom code> <key> [<fourth>] MS\n"
    "                 hold the key down for MS: each read of the driver gets its\n"
    "                 frame until then (one frame a poll, every 250 ms)\n"
    "  play SCRIPT    play a key-press script, one press per line:\n"
    "                 <delay ms> <custom code> <key> [<fourth>], '#' comments\n"
    "  status         whether the tuner is plugged in, frames waiting, a held key,\n"
    "                 and whether a host read the tuner in the last second\n"
    "  clear          drop the frames waiting and release a held key\n"
    "\n"
    "The device (each change is announced to the session's top-level windows):\n"
    "  unplug         the tuner goes: no program finds it, the frames waiting are\n"
    "                 lost, and every interface to it fails its reads for good;\n"
    "                 WM_DEVICECHANGE (DBT_DEVNODES_CHANGED)\n"
    "  plug           the tuner is back for programs that look for it again;\n"
    "                 WM_DEVICECHANGE (DBT_DEVNODES_CHANGED)\n"
    "  replug [--gap MS]\n"
    "                 unplug, wait MS (default 0), plug\n"
    "  resume [--late MS]\n"
    "                 a sleep: WM_POWERBROADCAST PBT_APMSUSPEND, the tuner goes,\n"
    "                 PBT_APMRESUMEAUTOMATIC, and the tuner is back MS later\n"
    "                 (default 0), with DBT_DEVNODES_CHANGED\n"
    "\n"
    "  --help, -h     show this help\n"
    "\n"
    "Each frame is read once, by one host. At most 256 frames wait. The tuner\n"
    "stays unplugged until plug, also when no program has it open.\n"
    "\n"
    "Exit codes:\n"
    "  0  success (also when no host is reading: a warning says so)\n"
    "  1  usage error\n"
    "  2  script error\n"
    "  3  the queue is full\n"
    "  4  the tuner belongs to another version of the simulation\n"
    "  5  other failure\n"
    "  6  the tuner is unplugged (press, hold, play)\n";

// Usage errors.
const char kNoCommand[] = "missing command";
const char kUnknownCommand[] = "unknown command '%s' (see --help)";
const char kPressArguments[] = "press takes <custom code> <key> [<fourth>]";
const char kHoldArguments[] = "hold takes <custom code> <key> [<fourth>] MS";
const char kPlayArguments[] = "play takes one SCRIPT";
const char kReplugArguments[] = "replug takes [--gap MS]";
const char kResumeArguments[] = "resume takes [--late MS]";
const char kNoArguments[] = "%s takes no arguments (see --help)";
const char kBadMilliseconds[] = "'%s' is not a decimal count of milliseconds up to a day (see --help)";

const char kScriptFault[] = "%s: %s";
const char kQueued[] = "queued %02X %02X %02X %02X\n";
const char kPlayed[] = "played %u press%s\n";
const char kCleared[] = "cleared %u frame%s\n";
const char kFull[] = "the simulated tuner's queue is full (%u frames waiting); is a host reading it?";
const char kFullInScript[] =
    "the simulated tuner's queue is full (%u frames waiting): press %u of the script was not queued";
const char kBusy[] = "the simulated tuner is locked by another process";
const char kUnplugged[] = "the simulated tuner is unplugged (halyard-sim plug)";
const char kUnpluggedInScript[] =
    "the simulated tuner is unplugged: press %u of the script was not queued (halyard-sim plug)";

const char kHolding[] = "holding %02X %02X %02X %02X for %lu ms\n";
const char kReleased[] = "released %02X %02X %02X %02X\n";
const char kUnpluggedWhileHeld[] = "the simulated tuner went away while the key was held";

const char kNobodyOpen[] =
    "warning: no program has the simulated tuner open, so frames not read while halyard-sim runs "
    "are lost (start a host with sim\\Halyard.dll first)";
const char kNobodyReading[] =
    "warning: no host has read the simulated tuner in the last second; the frames wait in the queue";

// The device; the first word of each line says the tuner's state.
const char kNowUnplugged[] = "unplugged\n";
const char kStillUnplugged[] = "unplugged (it already was)\n";
const char kNowPluggedIn[] = "plugged in\n";
const char kStillPluggedIn[] = "plugged in (it already was)\n";
const char kSuspended[] = "suspended\n";
const char kResumed[] = "resumed\n";
const char kResumedTunerLate[] = "resumed; the tuner comes back in %lu ms\n";
const char kStaysUnplugged[] =
    "warning: the simulated tuner was unplugged before the sleep and stays so (halyard-sim plug)";

const char kStatusFrames[] = "frames waiting: %u of %u\n";
const char kStatusReading[] = "host reading: yes (last read %u ms ago)\n";
const char kStatusStale[] = "host reading: no (last read %.1f s ago)\n";
const char kStatusNeverRead[] = "host reading: no (never read)\n";
const char kStatusNotOpen[] = "host reading: no (no program has the simulated tuner open)\n";
const char kStatusPluggedIn[] = "tuner: plugged in\n";
const char kStatusUnplugged[] = "tuner: unplugged\n";
const char kStatusHeld[] = "held key: %02X %02X %02X %02X (%.1f s left)\n";

} // namespace text
