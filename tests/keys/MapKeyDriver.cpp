// Drives halyard-keys' Map a key dialog in the end-to-end test, through its
// controls' identifiers, as a user would fill it in:
//   map-key-driver CODE KEYSTROKE   waits until the dialog shows the remote
//       key CODE ("0x33 (51)"), types KEYSTROKE into the capture field, picks
//       "All programs", presses Save and prints the status line; exits 0
//       when it says Saved
//   map-key-driver CODE --sequence KEYS
//                                   the same with "Several keystrokes" and
//       KEYS typed into its field
//   map-key-driver CODE --mode NAME [--once]
//                                   the same with "Switch mode": NAME chosen
//       from the list when it is there, else typed, and once checked or not
//   map-key-driver --wait           waits until the dialog is open
//   map-key-driver --close          closes the dialog

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "resource.h"

namespace {

const wchar_t kTitle[] = L"Map a key - Halyard keys";
const DWORD kWaitMs = 20000;

std::string Text(HWND dialog, int id)
{
    char text[512] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

HWND WaitForDialog(const char* code)
{
    DWORD scale = 1;
    if (const char* s = getenv("HALYARD_TIME_SCALE"))
        scale = atoi(s) > 0 ? atoi(s) : 1;
    for (DWORD waited = 0; waited < kWaitMs * scale; waited += 100) {
        HWND dialog = FindWindowW(L"#32770", kTitle);
        if (dialog && (!code || Text(dialog, IDC_MAP_KEY_CODE).compare(0, strlen(code), code) == 0))
            return dialog;
        Sleep(100);
    }
    return nullptr;
}

void Select(HWND dialog, int id, WPARAM index)
{
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// An entry of a list by its text, as the user reads it; false when absent.
bool SelectText(HWND dialog, int id, const char* text)
{
    LRESULT at = SendDlgItemMessageA(dialog, id, CB_FINDSTRINGEXACT, WPARAM(-1),
                                     reinterpret_cast<LPARAM>(text));
    if (at == CB_ERR)
        return false;
    Select(dialog, id, at);
    return true;
}

// The field the kind shows must be the one that is visible: what a user
// could type into.
bool Fill(HWND dialog, const char* kind, int field, const char* text)
{
    if (!SelectText(dialog, IDC_ACTION_KIND, kind)) {
        fprintf(stderr, "no kind \"%s\" in the list\n", kind);
        return false;
    }
    if (!IsWindowVisible(GetDlgItem(dialog, field))) {
        fprintf(stderr, "choosing \"%s\" did not show its field\n", kind);
        return false;
    }
    SetDlgItemTextA(dialog, field, text);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && strcmp(argv[1], "--wait") == 0)
        return WaitForDialog(nullptr) ? 0 : 1;
    if (argc == 2 && strcmp(argv[1], "--close") == 0) {
        HWND dialog = WaitForDialog(nullptr);
        return dialog && PostMessageW(dialog, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    bool sequence = argc >= 4 && strcmp(argv[2], "--sequence") == 0;
    bool mode = argc >= 4 && strcmp(argv[2], "--mode") == 0;
    bool once = mode && argc == 5 && strcmp(argv[4], "--once") == 0;
    if (argc != 3 && !((sequence || mode) && (argc == 4 || once))) {
        fprintf(stderr, "usage: map-key-driver CODE KEYSTROKE | CODE --sequence KEYS | "
                        "CODE --mode NAME [--once] | --wait | --close\n");
        return 2;
    }
    HWND dialog = WaitForDialog(argv[1]);
    if (!dialog) {
        fprintf(stderr, "no Map a key dialog showing the key %s\n", argv[1]);
        return 1;
    }
    printf("%s\n", Text(dialog, IDC_MAP_KEY_NOW).c_str());
    SendMessageW(dialog, WM_COMMAND, IDC_ALL_PROGRAMS, 0);
    CheckRadioButton(dialog, IDC_ALL_PROGRAMS, IDC_ONE_PROGRAM, IDC_ALL_PROGRAMS);
    Select(dialog, IDC_HELD, 0); // acts once
    if (sequence) {
        if (!Fill(dialog, "Several keystrokes", IDC_ACTION_SEQUENCE, argv[3]))
            return 1;
    } else if (mode) {
        if (!Fill(dialog, "Switch mode", IDC_ACTION_MODE, argv[3]))
            return 1;
        SelectText(dialog, IDC_ACTION_MODE, argv[3]);
        CheckDlgButton(dialog, IDC_ACTION_ONCE, once ? BST_CHECKED : BST_UNCHECKED);
    } else {
        Select(dialog, IDC_ACTION_KIND, 0); // a keystroke
        SetDlgItemTextA(dialog, IDC_ACTION_KEYS, argv[2]);
    }
    SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    std::string status = Text(dialog, IDC_STATUS);
    printf("%s\n", status.c_str());
    return status.compare(0, 5, "Saved") == 0 ? 0 : 1;
}
