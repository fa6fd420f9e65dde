#pragma once

// What moves the pointer while a key is held: PointerMotion, or a fake in
// tests. Directions are -1, 0 or 1 on each axis (screen coordinates: y
// grows downwards).
class PointerMover {
public:
    virtual ~PointerMover() = default;
    // Starts moving that way, slowly at first, or goes on that way from
    // the start's speed again when already moving.
    virtual void Start(int dx, int dy) = 0;
    // No move after this returns.
    virtual void Stop() = 0;
};
