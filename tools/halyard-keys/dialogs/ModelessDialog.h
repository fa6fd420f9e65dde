#pragma once

#include <windows.h>

// A modeless dialog of the program, from a resource template: opened once
// and brought to the front when asked again, its messages through the
// program's message loop (PreTranslate), so that Tab, Enter, Esc and the
// mnemonics work.
class ModelessDialog {
public:
    explicit ModelessDialog(UINT templateId) : templateId_(templateId) {}
    virtual ~ModelessDialog();
    ModelessDialog(const ModelessDialog&) = delete;
    ModelessDialog& operator=(const ModelessDialog&) = delete;

    // Opens the dialog, or brings it to the front when it is open.
    void Open();
    bool IsOpen() const { return dialog_ != nullptr; }
    // For the program's message loop: true when msg was the dialog's.
    bool PreTranslate(MSG* msg);

protected:
    // WM_INITDIALOG, with dialog_ set.
    virtual void Init() = 0;
    // The dialog's other messages; WM_CLOSE destroys it, and Closed
    // follows when it is gone.
    virtual INT_PTR Handle(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    virtual void Closed() {}

    HWND dialog_ = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND, UINT, WPARAM, LPARAM);

    UINT templateId_;
};
