#pragma once

#include <string>
#include <vector>

#include "ButtonLines.h"

// The buttons "Set up the remote..." asks for, in the order it asks: the
// ones every program answers first, then the media keys, the rest, and the
// digits last, where a remote without them is skipped through quickly.
const std::vector<std::string>& SetupButtons();

// The setup's walk through SetupButtons: one button at a time, named by the
// code the remote sends when it is pressed (a press: the key path makes one
// of a held button's frames). A code that has another name already (in the settings, or given in
// this walk) is pointed out rather than taken; pressed again at once, it is
// taken, and the other button loses it.
class SetupSession {
public:
    // named: the settings' names now.
    explicit SetupSession(std::vector<NamedButton> named);

    enum class Heard {
        Taken,      // the button waited for is named; the walk moves on
        PointedOut, // the code has another name: *other
        Through,    // the walk is through: no button waits
    };
    Heard Press(unsigned code, std::string* other = nullptr);
    void Skip();
    void Back();

    size_t step() const { return step_; } // SetupButtons().size() when through
    bool through() const { return step_ >= SetupButtons().size(); }
    // The code given to the button at step in this walk; false when none.
    bool CodeAt(size_t step, unsigned* code) const;
    // What the walk named, in SetupButtons' order.
    std::vector<NamedButton> Named() const;

private:
    std::string NameOf(unsigned code) const;

    std::vector<NamedButton> before_; // the settings' names
    std::vector<int> codes_;          // per step: the code given, -1 for none
    size_t step_ = 0;
    int pointedOut_ = -1; // the code pointed out at this step, until it is pressed again
};
