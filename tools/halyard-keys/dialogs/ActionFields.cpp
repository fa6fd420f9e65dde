#include "ActionFields.h"

#include <commdlg.h>
#include <commctrl.h>

#include "DialogText.h"
#include "DisplayText.h"
#include "MappingValue.h"
#include "Strings.h"
#include "Text.h"
#include "Words.h"
#include "resource.h"

namespace {

// How the dialog lists a common action: "Volume up", "Alt+F4".
std::string CommonActionLabel(const std::string& keys)
{
    KeyMapping mapping;
    std::string ignored;
    return ParseMappingValue(keys, &mapping, &ignored) ? ActionDisplayText(mapping.action) : keys;
}

void AddItem(HWND list, const std::string& text)
{
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(text).c_str()));
}

} // namespace

void ActionFields::Init(HWND dialog, const KeyMap& map)
{
    dialog_ = dialog;
    for (const char* kind : strings::kActionKinds)
        AddItem(GetDlgItem(dialog_, ids_.kind), kind);
    SendDlgItemMessageW(dialog_, ids_.kind, CB_SETCURSEL, 0, 0);
    for (const std::string& keys : CommonActions())
        AddItem(GetDlgItem(dialog_, ids_.common), CommonActionLabel(keys));
    // Off first, then the modes in the file's order: the list is not sorted.
    AddItem(GetDlgItem(dialog_, ids_.mode), strings::kModeOffChoice);
    for (const std::string& mode : ModesOf(map))
        AddItem(GetDlgItem(dialog_, ids_.mode), mode);
    SendDlgItemMessageW(dialog_, ids_.mode, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageW(dialog_, ids_.sequence, EM_SETCUEBANNER, TRUE,
                        reinterpret_cast<LPARAM>(Widen(strings::kSequenceHint).c_str()));
    ShowKindFields();
}

ActionChoice::Kind ActionFields::Kind() const
{
    LRESULT kind = SendDlgItemMessageW(dialog_, ids_.kind, CB_GETCURSEL, 0, 0);
    return kind == CB_ERR ? ActionChoice::Kind::Keystroke : static_cast<ActionChoice::Kind>(kind);
}

void ActionFields::ShowKindFields()
{
    using K = ActionChoice::Kind;
    K kind = Kind();
    auto show = [&](int id, bool shown) {
        ShowWindow(GetDlgItem(dialog_, id), shown ? SW_SHOW : SW_HIDE);
    };
    show(ids_.keys, kind == K::Keystroke);
    show(ids_.sequence, kind == K::Sequence);
    show(ids_.common, kind == K::Common);
    show(ids_.text, kind == K::Type);
    // One command line for both: switching between them keeps what was typed.
    show(ids_.command, kind == K::Run || kind == K::Show);
    show(ids_.browse, kind == K::Run || kind == K::Show);
    show(ids_.mode, kind == K::Mode);
    show(ids_.once, kind == K::Mode);
}

void ActionFields::Enable(bool enabled)
{
    for (int id : {ids_.kind, ids_.keys, ids_.sequence, ids_.common, ids_.text, ids_.command,
                   ids_.browse, ids_.mode, ids_.once})
        EnableWindow(GetDlgItem(dialog_, id), enabled);
}

void ActionFields::Show(const ActionChoice& choice)
{
    SendDlgItemMessageW(dialog_, ids_.kind, CB_SETCURSEL, static_cast<WPARAM>(choice.kind), 0);
    SetDlgItemTextW(dialog_, ids_.keys, Widen(choice.keys).c_str());
    SetDlgItemTextW(dialog_, ids_.sequence, Widen(choice.sequence).c_str());
    SendDlgItemMessageW(dialog_, ids_.common, CB_SETCURSEL,
                        choice.kind == ActionChoice::Kind::Common ? choice.common : WPARAM(-1), 0);
    SetDlgItemTextW(dialog_, ids_.text, Widen(choice.text).c_str());
    SetDlgItemTextW(dialog_, ids_.command, Widen(choice.command).c_str());
    if (choice.kind == ActionChoice::Kind::Mode) {
        // Off is the list's first entry; a mode by its name in the list.
        LRESULT at = SameWord(choice.mode, "off")
                         ? 0
                         : SendDlgItemMessageW(dialog_, ids_.mode, CB_FINDSTRINGEXACT, WPARAM(-1),
                                               reinterpret_cast<LPARAM>(Widen(choice.mode).c_str()));
        SendDlgItemMessageW(dialog_, ids_.mode, CB_SETCURSEL, at, 0);
        if (at == CB_ERR)
            SetDlgItemTextW(dialog_, ids_.mode, Widen(choice.mode).c_str());
        CheckDlgButton(dialog_, ids_.once, choice.once ? BST_CHECKED : BST_UNCHECKED);
    }
    ShowKindFields();
}

ActionChoice ActionFields::Read() const
{
    ActionChoice choice;
    choice.kind = Kind();
    choice.keys = Utf8FromWide(WindowText(GetDlgItem(dialog_, ids_.keys)));
    choice.sequence = Utf8FromWide(WindowText(GetDlgItem(dialog_, ids_.sequence)));
    LRESULT common = SendDlgItemMessageW(dialog_, ids_.common, CB_GETCURSEL, 0, 0);
    choice.common = common == CB_ERR ? CommonActions().size() : static_cast<size_t>(common);
    choice.text = Utf8FromWide(WindowText(GetDlgItem(dialog_, ids_.text)));
    choice.command = Utf8FromWide(WindowText(GetDlgItem(dialog_, ids_.command)));
    // The list can be typed into: a mode whose section is still to be written.
    choice.mode = Utf8FromWide(WindowText(GetDlgItem(dialog_, ids_.mode)));
    if (choice.mode == strings::kModeOffChoice)
        choice.mode = "off";
    choice.once = IsDlgButtonChecked(dialog_, ids_.once) == BST_CHECKED;
    return choice;
}

bool ActionFields::Command(int id, int code)
{
    if (id == ids_.kind) {
        if (code == CBN_SELCHANGE)
            ShowKindFields();
        return true;
    }
    if (id == ids_.browse) {
        Browse();
        return true;
    }
    return false;
}

void ActionFields::Browse()
{
    wchar_t path[MAX_PATH * 2] = L"";
    std::wstring filter = LoadText(IDS_BROWSE_FILTER);
    for (wchar_t& c : filter)
        c = c == L'|' ? L'\0' : c;
    std::wstring title = LoadText(IDS_BROWSE_TITLE);
    OPENFILENAMEW open = {};
    open.lStructSize = sizeof(open);
    open.hwndOwner = dialog_;
    open.lpstrFilter = filter.c_str();
    open.lpstrFile = path;
    open.nMaxFile = sizeof(path) / sizeof(path[0]);
    open.lpstrTitle = title.c_str();
    open.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&open))
        return;
    std::wstring command = path;
    // A command line: a path with spaces in it is quoted, as it must be.
    if (command.find(L' ') != std::wstring::npos)
        command = L"\"" + command + L"\"";
    SetDlgItemTextW(dialog_, ids_.command, command.c_str());
    SetFocus(GetDlgItem(dialog_, ids_.command));
}
