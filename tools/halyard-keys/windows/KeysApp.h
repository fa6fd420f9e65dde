#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "AutoStart.h"
#include "HalyardLibrary.h"
#include "KeyDispatcher.h"
#include "KeysPaths.h"
#include "TrayIcon.h"
#include "TrayMenu.h"

// The running program: a hidden window that receives the remote's keys and
// the notification icon's messages, the library started on it, and the key
// map that turns keys into keystrokes and commands.
class KeysApp {
public:
    static const char kWindowClass[];
    // Registered: a second instance asks the first to show itself with it.
    static UINT ShowMessage();

    explicit KeysApp(KeysPaths paths);
    ~KeysApp();
    KeysApp(const KeysApp&) = delete;
    KeysApp& operator=(const KeysApp&) = delete;

    // Until Exit; returns the exit code.
    int Run();

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);

    void Start();
    void Stop();
    void Fail(const std::string& reason);
    void LoadMap(bool reloading);
    void OnRemoteKey(unsigned code);
    void ShowMenu(const RECT& at);
    void OnCommand(MenuCommand command);
    void EditMap();
    void ShowProblems();
    void ToggleAutoStart();
    void UpdateIcon();
    void Shutdown();
    std::string ReadMaskCode() const;
    AutoStart AutoStartOfThisCopy() const;

    KeysPaths paths_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<TrayIcon> tray_;
    HICON activeIcon_ = nullptr;
    HICON inactiveIcon_ = nullptr;
    UINT taskbarCreated_ = 0;
    UINT showMessage_ = 0;

    bool comReady_ = false;
    HalyardLibrary library_;
    MenuState::Mode mode_ = MenuState::Mode::Failed;
    std::string failure_;
    std::string maskCode_; // as read when the library started

    KeyDispatcher keys_;
    std::string mapError_; // why the file could not be read; empty when it was
    bool menuOpen_ = false;
};
