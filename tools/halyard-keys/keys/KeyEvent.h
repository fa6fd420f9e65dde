#pragma once

#include <windows.h>

#include <functional>
#include <string>

// A remote key as every part of the program hears it: made once from the
// library's frames (KeyFrames) and handed to each listener in turn
// (KeyPath).
struct KeyEvent {
    enum class Kind {
        Press,   // the first frame of a press
        Repeat,  // each further frame while the key is held
        Long,    // the first frame at least LongPressMs after the press, after its Repeat
        Release, // no frame for RepeatGuardMs, or another key's frame came
        // What keys started ends, and the key in hand, if any, is forgotten
        // without acting: paused, stepped aside, restarted, map reloaded.
        Cancel,
    };
    Kind kind = Kind::Press;
    unsigned code = 0;   // the remote's key code, 0 to 255
    unsigned repeat = 0; // frames since the press's first: 0 for the press, then 1, 2...
    DWORD heldMs = 0;    // from the press's first frame to this event's frame
};

// What the listeners of one event tell the ones after them.
struct KeyHandling {
    // A capture or an action took the key: the actions after it do not see it.
    bool taken = false;
    // How the last-key line goes on after the button: " = Enter", ", to Map a key".
    std::string described;
    // What the on-screen display shows; empty: nothing.
    std::string shown;
    // Shown also where the user did not ask to see each key (a mode change).
    bool showAlways = false;
};

class KeyListener {
public:
    virtual ~KeyListener() = default;
    virtual void OnKey(const KeyEvent& event, KeyHandling* handling) = 0;
};

// A listener made of a function, for the small ones the program wires itself.
class FunctionListener : public KeyListener {
public:
    using Function = std::function<void(const KeyEvent& event, KeyHandling* handling)>;
    explicit FunctionListener(Function function) : function_(std::move(function)) {}
    void OnKey(const KeyEvent& event, KeyHandling* handling) override
    {
        function_(event, handling);
    }

private:
    Function function_;
};
