#pragma once

// What the program is doing with the tuner. The numbers are what the
// program's state message answers (KeysApp::StateMessage).
enum class TunerState {
    Listening,
    Paused,
    Waiting, // no tuner found: tried again by itself
    Failed,
    Aside, // paused by itself while another program reads the tuner
};
