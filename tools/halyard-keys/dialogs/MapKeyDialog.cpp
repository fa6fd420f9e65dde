#include "MapKeyDialog.h"

#include <commdlg.h>

#include <utility>

#include "DialogText.h"
#include "ButtonLines.h"
#include "DisplayText.h"
#include "KeyCaptureField.h"
#include "MappingValue.h"
#include "Words.h"
#include "RunningPrograms.h"
#include "Strings.h"
#include "Text.h"
#include "resource.h"

namespace {

// The kinds of action in ActionChoice::Kind's order, the held choices in
// MappingChoices::Held's.
const UINT kKindStrings[] = {IDS_KIND_KEYSTROKE, IDS_KIND_COMMON, IDS_KIND_RUN, IDS_KIND_NOTHING};
const UINT kHeldStrings[] = {IDS_HELD_ONCE, IDS_HELD_REPEAT, IDS_HELD_REPEAT_FAST, IDS_HELD_LONG};

std::wstring WindowText(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring text(length + 1, L'\0');
    text.resize(GetWindowTextW(window, &text[0], length + 1));
    return text;
}

// How the dialog lists a common action: "Volume up", "Alt+F4".
std::string CommonActionLabel(const std::string& keys)
{
    KeyMapping mapping;
    std::string ignored;
    return ParseMappingValue(keys, &mapping, &ignored) ? ActionDisplayText(mapping.action) : keys;
}

} // namespace

const MapKeyDialog::ActionControls MapKeyDialog::kAction = {
    IDC_ACTION_KIND, IDC_ACTION_KEYS, IDC_ACTION_COMMON, IDC_ACTION_COMMAND, IDC_ACTION_BROWSE};
const MapKeyDialog::ActionControls MapKeyDialog::kLong = {
    IDC_LONG_KIND, IDC_LONG_KEYS, IDC_LONG_COMMON, IDC_LONG_COMMAND, IDC_LONG_BROWSE};

MapKeyDialog::MapKeyDialog(Host host)
    : CaptureDialog(IDD_MAP_KEY, std::move(host), strings::kToMapKey), file_(host_.settingsPath)
{
}

void MapKeyDialog::Pressed(unsigned code)
{
    // The same key pressed again: the choices made meanwhile stay.
    if (!dialog_ || (hasKey_ && code == code_))
        return;
    hasKey_ = true;
    code_ = code;
    SetDlgItemTextW(dialog_, IDC_MAP_KEY_CODE, Widen(DescribeButton(host_.map(), code)).c_str());
    StartFromMapping();
    ShowNow();
    Status(std::wstring());
}

