#pragma once

#include <windows.h>

#include <string>

#include "Notices.h"

// The program's one icon in the notification area, its tip and its
// notifications (balloons), and the decoding of its callback message.
class TrayIcon : public Notices {
public:
    // NotificationClicked: the user clicked the last notification shown.
    enum class Event { None, Menu, NotificationClicked };

    TrayIcon(HWND hwnd, UINT callbackMessage) : hwnd_(hwnd), callbackMessage_(callbackMessage) {}
    ~TrayIcon() override { Remove(); }
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // Adds the icon; again after the taskbar was re-created (Explorer
    // restarted), which drops every icon.
    bool Add(HICON icon, const std::string& tip);
    void Update(HICON icon, const std::string& tip);
    // Returns the notification's number, to tell which one a click is for
    // (LastNotification); a later one replaces it.
    unsigned Notify(const std::string& title, const std::string& text, Kind kind) override;
    unsigned LastNotification() const { return notifications_; }
    void Remove();

    // What the callback message reports; *at is where a menu belongs (a
    // point, as an empty rectangle).
    Event Decode(WPARAM wParam, LPARAM lParam, RECT* at) const;
    // Where the icon is, for a menu asked for without a click.
    RECT Anchor() const;

private:
    NOTIFYICONDATAW Data(UINT flags) const;

    HWND hwnd_;
    UINT callbackMessage_;
    bool added_ = false;
    bool version4_ = false;
    HICON icon_ = nullptr;
    std::wstring tip_;
    unsigned notifications_ = 0;
};
