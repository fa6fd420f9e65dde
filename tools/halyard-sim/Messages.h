#pragma once

// Every text halyard-sim shows. Errors and warnings go to stderr after
// "halyard-sim: ", on one line each.
namespace text {

const char kTool[] = "halyard-sim";

const char kUsage[] =
    "Usage: halyard-sim COMMAND\n"
    "\n"
    "Presses keys on the simulated QBOX tuner that every program of this session\n"
    "using the simulation build (sim\\Halyard.dll) reads. Codes are hexadecimal,\n"
    "as in key-press scripts; the fourth byte defaults to the key's complement.\n"
    "\n"
    "Commands:\n"
    "  press <custom code> <key> [<fourth>]\n"
    "                 queue one frame: press 40BF 12 queues 40 BF 12 ED\n"
    "  play SCRIPT    play a key-press script, one press per line:\n"
    "                 <delay ms> <custom code> <key> [<fourth>], '#' comments\n"
    "  status         frames waiting, and whether a host read them in the last second\n"
    "  clear          drop the frames waiting\n"
    "  --help, -h     show this help\n"
    "\n"
    "Each frame is read once, by one host. At most 256 frames wait.\n"
    "\n"
    "Exit codes:\n"
    "  0  success (also when no host is reading: a warning says so)\n"
    "  1  usage error\n"
    "  2  script error\n"
    "  3  the queue is full\n"
    "  4  the queue belongs to another version of the simulation\n"
    "  5  other failure\n";

// Usage errors.
const char kNoCommand[] = "missing command";
const char kUnknownCommand[] = "unknown command '%s' (see --help)";
const char kPressArguments[] = "press takes <custom code> <key> [<fourth>]";
const char kPlayArguments[] = "play takes one SCRIPT";
const char kNoArguments[] = "%s takes no arguments (see --help)";

const char kScriptFault[] = "%s: %s";
const char kQueued[] = "queued %02X %02X %02X %02X\n";
const char kPlayed[] = "played %u press%s\n";
const char kCleared[] = "cleared %u frame%s\n";
const char kFull[] = "the simulated tuner's queue is full (%u frames waiting); is a host reading it?";
const char kFullInScript[] =
    "the simulated tuner's queue is full (%u frames waiting): press %u of the script was not queued";
const char kBusy[] = "the simulated tuner's queue is locked by another process";

const char kNobodyOpen[] =
    "warning: no program has the simulated tuner open, so frames not read while halyard-sim runs "
    "are lost (start a host with sim\\Halyard.dll first)";
const char kNobodyReading[] =
    "warning: no host has read the simulated tuner in the last second; the frames wait in the queue";

const char kStatusFrames[] = "frames waiting: %u of %u\n";
const char kStatusReading[] = "host reading: yes (last read %u ms ago)\n";
const char kStatusStale[] = "host reading: no (last read %.1f s ago)\n";
const char kStatusNeverRead[] = "host reading: no (never read)\n";
const char kStatusNotOpen[] = "host reading: no (no program has the simulated tuner open)\n";

} // namespace text
