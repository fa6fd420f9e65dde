#pragma once

#include <functional>
#include <string>

#include "ActionPerformer.h"
#include "KeyEvent.h"
#include "KeyMap.h"
#include "Modes.h"
#include "PointerMover.h"

// What the key map makes of the remote's keys: the listener of the key
// path's Act stage. The mapping is chosen when a key goes down, with the
// mode on and the section of the program in front, and holds until it is
// released, whatever comes to the front meanwhile. By the mapping:
// - plain: its action on the press, nothing while held;
// - repeat: also on every frame from RepeatDelayMs after the press (while
//   its last run is still being sent, a frame adds none);
//   repeat fast: twice per frame after a second, three times after two;
// - with a long action: nothing on the press; the long action on the long
//   press, or else the short action on the release.
// A mouse: move moves the pointer from the press to the release. A press it
// did not hear (a dialog took it) is none of its business. A cancel stops
// what is being sent and the pointer. Keystrokes and clicks that Windows
// would drop, for the program in front has more rights, are not sent, and
// the display and the last-key line say so.
class KeyActions : public KeyListener {
public:
    // map is the map in use, replaced in place (MapChanged). program names
    // the program in front (its image file name); it is asked only when a
    // press starts and the map has a section for some program. modeChanged
    // is told when a mode goes on or off. mover moves the pointer (none:
    // moves do nothing). unreachable names the program in front when it
    // runs with more rights than this one, else is empty.
    KeyActions(const KeyMap& map, ActionPerformer* performer, std::function<std::string()> program,
               std::function<void()> modeChanged, PointerMover* mover = nullptr,
               std::function<std::string()> unreachable = nullptr);

    // The map was read again: the key in hand, if any, is forgotten.
    void MapChanged();
    // While the menu is open, keystrokes would land in it, not in the
    // user's program: they are not sent.
    void HoldBackKeystrokes(bool holdBack);
    // The mode on; empty for none.
    const std::string& mode() const { return modes_.current(); }
    void LeaveMode();

    void OnKey(const KeyEvent& event, KeyHandling* handling) override;

private:
    void Press(unsigned code, KeyHandling* handling);
    void StopMoving();
    bool NotSent(KeyHandling* handling);
    bool Act(const KeyAction& action, unsigned times, KeyHandling* handling);
    void ModeChanged(KeyHandling* handling);
    std::string Described(bool performed) const;

    const KeyMap& map_;
    ActionPerformer* performer_;
    std::function<std::string()> program_;
    std::function<void()> modeChanged_;
    PointerMover* mover_;
    std::function<std::string()> unreachable_;
    Modes modes_;
    bool holdBack_ = false;

    bool inHand_ = false; // a press this listener heard
    unsigned code_ = 0;
    const KeyMapping* mapping_ = nullptr; // into map_; null: not mapped
    const KeySection* section_ = nullptr;
    bool long_ = false; // the long action was done
    bool moving_ = false; // the key in hand moves the pointer
    std::string notSent_; // this event's: "Not sent: vlc.exe runs as administrator"
};
