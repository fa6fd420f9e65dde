#include "SimulatedQBoxRemoteControl.h"

#include "SimTuner.h"
#include "diag/DebugTrace.h"

HRESULT SimulatedQBoxRemoteControl::OpenDevice()
{
    CloseDevice();

    // Another build's tuner is refused rather than read; the host sees no
    // tuner, and the reason goes to the debugger output.
    std::shared_ptr<simtuner::TunerState> tuner;
    std::string error;
    if (simtuner::TunerState::OpenShared(true, &tuner, &error) != simtuner::TunerState::OpenStatus::Ok) {
        DebugTrace("Simulated tuner: %s!\n", error.c_str());
        return E_FAIL;
    }

    // Without COM on this thread the registration fails, and the discovery
    // with it, as it does for the real tuner.
    simtuner::Simulation simulation(simtuner::OneTuner(), std::move(tuner));
    if (FAILED(simulation.Install()))
        return E_FAIL;
    return QBoxRemoteControl::OpenDevice();
    // The simulation's end revokes the class object; the tuner stays, and
    // holds the session's state while the library holds the tuner.
}
