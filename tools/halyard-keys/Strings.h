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
const char kTipWaiting[] = "Halyard keys: Waiting for the QBOX tuner...";
// %s: the program that reads the tuner ("tvprogram.exe and 1 other program").
const char kTipAside[] = "Halyard keys: paused while %s reads the remote";
const char kTipShared[] = "Halyard keys: listening to the remote; %s reads it too";

// The menu.
const char kMenuLastKey[] = "Last key: ";
const char kMenuNoKeyYet[] = "Last key: none yet (press a key on the remote)";
const char kNotMapped[] = " (not mapped)";
// Between a named button and what it does, in the menu and the display.
const char kMapsTo[] = " \xE2\x86\x92 ";
const char kHeld[] = " (held)";
const char kLong[] = " (long)";
const char kFromSection[] = ", from ";
// A key a dialog took, on the last-key line.
const char kToMapKey[] = ", to Map a key";
const char kToSetup[] = ", to Set up the remote";
const char kMenuListening[] = "Listening to the remote";
const char kMenuPaused[] = "Paused: the remote is free for other programs";
const char kMenuFailedPrefix[] = "Not listening: ";
const char kMenuWaiting[] = "Waiting for the QBOX tuner...";
const char kMenuAside[] = "Paused: %s reads the remote";
const char kMenuShared[] = "Listening; %s reads the remote too (keys are shared)";
const char kMenuPause[] = "&Pause";
const char kMenuResume[] = "&Resume";
const char kMenuRetry[] = "&Retry";
const char kMenuSetup[] = "Set &up the remote...";
const char kMenuMapKey[] = "&Map a key...";
const char kMenuEdit[] = "&Edit key map";
const char kMenuReload[] = "Re&load key map";
const char kMenuProblems[] = "Key map &problems...";
const char kMenuShowKeys[] = "Show &keys on screen";
const char kMenuStepAside[] = "Step &aside for programs that read the remote";
const char kMenuAutoStart[] = "&Start with Windows";
const char kMenuHelp[] = "&Help";
const char kMenuExit[] = "E&xit";
// The help page beside the program, which Help opens.
const char kHelpFile[] = "halyard-keys-help.html";
const char kMenuSettings[] = "Settings: "; // and the INI file's path

// Notifications.
const char kNotListeningTitle[] = "Halyard keys is not listening";
const char kChooseRetry[] = "\nChoose Retry in the menu to try again.";
const char kWaitingTitle[] = "Waiting for the QBOX tuner...";
const char kWaitingText[] =
    "No QBOX tuner was found. Halyard keys starts listening as soon as the tuner is connected "
    "and switched on.";
const char kListeningAgainTitle[] = "The remote works again";
const char kListeningAgain[] = "Halyard keys is listening to the remote.";
const char kMapNotLoadedTitle[] = "Key map not loaded";
const char kMapProblemsTitle[] = "Key map problems";
const char kMapProblemsMore[] = "Choose \"Key map problems\" in the menu for the whole list.";
const char kMapReloadedTitle[] = "Key map reloaded";
const char kNoKeysSectionTitle[] = "No keys mapped yet";
const char kNoKeysSection[] =
    "Add a [Keys] section to the INI file (Edit key map in the menu). "
    "The menu shows each key's code as you press it.";
const char kSetupOfferTitle[] = "Set up the remote in a minute";
const char kSetupOffer[] =
    "No button is named and no key mapped yet. Click here to name the remote's buttons by "
    "pressing them, and give them their common actions. (Also in the menu: Set up the "
    "remote...)";
