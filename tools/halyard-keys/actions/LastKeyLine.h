#pragma once

#include <string>

#include "KeyEvent.h"
#include "KeyMap.h"

// The menu's first line, for learning codes: the last key heard and what
// it does, from every key, also one a dialog took. "Last key: 0x12 (18) =
// Enter", "... (not mapped)", "... (held)", with ", from [Keys:vlc.exe]"
// once the map has program sections; a named button by its name: "Last
// key: KEY_OK (0x12) -> Enter". A listener of the key path's Show stage.
class LastKeyLine : public KeyListener {
public:
    explicit LastKeyLine(const KeyMap& map);

    void OnKey(const KeyEvent& event, KeyHandling* handling) override;
    const std::string& text() const { return text_; }

private:
    const KeyMap& map_;
    std::string text_;
};
