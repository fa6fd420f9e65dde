// Drives halyard-keys' Set up the remote dialog in the end-to-end test,
// through its controls' identifiers, as a user would:
//   setup-driver --wait          waits until the dialog is open
//   setup-driver --at NAME       waits until it asks for the button NAME (KEY_OK)
//   setup-driver --heard TEXT    waits until what it heard says TEXT; prints it
//   setup-driver --skip          Skip
//   setup-driver --finish        Finish: on to the last page, whose common
//                                actions must be checked as it opens
//   setup-driver --save          Save; prints the status, exits 0 when saved
//   setup-driver --close         closes the dialog
// Each exits 1 when the dialog does not get there in time.

#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "resource.h"

namespace {

const wchar_t kTitle[] = L"Set up the remote - Halyard keys";
const DWORD kWaitMs = 20000;

std::string Text(HWND dialog, int id)
{
    char text[512] = "";
    GetDlgItemTextA(dialog, id, text, sizeof(text));
    return text;
}

// Waits until the dialog is open and, with id, until that control's text
// holds want (is want, when exact).
HWND WaitFor(int id = 0, const char* want = nullptr, bool exact = false)
{
    DWORD scale = 1;
    if (const char* s = getenv("HALYARD_TIME_SCALE"))
        scale = atoi(s) > 0 ? atoi(s) : 1;
    for (DWORD waited = 0; waited < kWaitMs * scale; waited += 100) {
        HWND dialog = FindWindowW(L"#32770", kTitle);
        if (dialog && !want)
            return dialog;
        if (dialog) {
            std::string text = Text(dialog, id);
            if (exact ? text == want : text.find(want) != std::string::npos)
                return dialog;
        }
        Sleep(100);
    }
    return nullptr;
}

bool Click(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    if (!button || !IsWindowEnabled(button))
        return false;
    SendMessageW(button, BM_CLICK, 0, 0);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::string command = argc >= 2 ? argv[1] : "";
    const char* value = argc >= 3 ? argv[2] : nullptr;
    HWND dialog = nullptr;
    if (command == "--wait" && argc == 2)
        return WaitFor() ? 0 : 1;
    if (command == "--at" && value) {
        if (WaitFor(IDC_SETUP_NAME, value, true))
            return 0;
        HWND open = WaitFor();
        fprintf(stderr, "the dialog does not ask for %s: it asks for '%s'\n", value,
                open ? Text(open, IDC_SETUP_NAME).c_str() : "(no dialog)");
        return 1;
    }
    if (command == "--heard" && value) {
        dialog = WaitFor(IDC_SETUP_HEARD, value);
        HWND open = dialog ? dialog : WaitFor();
        printf("%s\n", open ? Text(open, IDC_SETUP_HEARD).c_str() : "(no dialog)");
        return dialog ? 0 : 1;
    }
    if (command == "--skip" && argc == 2)
        return (dialog = WaitFor()) && Click(dialog, IDC_SETUP_SKIP) ? 0 : 1;
    if (command == "--finish" && argc == 2) {
        if (!(dialog = WaitFor()) || !Click(dialog, IDOK))
            return 1;
        // The offer of common actions, checked by default.
        return IsWindowVisible(GetDlgItem(dialog, IDC_SETUP_COMMON)) &&
                       IsDlgButtonChecked(dialog, IDC_SETUP_COMMON) == BST_CHECKED
                   ? 0
                   : 1;
    }
    if (command == "--save" && argc == 2) {
        if (!(dialog = WaitFor()) || !Click(dialog, IDOK))
            return 1;
        std::string status = Text(dialog, IDC_SETUP_STATUS);
        printf("%s\n", status.c_str());
        return status.compare(0, 6, "Saved:") == 0 ? 0 : 1;
    }
    if (command == "--close" && argc == 2)
        return (dialog = WaitFor()) && PostMessageW(dialog, WM_CLOSE, 0, 0) ? 0 : 1;
    fprintf(stderr, "usage: setup-driver --wait | --at NAME | --heard TEXT | --skip | --finish "
                    "| --save | --close\n");
    return 2;
}
