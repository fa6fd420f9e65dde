#include "SetupDialog.h"

#include <commctrl.h>

#include <utility>

#include "DialogText.h"
#include "Strings.h"
#include "Text.h"
#include "resource.h"

SetupDialog::SetupDialog(Host host)
    : CaptureDialog(IDD_SETUP, std::move(host), strings::kToSetup), file_(host_.settingsPath)
{
}

INT_PTR SetupDialog::Handle(UINT msg, WPARAM wParam, LPARAM)
{
    if (msg == WM_COMMAND) {
        OnCommand(LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

void SetupDialog::Init()
{
    const KeyMap& map = host_.map();
    std::vector<NamedButton> named;
    for (const ButtonName& name : map.names)
        named.push_back({name.code, name.name});
    session_.reset(new SetupSession(named));
    lastPage_ = false;
    std::string error;
    if (!file_.Load(&error))
        Set(IDC_SETUP_STATUS, FillText(LoadText(IDS_SAVE_FAILED), Widen(error)));
    SendDlgItemMessageW(dialog_, IDC_SETUP_PROGRESS, PBM_SETRANGE32, 0,
                        static_cast<LPARAM>(SetupButtons().size()));
    CheckDlgButton(dialog_, IDC_SETUP_COMMON, BST_CHECKED);
    ShowStep();
}

void SetupDialog::OnCommand(int id)
{
    switch (id) {
    case IDC_SETUP_SKIP:
        session_->Skip();
        Set(IDC_SETUP_HEARD, std::wstring());
        session_->through() ? ShowLastPage() : ShowStep();
        break;
    case IDC_SETUP_BACK:
        if (lastPage_ && !session_->through())
            lastPage_ = false; // Finish from the middle: back to where it was
        else
            session_->Back();
        Set(IDC_SETUP_HEARD, std::wstring());
        ShowStep();
        break;
    case IDOK:
        if (lastPage_)
            Save();
        else
            ShowLastPage();
        break;
    case IDCANCEL:
        DestroyWindow(dialog_);
        break;
    }
}

void SetupDialog::Pressed(unsigned code)
{
    if (lastPage_)
        return;
    std::string other;
    size_t step = session_->step();
    switch (session_->Press(code, &other)) {
    case SetupSession::Heard::Through:
        return;
    case SetupSession::Heard::PointedOut:
        Set(IDC_SETUP_HEARD, FillText(LoadText(IDS_SETUP_POINTED_OUT), Widen(DescribeCode(code)),
                                      Label(other), Label(SetupButtons()[step])));
        return;
    case SetupSession::Heard::Taken:
        Set(IDC_SETUP_HEARD, FillText(LoadText(IDS_SETUP_TAKEN), Widen(DescribeCode(code)),
                                      Label(SetupButtons()[step])));
        session_->through() ? ShowLastPage() : ShowStep();
        return;
    }
}

void SetupDialog::SetUnheard(const std::wstring& reader)
{
    if (reader == unheard_)
        return;
    unheard_ = reader;
    if (dialog_ && !lastPage_)
        ShowStep();
}

void SetupDialog::ShowStep()
{
    lastPage_ = false;
    size_t step = session_->step();
    if (session_->through())
        step = SetupButtons().size() - 1; // Back from the last page after the last button
    while (session_->step() > step)
        session_->Back();
    const std::string& name = SetupButtons()[step];
    Set(IDC_SETUP_STEP, FillText(LoadText(IDS_SETUP_STEP), std::to_wstring(step + 1),
                                 std::to_wstring(SetupButtons().size())));
    SendDlgItemMessageW(dialog_, IDC_SETUP_PROGRESS, PBM_SETPOS, step, 0);
    Set(IDC_SETUP_ASK, FillText(LoadText(IDS_SETUP_PRESS), Label(name)));
    Set(IDC_SETUP_NAME, Widen(name));
    unsigned code;
    if (session_->CodeAt(step, &code))
        Set(IDC_SETUP_HEARD, FillText(LoadText(IDS_SETUP_NAMED_NOW), Widen(DescribeCode(code))));
    ShowWindow(GetDlgItem(dialog_, IDC_SETUP_COMMON), SW_HIDE);
    ShowWindow(GetDlgItem(dialog_, IDC_SETUP_NAME_LABEL), SW_SHOW);
    std::wstring list = NamedList();
    Set(IDC_SETUP_SO_FAR, list.empty() ? list : FillText(LoadText(IDS_SETUP_SO_FAR), list));
    ShowWindow(GetDlgItem(dialog_, IDC_SETUP_SO_FAR), SW_SHOW);
    Set(IDC_SETUP_STATUS,
        unheard_.empty() ? std::wstring() : FillText(LoadText(IDS_CANNOT_HEAR), unheard_));
    EnableWindow(GetDlgItem(dialog_, IDC_SETUP_BACK), step > 0);
    EnableWindow(GetDlgItem(dialog_, IDC_SETUP_SKIP), TRUE);
    EnableWindow(GetDlgItem(dialog_, IDOK), TRUE);
    Set(IDOK, LoadText(IDS_SETUP_FINISH));
    // Back, at the first button, is disabled: the keyboard goes on from Skip.
    if (!IsWindowEnabled(GetFocus()))
        Focus(IDC_SETUP_SKIP);
}

void SetupDialog::ShowLastPage()
{
    lastPage_ = true;
    std::vector<NamedButton> named = session_->Named();
    Set(IDC_SETUP_STEP, LoadText(IDS_SETUP_LAST_PAGE));
    SendDlgItemMessageW(dialog_, IDC_SETUP_PROGRESS, PBM_SETPOS, SetupButtons().size(), 0);
    Set(IDC_SETUP_ASK, named.empty() ? LoadText(IDS_SETUP_NONE)
                                     : FillText(LoadText(IDS_SETUP_READY),
                                                std::to_wstring(named.size()), NamedList()));
    Set(IDC_SETUP_NAME, std::wstring());
    ShowWindow(GetDlgItem(dialog_, IDC_SETUP_NAME_LABEL), SW_HIDE);
    ShowWindow(GetDlgItem(dialog_, IDC_SETUP_SO_FAR), SW_HIDE);
    Set(IDC_SETUP_STATUS, std::wstring());
    Set(IDC_SETUP_HEARD, LoadText(IDS_SETUP_WAIT_BUTTON));
    ShowWindow(GetDlgItem(dialog_, IDC_SETUP_COMMON), SW_SHOW);
    EnableWindow(GetDlgItem(dialog_, IDC_SETUP_BACK), TRUE);
    EnableWindow(GetDlgItem(dialog_, IDC_SETUP_SKIP), FALSE);
    EnableWindow(GetDlgItem(dialog_, IDOK), !named.empty());
    Set(IDOK, LoadText(IDS_SETUP_SAVE));
    // The focus on a disabled button would leave the keyboard nowhere.
    Focus(named.empty() ? IDC_SETUP_BACK : IDOK);
}

void SetupDialog::Save()
{
    std::vector<NamedButton> named = session_->Named();
    bool common = IsDlgButtonChecked(dialog_, IDC_SETUP_COMMON) == BST_CHECKED;
    size_t added = 0;
    std::string error;
    bool ok = file_.Save(
        [&](IniText* text, std::string* why) {
            return AddButtonLines(text, named, common, &added, why);
        },
        &error);
    if (!ok) {
        Set(IDC_SETUP_STATUS, FillText(LoadText(IDS_SAVE_FAILED), Widen(error)));
        return;
    }
    host_.saved();
    Set(IDC_SETUP_STATUS,
        added == 0 ? LoadText(IDS_SETUP_NOTHING_TO_ADD)
                   : FillText(LoadText(file_.reloaded() ? IDS_SETUP_SAVED_RELOADED
                                                        : IDS_SETUP_SAVED),
                              std::to_wstring(added)));
    // Saved once: the page now only closes.
    for (int id : {IDOK, IDC_SETUP_BACK, IDC_SETUP_COMMON})
        EnableWindow(GetDlgItem(dialog_, id), FALSE);
    Set(IDCANCEL, LoadText(IDS_SETUP_CLOSE));
    Focus(IDCANCEL);
}

// As the dialog manager moves the focus, the default button with it.
void SetupDialog::Focus(int id)
{
    SendMessageW(dialog_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog_, id)), TRUE);
}

void SetupDialog::Set(int id, const std::wstring& text)
{
    SetDlgItemTextW(dialog_, id, text.c_str());
}

std::wstring SetupDialog::NamedList() const
{
    std::wstring list;
    for (const NamedButton& button : session_->Named()) {
        wchar_t code[8];
        swprintf(code, 8, L" 0x%02X", button.code);
        list += (list.empty() ? L"" : L", ") + Label(button.name) + code;
    }
    return list;
}

std::wstring SetupDialog::Label(const std::string& name) const
{
    const std::vector<std::string>& buttons = SetupButtons();
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i] == name)
            return LoadText(IDS_SETUP_BUTTON_FIRST + static_cast<UINT>(i));
    }
    return Widen(name);
}