const char kSendFailedTitle[] = "Could not send the keys";
const char kRunFailedTitle[] = "Could not run the command";
const char kShowFailedTitle[] = "Could not show the program";
const char kEditFailedTitle[] = "Could not open the key map";
const char kHelpFailedTitle[] = "Could not open the help";
const char kShowKeysFailedTitle[] = "Could not change Show keys on screen";
const char kStepAsideFailedTitle[] = "Could not change Step aside";
const char kAutoStartFailedTitle[] = "Could not change Start with Windows";
const char kIniNotForLibraryTitle[] = "MaskCode not applied";
// %s: the INI file. Also a line of --check.
const char kIniNotForLibrary[] =
    "The library cannot open %s: its name has characters outside the system's "
    "code page, and the drive gives it no short name. Keys of every remote "
    "control are accepted. Keep the settings where the path has none (--ini PATH).";
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
const char kTimings[] =
    "Repeat guard: %u ms, long press: %u ms, repeat delay: %u ms, keys shown on screen: %s, "
    "steps aside for other programs that read the remote: %s";
const char kStartModeReport[] = "Mode at the start: ";
const char kOn[] = "on";
const char kOff[] = "off";
const char kNoKeysMapped[] = "No keys mapped (the file has no [Keys] section).";
const char kSummary[] = "%u key%s mapped, %u bad line%s.";

const char kUsage[] =
    "Usage: halyard-keys [--ini PATH] [--map-key | --setup]\n"
    "       halyard-keys --check [INI]\n"
    "\n"
    "Turns the keys of the tuner's remote control into keystrokes and commands,\n"
    "as the [Keys] section of halyard.ini maps them, from an icon in the\n"
    "notification area.\n"
    "\n"
    "  --ini PATH     the INI file; by default halyard.ini beside the program,\n"
    "                 else %APPDATA%\\Halyard\\halyard.ini, made from the\n"
    "                 example beside the program on the first start\n"
    "  --check [INI]  print the key map as understood and its bad lines, then\n"
    "                 exit: 0 when it has none, 1 when it has some or cannot be\n"
    "                 read, 2 for a usage error\n"
    "  --map-key      open Map a key... (in the running halyard-keys, if one runs)\n"
    "  --setup        open Set up the remote... (likewise): name the remote's\n"
    "                 buttons by pressing them, and give them common actions\n"
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

// The on-screen display's names of keys, by their names in the key map;
// the keys not listed are shown by their map names.
struct KeyDisplayName {
    const char* mapName;
    const char* displayName;
};
const KeyDisplayName kKeyDisplayNames[] = {
    {"VK_VOLUME_UP", "Volume up"}, {"VK_VOLUME_DOWN", "Volume down"}, {"VK_VOLUME_MUTE", "Mute"},
    {"VK_MEDIA_PLAY_PAUSE", "Play/Pause"}, {"VK_MEDIA_STOP", "Stop"},
    {"VK_MEDIA_NEXT_TRACK", "Next track"}, {"VK_MEDIA_PREV_TRACK", "Previous track"},
    {"VK_PLAY", "Play"}, {"VK_ZOOM", "Zoom"}, {"VK_BROWSER_BACK", "Back"},
    {"VK_BROWSER_FORWARD", "Forward"}, {"VK_BROWSER_REFRESH", "Refresh"},
    {"VK_BROWSER_STOP", "Stop loading"}, {"VK_BROWSER_SEARCH", "Search"},
    {"VK_BROWSER_FAVORITES", "Favorites"}, {"VK_BROWSER_HOME", "Home page"},
    {"VK_LAUNCH_MAIL", "Mail"}, {"VK_LAUNCH_MEDIA_SELECT", "Media player"},
    {"VK_LAUNCH_APP1", "Start app 1"}, {"VK_LAUNCH_APP2", "Start app 2"}, {"VK_SLEEP", "Sleep"},
    {"PageUp", "Page up"}, {"PageDown", "Page down"}, {"VK_SNAPSHOT", "Print screen"},
    {"VK_PAUSE", "Pause"}, {"VK_CANCEL", "Break"}, {"VK_CAPITAL", "Caps lock"},
    {"VK_NUMLOCK", "Num lock"}, {"VK_SCROLL", "Scroll lock"}, {"VK_APPS", "Menu"},
    {"VK_CLEAR", "Clear"}, {"VK_HELP", "Help"}, {"VK_RWIN", "Win"}, {"VK_LSHIFT", "Shift"},
    {"VK_RSHIFT", "Shift"}, {"VK_LCONTROL", "Ctrl"}, {"VK_RCONTROL", "Ctrl"}, {"VK_LMENU", "Alt"},
    {"VK_RMENU", "Alt"}, {"VK_NUMPAD0", "Num 0"}, {"VK_NUMPAD1", "Num 1"}, {"VK_NUMPAD2", "Num 2"},
    {"VK_NUMPAD3", "Num 3"}, {"VK_NUMPAD4", "Num 4"}, {"VK_NUMPAD5", "Num 5"},
    {"VK_NUMPAD6", "Num 6"}, {"VK_NUMPAD7", "Num 7"}, {"VK_NUMPAD8", "Num 8"},
    {"VK_NUMPAD9", "Num 9"}, {"VK_MULTIPLY", "Num *"}, {"VK_ADD", "Num +"},
    {"VK_SUBTRACT", "Num -"}, {"VK_DECIMAL", "Num ."}, {"VK_DIVIDE", "Num /"},
};
// How the display shows a run:, show: and type: action, before the program's
// name or the text; and a mode.
const char kRunDisplay[] = "run: ";
const char kShowDisplay[] = "show: ";
const char kTypeDisplay[] = "type: ";
const char kPointerDisplay[] = "mouse: ";
const char kModeDisplay[] = " mode"; // after its name: "Mouse mode"
const char kModeOffDisplay[] = "Mode off";
// After the state in the tip and the menu: "...; Mouse mode".
const char kModeAfter[] = "; ";
const char kMenuLeaveMode[] = "Leave the &mode: normal keys";

