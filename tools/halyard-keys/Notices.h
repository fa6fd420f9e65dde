#pragma once

#include <string>

// Where the parts of the program tell the user something: the notification
// area's balloons (TrayIcon), or a fake in tests.
class Notices {
public:
    enum class Kind { Info, Warning, Error };
    virtual ~Notices() = default;
    // The notification's number, to tell which one a click is for; 0 when
    // none could be shown.
    virtual unsigned Notify(const std::string& title, const std::string& text, Kind kind) = 0;
};
