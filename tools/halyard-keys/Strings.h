#pragma once

// Every text halyard-keys shows, in one place (UTF-8). The library's failures
// are worded by the host tools' shared HostMessages instead, so that
// halyard-keys and halyard-monitor say the same thing.
namespace strings {

const char kProgram[] = "Halyard keys";
const char kRunValueName[] = "Halyard keys"; // the Start with Windows entry

// The notification-area icon's tip.
const char kTipListening[] = "Halyard keys: listening to the remote";
const char kTipPaused[] = "Halyard keys: paused";
const char kTipFailed[] = "Halyard keys: not listening";

// The menu.
const char kMenuLastKey[] = "Last key: ";
const char kMenuNoKeyYet[] = "Last key: none yet (press a key on the remote)";
const char kNotMapped[] = " (not mapped)";
const char kHeld[] = " (held)";
const char kMenuListening[] = "Listening to the remote";
const char kMenuPaused[] = "Paused: the remote is free for other programs";
const char kMenuFailedPrefix[] = "Not listening: ";
const char kMenuPause[] = "&Pause";
const char kMenuResume[] = "&Resume";
const char kMenuRetry[] = "&Retry";
const char kMenuEdit[] = "&Edit key map";
const char kMenuReload[] = "Re&load key map";
const char kMenuProblems[] = "Key map &problems...";
const char kMenuAutoStart[] = "&Start with Windows";
const char kMenuExit[] = "E&xit";

// Notifications.
const char kNotListeningTitle[] = "Halyard keys is not listening";
const char kChooseRetry[] = "\nChoose Retry in the menu to try again.";
const char kMapNotLoadedTitle[] = "Key map not loaded";
const char kMapProblemsTitle[] = "Key map problems";
const char kMapProblemsMore[] = "Choose \"Key map problems\" in the menu for the whole list.";
const char kMapReloadedTitle[] = "Key map reloaded";
const char kNoKeysSectionTitle[] = "No keys mapped yet";
const char kNoKeysSection[] =
    "Add a [Keys] section to the INI file (Edit key map in the menu). "
    "The menu shows each key's code as you press it.";
const char kSendFailedTitle[] = "Could not send the keys";
const char kRunFailedTitle[] = "Could not run the command";
const char kEditFailedTitle[] = "Could not open the key map";
const char kAutoStartFailedTitle[] = "Could not change Start with Windows";
const char kWindowFailed[] = "halyard-keys: cannot create its window: ";
const char kFileTooLarge[] = "larger than 1 MB, not a key map";

// Written when Edit key map finds no INI file.
const char kNewIniText[] =
    "; Halyard remote-control settings.\r\n"
    "\r\n"
    "[Custom]\r\n"
    "; The custom code of your remote control; 0 accepts every remote.\r\n"
    "MaskCode=0\r\n"
    "\r\n"
    "[Keys]\r\n"
    "; key code = key combination, or run: command line\r\n"
    "; 0x12 = Enter\r\n"
    "; 0x20 = VK_VOLUME_UP, repeat\r\n";

// The key map report of --check and of Key map problems.
const char kLine[] = "line ";
const char kRepeatGuard[] = "Repeat guard: %u ms";
const char kNoKeysMapped[] = "No keys mapped (the file has no [Keys] section).";
const char kSummary[] = "%u key%s mapped, %u bad line%s.";

const char kUsage[] =
    "Usage: halyard-keys [--ini PATH]\n"
    "       halyard-keys --check [INI]\n"
    "\n"
    "Turns the keys of the tuner's remote control into keystrokes and commands,\n"
    "as the [Keys] section of halyard.ini maps them, from an icon in the\n"
    "notification area.\n"
    "\n"
    "  --ini PATH     the INI file; by default halyard.ini beside the program\n"
    "  --check [INI]  print the key map as understood and its bad lines, then\n"
    "                 exit: 0 when it has none, 1 when it has some or cannot be\n"
    "                 read, 2 for a usage error\n"
    "  --help         this text\n";
const char kUsageError[] = "halyard-keys: %s (see --help)";

// Changes to the settings file.
const char kIniLineBreak[] = "a line of the settings file cannot hold a line break";
const char kIniBadSection[] = "not a section name: '";
const char kIniNotInCodePage[] =
    "the settings file is saved as ANSI (code page %u), which cannot hold every character "
    "of the line (save it as UTF-8 in an editor, then try again): ";
const char kIniNotUtf8[] = "not valid UTF-8: ";
const char kIniReadOnly[] = "the file is read-only";

} // namespace strings
