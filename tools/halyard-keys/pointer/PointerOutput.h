#pragma once

// Where the moves of the pointer go: the system's cursor
// (SystemPointerOutput), or a recording in tests and the benchmark. Called
// from PointerMotion's thread.
class PointerOutput {
public:
    virtual ~PointerOutput() = default;
    virtual void MoveBy(int dx, int dy) = 0;
};

// Moves the cursor by whole pixels, kept on the screens. SetCursorPos, not
// a relative SendInput: a relative move is scaled by the user's pointer
// speed and "enhance pointer precision", and would stall or leap; the
// cursor's own position is read each time, so that a real mouse moved
// meanwhile is followed, not fought.
class SystemPointerOutput : public PointerOutput {
public:
    void MoveBy(int dx, int dy) override;
};
