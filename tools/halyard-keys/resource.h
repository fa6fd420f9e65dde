#pragma once

// Resource identifiers of halyard-keys.rc. Tests that drive the Map a key
// dialog find its controls by these numbers.
#define IDI_ACTIVE 1   // listening: the program's icon
#define IDI_INACTIVE 2 // paused or not started

// The Map a key dialog.
#define IDD_MAP_KEY 100
#define IDC_MAP_KEY_CODE 101    // which remote key: "0x12 (18)", or a request to press one
#define IDC_MAP_KEY_NOW 102     // what it does now, and in which section
#define IDC_ACTION_KIND 103     // the kinds of ActionChoice, in its order
#define IDC_ACTION_KEYS 104     // the keystroke capture field
#define IDC_ACTION_COMMON 105   // the common actions
#define IDC_ACTION_COMMAND 106  // the program's command line
#define IDC_ACTION_BROWSE 107
#define IDC_HELD 108            // once, repeat, repeat fast, something else
#define IDC_LONG_KIND 109       // the same four controls for the long action
#define IDC_LONG_KEYS 110
#define IDC_LONG_COMMON 111
#define IDC_LONG_COMMAND 112
#define IDC_LONG_BROWSE 113
#define IDC_ALL_PROGRAMS 114
#define IDC_ONE_PROGRAM 115
#define IDC_PROGRAM 116         // the program's file name: the ones with windows open, or typed
#define IDC_STATUS 117          // what Save or Remove did, or why not
#define IDC_REMOVE 118
#define IDC_HELD_LABEL 119
#define IDC_LONG_LABEL 120
#define IDC_ACTION_SEQUENCE 121 // keystrokes and waits, typed: "Ctrl+C, wait 100, Ctrl+V"
#define IDC_ACTION_TEXT 122     // the text to type
#define IDC_ACTION_MODE 123     // off, the map's modes, or one typed
#define IDC_ACTION_ONCE 124     // the mode for one key
#define IDC_LONG_SEQUENCE 125   // the same four for the long action
#define IDC_LONG_TEXT 126
#define IDC_LONG_MODE 127
#define IDC_LONG_ONCE 128
// IDOK is Save, IDCANCEL Close.

// The string table: the dialog's texts (the form's own are in Strings.h).
#define IDS_HELD_ONCE 210
#define IDS_HELD_REPEAT 211
#define IDS_HELD_REPEAT_FAST 212
#define IDS_HELD_LONG 213
#define IDS_PRESS_A_KEY 220
#define IDS_KEY_CODE 221        // "Key %s"
#define IDS_NOW_MAPPED 222      // "Now: %s (from %s)"
#define IDS_NOW_NOT_MAPPED 223
#define IDS_SAVED 224           // "Saved: %s in [%s]."
#define IDS_SAVED_RELOADED 225  // the same, into a file changed since it was opened
#define IDS_REMOVED 226         // "Removed %s from [%s]."
#define IDS_NOT_THERE 227       // "%s is not mapped in [%s]."
#define IDS_SAVE_FAILED 228     // "Not saved: %s"
#define IDS_NO_KEY_YET 229
#define IDS_BROWSE_TITLE 230
#define IDS_BROWSE_FILTER 231   // "Programs|*.exe|All files|*.*", '|' for the NULs
#define IDS_CANNOT_HEAR 232     // "... {1} reads it ...": another program reads the tuner

// The Set up the remote dialog.
#define IDD_SETUP 300
#define IDC_SETUP_STEP 301      // "Button 3 of 31", or the last page's title
#define IDC_SETUP_PROGRESS 302
#define IDC_SETUP_ASK 303       // "Press OK on the remote."
#define IDC_SETUP_NAME 304      // the name waited for: "KEY_OK"; empty on the last page
#define IDC_SETUP_HEARD 305     // what was heard, or which name a code has already
#define IDC_SETUP_COMMON 306    // the last page: give the named buttons their common actions
#define IDC_SETUP_STATUS 307    // what saving did, or why not
#define IDC_SETUP_BACK 308
#define IDC_SETUP_SKIP 309
#define IDC_SETUP_NAME_LABEL 310
#define IDC_SETUP_SO_FAR 311    // the buttons named so far, while asking
// IDOK is Finish, then Save on the last page; IDCANCEL Cancel, then Close.

#define IDS_SETUP_STEP 400          // "Button {1} of {2}"
#define IDS_SETUP_PRESS 401         // "Press {1} on the remote."
#define IDS_SETUP_NAMED_NOW 402     // "Named in this setup: {1}. ..."
#define IDS_SETUP_TAKEN 403         // "Heard {1}: it is {2} now."
#define IDS_SETUP_POINTED_OUT 404   // "{1} is {2} already. ..."
#define IDS_SETUP_READY 405         // "{1} buttons named: {2}"
#define IDS_SETUP_NONE 406
#define IDS_SETUP_LAST_PAGE 407
#define IDS_SETUP_FINISH 408
#define IDS_SETUP_SAVE 409
#define IDS_SETUP_CLOSE 410
#define IDS_SETUP_SAVED 411         // "Saved: {1} lines added ..."
#define IDS_SETUP_SAVED_RELOADED 412
#define IDS_SETUP_NOTHING_TO_ADD 413
#define IDS_SETUP_WAIT_BUTTON 414   // the last page, before saving
#define IDS_SETUP_SO_FAR 415        // "Named so far: OK 0x12, Up 0x1A"
// The buttons of SetupButtons(), in its order.
#define IDS_SETUP_BUTTON_FIRST 450