// Keystrokes and clicks Windows would drop: the program in front has more
// rights than halyard-keys. The display and the last-key line say
// "Not sent: vlc.exe runs as administrator"; a notification once per program.
const char kNotSent[] = "Not sent: ";
const char kProgramInFront[] = "the program in front"; // when its file name can't be read
const char kRunsAsAdmin[] = " runs as administrator";
const char kNotSentAfter[] = ". "; // the last-key line: "KEY_OK = Enter. Not sent: ..."
const char kNotSentTitle[] = "Keys can't reach ";
const char kNotSentText1[] =
    " runs as administrator, and Windows does not let a program with fewer rights send it "
    "keystrokes or clicks. Start ";
const char kNotSentText2[] =
    " without administrator rights, or start halyard-keys as administrator too (right-click "
    "it, Run as administrator). Other programs keep getting their keys.";

// Map a key's choices of what a key does, in ActionChoice::Kind's order.
const char* const kActionKinds[] = {
    "A keystroke", "Several keystrokes", "A common action", "Type text",
    "Run a program", "Show a program",  "Switch mode",     "Nothing",
};
// The first entry of its list of modes: mode: off.
const char kModeOffChoice[] = "off (the normal keys)";
// The sequence field's hint while it is empty.
const char kSequenceHint[] = "Ctrl+C, wait 100, Ctrl+V";
// Why Map a key's answers make no line. {1}: the detail the error carries.
const char kFormNoKeystroke[] = "Type the keystroke into the box beside A keystroke.";
const char kFormNoSequence[] =
    "Type the keystrokes, separated by commas, with waits between them if needed: "
    "Ctrl+C, wait 100, Ctrl+V.";
const char kFormNotASequence[] =
    "Several keystrokes holds key combinations and waits alone; choose repeating and the long "
    "press under When held, and the other actions in the list.";
const char kFormNoCommonAction[] = "Choose an action from the list.";
const char kFormNoText[] = "Type the text to type into the box beside Type text.";
const char kFormTypeActsOnce[] =
    "Typed text acts once: everything after type: is text, so it cannot repeat or have a "
    "long press.";
const char kFormNoCommand[] = "Give the program to run (Browse...).";
const char kFormNoShow[] =
    "Give the program to show: its file name, as in vlc.exe, or its command line (Browse...).";
