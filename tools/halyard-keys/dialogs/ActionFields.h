#pragma once

#include <windows.h>

#include "KeyMap.h"
#include "MappingForm.h"

// The controls of one action in Map a key (when pressed, or the long press):
// the list of kinds, and each kind's fields, of which only the chosen kind's
// show, in one place of the template. Fills them from an ActionChoice and
// reads one back.
class ActionFields {
public:
    // The controls' identifiers (resource.h).
    struct Ids {
        int kind, keys, sequence, common, text, command, browse, mode, once;
    };

    explicit ActionFields(const Ids& ids) : ids_(ids) {}

    // Fills the lists: the kinds, the common actions, and the modes of map.
    void Init(HWND dialog, const KeyMap& map);
    void Show(const ActionChoice& choice);
    ActionChoice Read() const;
    ActionChoice::Kind Kind() const;
    void Enable(bool enabled);
    // A WM_COMMAND of its controls: a kind chosen, Browse... True when it
    // was one of them.
    bool Command(int id, int code);
    bool IsKindList(int id) const { return id == ids_.kind; }

private:
    void ShowKindFields();
    void Browse();

    Ids ids_;
    HWND dialog_ = nullptr;
};
