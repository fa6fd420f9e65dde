#pragma once

#include <windows.h>

#include <string>

// The on-screen display of [Options] ShowKeys: what a key did ("Volume up",
// "Ctrl+Shift+P", "run: player"), for about a second, in a small window at
// the bottom of the monitor of the window in front. It never takes the focus
// or the foreground, so the keystroke it names still reaches the program in
// front, and clicks go through it. Its window is made by the first Show:
// with the option off, nothing exists or draws.
class KeyDisplay {
public:
    static const wchar_t kWindowClass[];
    static const UINT kDefaultShowMs = 1000;

    explicit KeyDisplay(UINT showMs = kDefaultShowMs) : showMs_(showMs) {}
    ~KeyDisplay();
    KeyDisplay(const KeyDisplay&) = delete;
    KeyDisplay& operator=(const KeyDisplay&) = delete;

    // Shows text (UTF-8) in place of what it showed, for showMs from now,
    // sized for it and for the monitor's scale. The calling thread's message
    // loop hides it again. False when the window cannot be made.
    bool Show(const std::string& text);
    void Hide();

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    bool Create();
    void UseFont(UINT dpi);
    void Paint();

    UINT showMs_;
    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    UINT fontDpi_ = 0;
    int paddingX_ = 0;
    std::wstring text_;
};
