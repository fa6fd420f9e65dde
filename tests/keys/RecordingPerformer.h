#pragma once

// Strict fakes for the key path's tests: what the key map's actions would
// have had sent or started, and what the user would have been told.

#include <string>
#include <vector>

#include "ActionPerformer.h"
#include "Notices.h"
#include "PointerMover.h"

class RecordingPerformer : public ActionPerformer {
public:
    // "Enter", "VK_VOLUME_UP x2", "mouse: click"; Stops and EndDrags are
    // counted.
    std::vector<std::string> performed;
    bool fail = false;
    bool idle = true;
    bool heldBack = false;

    bool Perform(const KeyAction& action, unsigned times) override
    {
        performed.push_back(DescribeAction(action) +
                            (times > 1 ? " x" + std::to_string(times) : ""));
        return !fail;
    }
    bool Idle() const override { return idle; }
    void Stop() override { stops++; }
    void EndDrag() override { endDrags++; }
    void HoldBack(bool holdBack) override { heldBack = holdBack; }

    int stops = 0;
    int endDrags = 0;
};

// The pointer's moves: "right" for Start(1, 0), "up left", "stop".
class RecordingMover : public PointerMover {
public:
    std::vector<std::string> moves;

    void Start(int dx, int dy) override
    {
        std::string way = dy < 0 ? "up" : dy > 0 ? "down" : "";
        if (dx)
            way += std::string(way.empty() ? "" : " ") + (dx < 0 ? "left" : "right");
        moves.push_back(way);
    }
    void Stop() override { moves.push_back("stop"); }
};

class RecordingNotices : public Notices {
public:
    std::vector<std::string> told; // "title: text"

    unsigned Notify(const std::string& title, const std::string& text, Kind) override
    {
        told.push_back(title + ": " + text);
        return static_cast<unsigned>(told.size());
    }
};
