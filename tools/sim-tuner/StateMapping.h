#pragma once

// The memory behind a TunerState and the mutex that guards it: a process's
// own, or a named file mapping and mutex in Local\ that every process of the
// session opens. The process that makes the mapping writes its header; every
// other checks it against this build's layout before using it.

#include <windows.h>

#include <memory>
#include <string>

#include "TunerStateLayout.h"

namespace simtuner {

class StateMapping {
public:
    enum class OpenStatus {
        Ok,
        NotFound, // create was false and no process has the mapping open
        Mismatch, // another build's layout, or not a tuner's state at all
        Failed,   // the system refused the mapping or the mutex
    };

    // Memory of this process's own, for a tuner plugged in.
    static std::unique_ptr<StateMapping> Local();
    // The mapping named name (see layout::kSessionTuner), made when create is
    // true and no process has it open. On failure *error holds a one-line
    // reason.
    static OpenStatus OpenShared(bool create, const std::wstring& name,
                                 std::unique_ptr<StateMapping>* mapping, std::string* error);

    ~StateMapping();
    StateMapping(const StateMapping&) = delete;
    StateMapping& operator=(const StateMapping&) = delete;

    layout::Layout* memory() const { return memory_; }
    // True when this handle made the mapping: no other process had it open.
    bool created() const { return created_; }
    const std::wstring& name() const { return name_; } // empty for a local one

    // The mutex; false when another process held it too long. One that died
    // holding it leaves it to the next.
    bool Acquire();
    void Release();

private:
    StateMapping(layout::Layout* memory, HANDLE mutex, HANDLE mapping, bool created,
                 std::wstring name);

    layout::Layout* memory_;
    HANDLE mutex_;
    HANDLE mapping_; // null for a local one, whose memory is its own
    bool created_;
    std::wstring name_;
};

} // namespace simtuner
