#pragma once

#include <windows.h>

#include <memory>

#include "KeysPaths.h"

// The running program: a hidden window that receives the remote's keys, the
// notification icon's and the system's messages, and hands each to the part
// that owns it. The parts (KeysApp.cpp's Parts) are the capabilities: the
// tuner session, stepping aside, the key path with its listeners (sharing
// with LIRC programs, the dialogs that take a key, the key map's actions,
// what shows a key), the menu. This class only makes and wires them.
class KeysApp {
public:
    static const char kWindowClass[];
    // Registered: a second instance asks the first to show itself with it.
    static UINT ShowMessage();
    // Registered: a second instance started with --map-key asks the first
    // to open Map a key... with it.
    static UINT MapKeyMessage();
    // Registered: answered with the program's state (a TunerState), for
    // the programs that measure and test it.
    static UINT StateMessage();
    // Registered: the same for --setup and Set up the remote....
    static UINT SetupMessage();

    explicit KeysApp(KeysPaths paths);
    ~KeysApp();
    KeysApp(const KeysApp&) = delete;
    KeysApp& operator=(const KeysApp&) = delete;

    // A dialog to open at the start.
    enum class Open { Nothing, MapKey, Setup };
    // Until Exit; returns the exit code.
    int Run(Open open = Open::Nothing);

private:
    struct Parts;

    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    bool HandleRegistered(UINT msg, LRESULT* result);
    void OnTunerChanged();
    void OnMapChanged();
    void UpdateIcon();
    void Shutdown();

    KeysPaths paths_;
    HWND hwnd_ = nullptr;
    HICON activeIcon_ = nullptr;
    HICON inactiveIcon_ = nullptr;
    UINT taskbarCreated_ = 0;
    UINT showMessage_ = 0;
    UINT mapKeyMessage_ = 0;
    UINT stateMessage_ = 0;
    UINT setupMessage_ = 0;
    std::unique_ptr<Parts> parts_;
};
