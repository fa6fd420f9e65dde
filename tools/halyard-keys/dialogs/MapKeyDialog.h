#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ActionFields.h"
#include "CaptureDialog.h"
#include "IniFile.h"
#include "KeyMap.h"
#include "MappingForm.h"

// "Map a key...": press a key on the remote, choose what it does, where,
// and Save. The line goes into the settings file, and nothing else there
// changes (IniFile); the program then reads the map again. The dialog is
// modeless, from the resource template IDD_MAP_KEY, and keyboard first: tab
// order, mnemonics, Enter for Save and Esc for Close. While it is open, the
// remote's keys come here instead of to the key map (a capture of the key
// path): the key to map, not one to act on.
class MapKeyDialog : public CaptureDialog {
public:
    explicit MapKeyDialog(Host host);

    // The program that reads the remote while halyard-keys cannot (empty:
    // none); until a key is chosen, the dialog says why none comes.
    void SetUnheard(const std::wstring& reader);

private:
    void Init() override;
    INT_PTR Handle(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void Closed() override { hasKey_ = false; }
    void Pressed(unsigned code) override;
    void OnCommand(int id, int code);
    void ShowHeldFields();
    bool ReadScope(std::string* section, std::string* program);
    void StartFromMapping();
    void ShowNow();
    bool Target(std::string* section, std::string* program);
    bool SaveFile(const IniFile::Edit& edit);
    void Save();
    void Remove();
    void Status(const std::wstring& text);
    void ShowKeyRequest();
    std::wstring Text(UINT id) const;
    std::wstring Error(const FormError& error) const;

    ActionFields action_; // when pressed
    ActionFields long_;   // when held, for something else
    IniFile file_; // as the program last read it: a save notices a change since
    std::wstring unheard_;
    bool hasKey_ = false;
    unsigned code_ = 0;
};
