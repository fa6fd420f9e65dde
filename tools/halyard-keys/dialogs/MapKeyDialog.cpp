#include "MapKeyDialog.h"

#include <utility>

#include "DialogText.h"
#include "ButtonLines.h"
#include "KeyCaptureField.h"
#include "Words.h"
#include "RunningPrograms.h"
#include "Strings.h"
#include "Text.h"
#include "resource.h"

namespace {

// The held choices in MappingChoices::Held's order.
const UINT kHeldStrings[] = {IDS_HELD_ONCE, IDS_HELD_REPEAT, IDS_HELD_REPEAT_FAST, IDS_HELD_LONG};

const ActionFields::Ids kActionIds = {
    IDC_ACTION_KIND, IDC_ACTION_KEYS,    IDC_ACTION_SEQUENCE, IDC_ACTION_COMMON, IDC_ACTION_TEXT,
    IDC_ACTION_COMMAND, IDC_ACTION_BROWSE, IDC_ACTION_MODE, IDC_ACTION_ONCE};
const ActionFields::Ids kLongIds = {
    IDC_LONG_KIND,    IDC_LONG_KEYS,   IDC_LONG_SEQUENCE, IDC_LONG_COMMON, IDC_LONG_TEXT,
    IDC_LONG_COMMAND, IDC_LONG_BROWSE, IDC_LONG_MODE,     IDC_LONG_ONCE};

} // namespace

MapKeyDialog::MapKeyDialog(Host host)
    : CaptureDialog(IDD_MAP_KEY, std::move(host), strings::kToMapKey), action_(kActionIds),
      long_(kLongIds), file_(host_.settingsPath)
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
    AttachKeyCapture(GetDlgItem(dialog_, IDC_ACTION_KEYS));
    AttachKeyCapture(GetDlgItem(dialog_, IDC_LONG_KEYS));
    action_.Init(dialog_, host_.map());
    long_.Init(dialog_, host_.map());
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
    if (action_.Command(id, code)) {
        // Typed text takes the rest of the line: it has no held choice.
        if (action_.IsKindList(id))
            ShowHeldFields();
        return;
    }
    if (long_.Command(id, code))
        return;
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
    case IDC_HELD:
        if (code == CBN_SELCHANGE)
            ShowHeldFields();
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

void MapKeyDialog::ShowHeldFields()
{
    bool typing = action_.Kind() == ActionChoice::Kind::Type;
    if (typing)
        SendDlgItemMessageW(dialog_, IDC_HELD, CB_SETCURSEL,
                            static_cast<WPARAM>(MappingChoices::Held::Once), 0);
    EnableWindow(GetDlgItem(dialog_, IDC_HELD_LABEL), !typing);
    EnableWindow(GetDlgItem(dialog_, IDC_HELD), !typing);
    bool other = SendDlgItemMessageW(dialog_, IDC_HELD, CB_GETCURSEL, 0, 0) ==
                 static_cast<LRESULT>(MappingChoices::Held::Long);
    EnableWindow(GetDlgItem(dialog_, IDC_LONG_LABEL), other);
    long_.Enable(other);
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
    action_.Show(choices.action);
    SendDlgItemMessageW(dialog_, IDC_HELD, CB_SETCURSEL, static_cast<WPARAM>(choices.held), 0);
    ShowHeldFields();
    if (choices.held == MappingChoices::Held::Long)
        long_.Show(choices.longAction);
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
    choices.action = action_.Read();
    LRESULT held = SendDlgItemMessageW(dialog_, IDC_HELD, CB_GETCURSEL, 0, 0);
    choices.held = held == CB_ERR ? MappingChoices::Held::Once
                                  : static_cast<MappingChoices::Held>(held);
    choices.longAction = long_.Read();
    std::string value;
    FormError problem;
    if (!ComposeMapping(choices, host_.map(), &value, &problem)) {
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
    std::wstring text = FillText(Widen(error.text ? error.text : ""), Widen(error.detail));
    return error.held ? FillText(Widen(strings::kFormHeld), text) : text;
}
