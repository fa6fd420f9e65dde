// Holds the session's simulated tuner as a build of the next layout version
// would, until STOPFILE exists: what halyard-sim and the simulation build
// meet when builds of two versions run at once.
//
//   sim-stale-state STOPFILE

#include <windows.h>

#include <stdio.h>

#include <string>

#include "TunerState.h"

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    std::shared_ptr<simtuner::TunerState> tuner;
    std::string error;
    if (simtuner::TunerState::OpenShared(true, &tuner, &error) != simtuner::TunerState::OpenStatus::Ok) {
        fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::wstring name = std::wstring(simtuner::layout::kSessionTuner) + simtuner::layout::kMappingSuffix;
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, name.c_str());
    auto* header = static_cast<simtuner::layout::Header*>(
        mapping ? MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0) : nullptr);
    if (!header)
        return 1;
    header->version = simtuner::layout::kVersion + 1;
    printf("holding layout version %u\n", header->version);
    fflush(stdout);
    while (GetFileAttributesA(argv[1]) == INVALID_FILE_ATTRIBUTES)
        Sleep(50);
    UnmapViewOfFile(header);
    CloseHandle(mapping);
    return 0;
}