const char kFormNoMode[] = "Choose a mode from the list, or off.";
const char kFormNoModeSection[] =
    "The settings file has no [Mode:{1}] section, so the key map would not take mode: {1}. "
    "Add the mode's keys there first (Edit key map), or choose a mode of the list.";
const char kFormBadProgram[] =
    "Give the program's file name alone, as in vlc.exe, or choose All programs.";
const char kFormMapRefuses[] = "The key map would not take it: {1}";
const char kFormHeld[] = "When held: {1}";

// The LIRC server: [Network], its notifications, --check and its replies.
const char kMenuShareRemote[] = "Share the remote with &LIRC programs";
const char kLircDefaultRemote[] = "Halyard";
const char kNetBadRemoteName[] = "RemoteName '";
const char kNetQuoteEnd[] = "' ";
const char kNetApplies[] =
    " applies: a remote's name is one word of letters, digits and punctuation.";
const char kNetBadAllowSimulate[] = "AllowSimulate must be 0 (off) or 1 (on); 0 applies.";
const char kNetBadAllowFrom[] = "AllowFrom: '";
const char kNetNotAnAddress[] = "is not an address (192.168.1.20) or a network (192.168.1.0/24); ";
const char kNetOnlyThisPc[] = "connections are taken from this PC only.";
const char kNetNothingListens[] = "nothing listens.";
const char kNetUnknownOption[] = "unknown option '";
const char kNetKnownOptions[] = "' (known: Listen, AllowFrom, RemoteName, AllowSimulate).";
const char kNetBadListen[] = "Listen '";
const char kNetListenForm[] =
    "is not an IPv4 address and a port, as in Listen=127.0.0.1:8765; nothing listens.";
const char kNetListenRefused[] = "Listen=";
const char kNetNeedsAllowFrom[] =
    " is refused: other computers could send to it, so it needs AllowFrom= with the "
    "addresses or networks that may connect (AllowFrom=192.168.1.0/24). Nothing listens.";
const char kNetReportOff[] =
    "[Network] LIRC server off: nothing listens (Listen= is not set).";
const char kNetReportOn[] = "[Network] LIRC events on ";
const char kNetReportRemote[] = " as remote ";
const char kNetReportThisPc[] = "  Connections from this PC only.";
const char kNetReportAllowFrom[] = "  Connections from this PC and from ";
const char kNetReportSimulateOn[] = "  SIMULATE is accepted from this PC (AllowSimulate=1).";
const char kNetReportSimulateOff[] = "  SIMULATE is refused.";
const char kNetSocketsFailed[] = "Windows Sockets could not start: ";
const char kNetPortInUse[] = "Another program already uses ";
const char kNetPortInUseEnd[] =
    ". Close it, or choose another port with Listen= under [Network]. The remote's keys "
    "work as before.";
const char kNetListenFailed[] = "Cannot listen on ";
const char kNetNotSharedTitle[] = "The remote is not shared with LIRC programs";
const char kNetProblemsTitle[] = "Problems in [Network]";
const char kNetShareFailedTitle[] = "Could not change Share the remote";
const char kLircVersionPrefix[] = "halyard-keys-"; // and the version
const char kLircUnknownRemote[] = "unknown remote: \"";
const char kLircUnknownButton[] = "unknown command: \"";
const char kLircUnknownDirective[] = "unknown directive: \"";
const char kLircBadPacket[] = "bad send packet";
const char kLircNoTransmitter[] = "halyard-keys has no transmitter: it only receives";
const char kLircSimulateOff[] = "SIMULATE command is disabled";
const char kLircSimulateLoopback[] = "SIMULATE is accepted from this PC only";
const char kLircSimulateForm[] =
    "SIMULATE needs <16 hex digits> <hex repeat> <button> <remote>";
// Told to a client past the limit, before its connection is closed.
const char kLircTooMany[] =
    "BEGIN\nCONNECT\nERROR\nDATA\n1\nhalyard-keys serves 16 clients at most; closing\nEND\n";

} // namespace strings
