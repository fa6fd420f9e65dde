#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "IniFile.h"
#include "CaptureDialog.h"
#include "KeyMap.h"
#include "SetupSession.h"

// "Set up the remote...": asks for the common buttons one at a time, names
// each by the code the remote sends (SetupSession), and on its last page
// saves the names, with the common actions of the named buttons that have
// none, as added lines of the settings file (AddButtonLines, through
// IniFile). Modeless, from the resource template IDD_SETUP; while it is open
// the remote's keys come here instead of to the key map (a capture of the
// key path).
class SetupDialog : public CaptureDialog {
public:
    explicit SetupDialog(Host host);

    // The program that reads the remote while halyard-keys cannot (empty:
    // none): while it asks for buttons, the dialog says why none comes.
    void SetUnheard(const std::wstring& reader);

private:
    // Each opening starts at the first button.
    void Init() override;
    INT_PTR Handle(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Closed() override { session_.reset(); }
    void OnCommand(int id);
    void Pressed(unsigned code) override;
    void ShowStep();
    void ShowLastPage();
    void Save();
    void Set(int id, const std::wstring& text);
    void Focus(int id);
    // "OK 0x12, Up 0x1A": what this setup named, in its order.
    std::wstring NamedList() const;
    // "OK" for KEY_OK; the name itself for one the setup does not ask for.
    std::wstring Label(const std::string& name) const;

    IniFile file_;
    std::unique_ptr<SetupSession> session_;
    bool lastPage_ = false;
    std::wstring unheard_;
};
