#include "KeyDisplay.h"

#include "Text.h"

namespace {

const UINT_PTR kHideTimer = 1;
// At 96 DPI; scaled to the monitor's.
const int kPointSize = 16;
const int kPaddingX = 20;
const int kPaddingY = 10;
const int kCornerRadius = 12;
// The work area's height above its bottom edge: clear of a player's own
// controls along the bottom.
const int kBottomFraction = 10;
const BYTE kAlpha = 220; // of 255: the picture behind shows a little
const COLORREF kBackground = RGB(32, 32, 32);
const COLORREF kForeground = RGB(255, 255, 255);

// The monitor's scale where Windows has one per monitor (8.1 and later,
// looked up so that the program still starts where it is missing), else the
// system's.
UINT MonitorDpi(HMONITOR monitor)
{
    using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static GetDpiForMonitorFn getDpi = [] {
        HMODULE shcore = LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return shcore ? reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(
                            GetProcAddress(shcore, "GetDpiForMonitor")))
                      : nullptr;
    }();
    UINT dpiX, dpiY;
    if (getDpi && SUCCEEDED(getDpi(monitor, 0 /* MDT_EFFECTIVE_DPI */, &dpiX, &dpiY)) && dpiY)
        return dpiY;
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

} // namespace

const wchar_t KeyDisplay::kWindowClass[] = L"HalyardKeyDisplay";

KeyDisplay::~KeyDisplay()
{
    if (hwnd_)
        DestroyWindow(hwnd_);
    if (font_)
        DeleteObject(font_);
}

bool KeyDisplay::Create()
{
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    // Layered and transparent: clicks fall through to the window below.
    // No activation, ever: the program in front keeps the keyboard.
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE |
                                WS_EX_TRANSPARENT | WS_EX_LAYERED,
                            kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                            this);
    if (!hwnd_)
        return false;
    SetLayeredWindowAttributes(hwnd_, 0, kAlpha, LWA_ALPHA);
    return true;
}

bool KeyDisplay::Show(const std::string& text)
{
    if (!hwnd_ && !Create())
        return false;
    text_ = Widen(text);
    // Also the window's text, which screen readers (and the tests) read.
    SetWindowTextW(hwnd_, text_.c_str());

    HMONITOR monitor = MonitorFromWindow(GetForegroundWindow(), MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    GetMonitorInfoW(monitor, &info);
    const RECT& work = info.rcWork;
    UINT dpi = MonitorDpi(monitor);
    UseFont(dpi);

    RECT textRect = {};
    HDC dc = GetDC(hwnd_);
    HGDIOBJ oldFont = SelectObject(dc, font_);
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &textRect,
              DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    ReleaseDC(hwnd_, dc);

    paddingX_ = MulDiv(kPaddingX, dpi, USER_DEFAULT_SCREEN_DPI);
    int workWidth = work.right - work.left;
    int width = textRect.right + 2 * paddingX_;
    if (width > workWidth - 2 * paddingX_) // a long command line ends in "..."
        width = workWidth - 2 * paddingX_;
    int height = textRect.bottom + 2 * MulDiv(kPaddingY, dpi, USER_DEFAULT_SCREEN_DPI);
    int x = work.left + (workWidth - width) / 2;
    int y = work.bottom - (work.bottom - work.top) / kBottomFraction - height;

    int radius = MulDiv(kCornerRadius, dpi, USER_DEFAULT_SCREEN_DPI);
    SetWindowRgn(hwnd_, CreateRoundRectRgn(0, 0, width + 1, height + 1, radius, radius), FALSE);
    SetWindowPos(hwnd_, HWND_TOPMOST, x, y, width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(hwnd_, nullptr, FALSE);
    UpdateWindow(hwnd_);
    SetTimer(hwnd_, kHideTimer, showMs_, nullptr); // the same timer again: the time starts over
    return true;
}

void KeyDisplay::Hide()
{
    if (!hwnd_)
        return;
    KillTimer(hwnd_, kHideTimer);
    ShowWindow(hwnd_, SW_HIDE);
}

void KeyDisplay::UseFont(UINT dpi)
{
    if (font_ && fontDpi_ == dpi)
        return;
    // The face of the system's message font, larger: read across the room.
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof(metrics);
    LOGFONTW font = {};
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        font = metrics.lfMessageFont;
    font.lfHeight = -MulDiv(kPointSize, dpi, 72);
    font.lfWidth = 0;
    font.lfWeight = FW_SEMIBOLD;
    HFONT made = CreateFontIndirectW(&font);
    if (!made)
        return; // the last one, or the stock font, still draws
    if (font_)
        DeleteObject(font_);
    font_ = made;
    fontDpi_ = dpi;
}

void KeyDisplay::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    RECT client;
    GetClientRect(hwnd_, &client);
    HBRUSH background = CreateSolidBrush(kBackground);
    FillRect(dc, &client, background);
    DeleteObject(background);
    HGDIOBJ oldFont = SelectObject(dc, font_ ? font_ : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kForeground);
    InflateRect(&client, -paddingX_, 0);
    DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &client,
              DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    SelectObject(dc, oldFont);
    EndPaint(hwnd_, &paint);
}

LRESULT CALLBACK KeyDisplay::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<KeyDisplay*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && self->hwnd_ == hwnd)
        return self->Handle(msg, wParam, lParam);
    return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT KeyDisplay::Handle(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_TIMER:
        if (wParam == kHideTimer)
            Hide();
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1; // Paint fills it all
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_DPICHANGED:
        return 0; // Show sizes it for the monitor it goes to
    case WM_DESTROY:
        hwnd_ = nullptr;
        return 0;
    }
    return DefWindowProcW(hwnd_, msg, wParam, lParam);
}