INT_PTR MapKeyDialog::Handle(UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_COMMAND) {
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void MapKeyDialog::Init()
{
    std::string error;
    if (!file_.Load(&error))
        Status(FillText(Text(IDS_SAVE_FAILED), Widen(error)));
    for (const ActionControls* controls : {&kAction, &kLong}) {
        AttachKeyCapture(GetDlgItem(dialog_, controls->keys));
        for (UINT id : kKindStrings)
            SendDlgItemMessageW(dialog_, controls->kind, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(Text(id).c_str()));
        SendDlgItemMessageW(dialog_, controls->kind, CB_SETCURSEL, 0, 0);
        for (const std::string& keys : CommonActions())
            SendDlgItemMessageW(dialog_, controls->common, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(Widen(CommonActionLabel(keys)).c_str()));
        ShowKindFields(*controls);
    }
    for (UINT id : kHeldStrings)
        SendDlgItemMessageW(dialog_, IDC_HELD, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(Text(id).c_str()));
    SendDlgItemMessageW(dialog_, IDC_HELD, CB_SETCURSEL, 0, 0);
    ShowHeldFields();
    for (const std::string& program : ProgramsWithWindows())
        SendDlgItemMessageW(dialog_, IDC_PROGRAM, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(Widen(program).c_str()));
    CheckRadioButton(dialog_, IDC_ALL_PROGRAMS, IDC_ONE_PROGRAM, IDC_ALL_PROGRAMS);
    EnableWindow(GetDlgItem(dialog_, IDC_PROGRAM), FALSE);
    ShowKeyRequest();
}

void MapKeyDialog::SetUnheard(const std::wstring& reader)
{
    unheard_ = reader;
    if (dialog_ && !hasKey_)
        ShowKeyRequest();
}

void MapKeyDialog::ShowKeyRequest()
{
    std::wstring text = unheard_.empty() ? Text(IDS_PRESS_A_KEY)
                                         : FillText(Text(IDS_CANNOT_HEAR), unheard_);
    SetDlgItemTextW(dialog_, IDC_MAP_KEY_CODE, text.c_str());
}

void MapKeyDialog::OnCommand(int id, int code)
{
    switch (id) {
    case IDOK:
        Save();
        break;
    case IDC_REMOVE:
        Remove();
        break;
    case IDCANCEL:
        DestroyWindow(dialog_);
        break;
    case IDC_ACTION_KIND:
    case IDC_LONG_KIND:
        if (code == CBN_SELCHANGE)
            ShowKindFields(id == IDC_ACTION_KIND ? kAction : kLong);
        break;
    case IDC_HELD:
        if (code == CBN_SELCHANGE)
            ShowHeldFields();
        break;
    case IDC_ACTION_BROWSE:
    case IDC_LONG_BROWSE:
        Browse(id == IDC_ACTION_BROWSE ? kAction : kLong);
        break;
    case IDC_ALL_PROGRAMS:
    case IDC_ONE_PROGRAM:
        EnableWindow(GetDlgItem(dialog_, IDC_PROGRAM), id == IDC_ONE_PROGRAM);
        StartFromMapping();
        ShowNow();
        break;
    case IDC_PROGRAM:
        if (code == CBN_SELCHANGE || code == CBN_KILLFOCUS) {
            // The list's text changes after the notice: read it afterwards.
            if (code == CBN_SELCHANGE) {
                LRESULT at = SendDlgItemMessageW(dialog_, IDC_PROGRAM, CB_GETCURSEL, 0, 0);
                wchar_t name[MAX_PATH] = L"";
                if (at != CB_ERR &&
                    SendDlgItemMessageW(dialog_, IDC_PROGRAM, CB_GETLBTEXTLEN, at, 0) < MAX_PATH)
                    SendDlgItemMessageW(dialog_, IDC_PROGRAM, CB_GETLBTEXT, at,
                                        reinterpret_cast<LPARAM>(name));
                SetDlgItemTextW(dialog_, IDC_PROGRAM, name);
            }
            StartFromMapping();
            ShowNow();
        }
        break;
    }
}

void MapKeyDialog::ShowKindFields(const ActionControls& controls)
{
    auto kind = static_cast<ActionChoice::Kind>(
        SendDlgItemMessageW(dialog_, controls.kind, CB_GETCURSEL, 0, 0));
    auto show = [&](int id, bool shown) {
        ShowWindow(GetDlgItem(dialog_, id), shown ? SW_SHOW : SW_HIDE);
    };
    show(controls.keys, kind == ActionChoice::Kind::Keystroke);
    show(controls.common, kind == ActionChoice::Kind::Common);
    show(controls.command, kind == ActionChoice::Kind::Run);
    show(controls.browse, kind == ActionChoice::Kind::Run);
}

void MapKeyDialog::ShowHeldFields()
{
    bool other = SendDlgItemMessageW(dialog_, IDC_HELD, CB_GETCURSEL, 0, 0) ==
                 static_cast<LRESULT>(MappingChoices::Held::Long);
    for (int id : {IDC_LONG_LABEL, kLong.kind, kLong.keys, kLong.common, kLong.command,
                   kLong.browse})
        EnableWindow(GetDlgItem(dialog_, id), other);
}

void MapKeyDialog::ShowAction(const ActionControls& controls, const ActionChoice& choice)
{
    SendDlgItemMessageW(dialog_, controls.kind, CB_SETCURSEL, static_cast<WPARAM>(choice.kind), 0);
    SetDlgItemTextW(dialog_, controls.keys, Widen(choice.keys).c_str());
    SendDlgItemMessageW(dialog_, controls.common, CB_SETCURSEL,
                        choice.kind == ActionChoice::Kind::Common ? choice.common : WPARAM(-1), 0);
    SetDlgItemTextW(dialog_, controls.command, Widen(choice.command).c_str());
    ShowKindFields(controls);
}

ActionChoice MapKeyDialog::ReadAction(const ActionControls& controls) const
{
    ActionChoice choice;
    LRESULT kind = SendDlgItemMessageW(dialog_, controls.kind, CB_GETCURSEL, 0, 0);
    choice.kind = kind == CB_ERR ? ActionChoice::Kind::Keystroke
                                 : static_cast<ActionChoice::Kind>(kind);
    choice.keys = Utf8FromWide(WindowText(GetDlgItem(dialog_, controls.keys)));
    LRESULT common = SendDlgItemMessageW(dialog_, controls.common, CB_GETCURSEL, 0, 0);
    choice.common = common == CB_ERR ? CommonActions().size() : static_cast<size_t>(common);
    choice.command = Utf8FromWide(WindowText(GetDlgItem(dialog_, controls.command)));
    return choice;
}

void MapKeyDialog::Browse(const ActionControls& controls)
{
    wchar_t path[MAX_PATH * 2] = L"";
    std::wstring filter = Text(IDS_BROWSE_FILTER);
    for (wchar_t& c : filter)
        c = c == L'|' ? L'\0' : c;
    std::wstring title = Text(IDS_BROWSE_TITLE);
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
    SetDlgItemTextW(dialog_, controls.command, command.c_str());
    SetFocus(GetDlgItem(dialog_, controls.command));
}

bool MapKeyDialog::ReadScope(std::string* section, std::string* program)
{
    program->clear();
    if (IsDlgButtonChecked(dialog_, IDC_ONE_PROGRAM) == BST_CHECKED)
        *program = Utf8FromWide(WindowText(GetDlgItem(dialog_, IDC_PROGRAM)));
    FormError error;
    if (SectionFor(*program, section, &error)) {
        *program = TrimSpace(*program);
        return true;
    }
    Status(Error(error));
    return false;
}

// Where the chosen section maps the key already, the dialog starts from
// that mapping, to change it.
void MapKeyDialog::StartFromMapping()
{
    std::string section, program;
    if (!hasKey_ || !ReadScope(&section, &program))
        return;
    const KeySection* own = host_.map().Section(program);
    const KeyMapping* mapping = own ? own->Find(code_) : nullptr;
    if (!mapping)
        return;
    MappingChoices choices = ChoicesFor(*mapping);
    ShowAction(kAction, choices.action);
    SendDlgItemMessageW(dialog_, IDC_HELD, CB_SETCURSEL, static_cast<WPARAM>(choices.held), 0);
    ShowHeldFields();
    if (choices.held == MappingChoices::Held::Long)
        ShowAction(kLong, choices.longAction);
}

void MapKeyDialog::ShowNow()
{
    std::string section, program;
    if (!hasKey_ || !ReadScope(&section, &program))
        return;
    const KeySection* from = nullptr;
    const KeyMapping* mapping = host_.map().Find(code_, program, &from);
    std::wstring text = mapping ? FillText(Text(IDS_NOW_MAPPED), Widen(DescribeMapping(*mapping)),
                                       Widen(from->Name()))
                                : Text(IDS_NOW_NOT_MAPPED);
    SetDlgItemTextW(dialog_, IDC_MAP_KEY_NOW, text.c_str());
}

// The key and the section that Save and Remove are about; false, with the
// status saying why, when there is no key yet or no valid section.
bool MapKeyDialog::Target(std::string* section, std::string* program)
{
    if (!hasKey_) {
        Status(Text(IDS_NO_KEY_YET));
        return false;
    }
    return ReadScope(section, program);
}

bool MapKeyDialog::SaveFile(const IniFile::Edit& edit)
{
    std::string error;
    if (!file_.Save(edit, &error)) {
        Status(FillText(Text(IDS_SAVE_FAILED), Widen(error)));
        return false;
    }
    host_.saved();
    return true;
}

void MapKeyDialog::Save()
{
    std::string section, program;
    if (!Target(&section, &program))
        return;
    MappingChoices choices;
    choices.action = ReadAction(kAction);
    LRESULT held = SendDlgItemMessageW(dialog_, IDC_HELD, CB_GETCURSEL, 0, 0);
    choices.held = held == CB_ERR ? MappingChoices::Held::Once
                                  : static_cast<MappingChoices::Held>(held);
    choices.longAction = ReadAction(kLong);
    std::string value;
    FormError problem;
    if (!ComposeMapping(choices, &value, &problem)) {
        Status(Error(problem));
        return;
    }
    // A named button's line names it, and takes the place of its code line
    // or its name line, whichever the section has.
    std::string name = host_.map().NameOf(code_);
    std::string line = ButtonLine(code_, name, value);
    if (!SaveFile(SetLine(section, MatchButton(code_, name), line)))
        return;
    Status(FillText(Text(file_.reloaded() ? IDS_SAVED_RELOADED : IDS_SAVED), Widen(line),
                Widen("[" + section + "]")));
    ShowNow();
}

void MapKeyDialog::Remove()
{
    std::string section, program;
    if (!Target(&section, &program))
        return;
    std::wstring key = Widen(DescribeButton(host_.map(), code_)), where = Widen("[" + section + "]");
    const KeySection* own = host_.map().Section(program);
    if (!own || !own->Find(code_)) {
        Status(FillText(Text(IDS_NOT_THERE), key, where));
        return;
    }
    if (!SaveFile(RemoveLines(section, MatchButton(code_, host_.map().NameOf(code_)))))
        return;
    Status(FillText(Text(IDS_REMOVED), key, where));
    ShowNow();
}

void MapKeyDialog::Status(const std::wstring& text)
{
    SetDlgItemTextW(dialog_, IDC_STATUS, text.c_str());
}

std::wstring MapKeyDialog::Text(UINT id) const
{
    return LoadText(id);
}

std::wstring MapKeyDialog::Error(const FormError& error) const
{
    std::wstring text = FillText(Text(error.stringId), Widen(error.mapMessage));
    return error.held ? FillText(Text(IDS_FORM_HELD), text) : text;
}
