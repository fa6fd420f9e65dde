#include "Commands.h"

#include <stdarg.h>
#include <stdio.h>

#include <memory>

#include "ExitCodes.h"
#include "FrameQueue.h"
#include "Messages.h"
#include "ScriptPlayer.h"
#include "SimScript.h"

using simtuner::FrameQueue;

namespace {

// A host polls every 250 ms; a second without a read means none is polling.
const uint64_t kListeningMs = 1000;

const char* Plural(unsigned count, const char* ending)
{
    return count == 1 ? "" : ending;
}

int OpenFailure(FrameQueue::OpenStatus status, const std::string& error)
{
    Report("%s", error.c_str());
    return status == FrameQueue::OpenStatus::Mismatch ? kSimExitMismatch : kSimExitFailure;
}

// A queue refusal as its exit code; index is the script's press, or 0 for press.
int Refused(FrameQueue::Result result, size_t index, bool inScript)
{
    if (result == FrameQueue::Result::Full) {
        if (inScript)
            Report(text::kFullInScript, FrameQueue::kCapacity, static_cast<unsigned>(index + 1));
        else
            Report(text::kFull, FrameQueue::kCapacity);
        return kSimExitQueueFull;
    }
    Report("%s", text::kBusy);
    return kSimExitFailure;
}

void WarnIfNobodyReads(FrameQueue* queue)
{
    if (queue->Created()) {
        Report("%s", text::kNobodyOpen);
        return;
    }
    FrameQueue::Status status;
    if (queue->GetStatus(&status) == FrameQueue::Result::Ok &&
        (!status.everRead || status.msSinceRead > kListeningMs))
        Report("%s", text::kNobodyReading);
}

} // namespace

void Report(const char* format, ...)
{
    fprintf(stderr, "%s: ", text::kTool);
    va_list args;
    va_start(args, format);
    vfprintf(stderr, format, args);
    va_end(args);
    fputc('\n', stderr);
    fflush(stderr);
}

int PressCommand(const std::vector<std::string>& fields)
{
    simtuner::Press press;
    std::string error;
    if (!simtuner::ParsePress(fields, &press, &error)) {
        Report("%s (see --help)", error.c_str());
        return kSimExitUsage;
    }
    std::shared_ptr<FrameQueue> queue;
    FrameQueue::OpenStatus status = FrameQueue::OpenShared(true, &queue, &error);
    if (status != FrameQueue::OpenStatus::Ok)
        return OpenFailure(status, error);

    simtuner::Frame frame = simtuner::MakeFrame(press.customCode, press.key, press.fourth);
    FrameQueue::Result result = queue->Push(frame);
    if (result != FrameQueue::Result::Ok)
        return Refused(result, 0, false);
    printf(text::kQueued, frame[0], frame[1], frame[2], frame[3]);
    fflush(stdout);
    WarnIfNobodyReads(queue.get());
    return kSimExitOk;
}

int PlayCommand(const std::string& scriptPath)
{
    std::vector<simtuner::Press> presses;
    std::string error;
    if (!simtuner::LoadScript(scriptPath.c_str(), &presses, &error)) {
        Report(text::kScriptFault, scriptPath.c_str(), error.c_str());
        return kSimExitScript;
    }
    std::shared_ptr<FrameQueue> queue;
    FrameQueue::OpenStatus status = FrameQueue::OpenShared(true, &queue, &error);
    if (status != FrameQueue::OpenStatus::Ok)
        return OpenFailure(status, error);
    WarnIfNobodyReads(queue.get());

    simtuner::ScriptPlayer player(queue);
    player.Play(presses);
    player.Wait();
    size_t index = 0;
    FrameQueue::Result result = player.Outcome(&index);
    if (result != FrameQueue::Result::Ok)
        return Refused(result, index, true);
    unsigned count = static_cast<unsigned>(presses.size());
    printf(text::kPlayed, count, Plural(count, "es"));
    return kSimExitOk;
}

int StatusCommand()
{
    std::shared_ptr<FrameQueue> queue;
    std::string error;
    FrameQueue::OpenStatus opened = FrameQueue::OpenShared(false, &queue, &error);
    if (opened == FrameQueue::OpenStatus::NotFound) {
        printf(text::kStatusFrames, 0u, FrameQueue::kCapacity);
        printf("%s", text::kStatusNotOpen);
        return kSimExitOk;
    }
    if (opened != FrameQueue::OpenStatus::Ok)
        return OpenFailure(opened, error);

    FrameQueue::Status status;
    FrameQueue::Result result = queue->GetStatus(&status);
    if (result != FrameQueue::Result::Ok)
        return Refused(result, 0, false);
    printf(text::kStatusFrames, status.pending, FrameQueue::kCapacity);
    if (!status.everRead)
        printf("%s", text::kStatusNeverRead);
    else if (status.msSinceRead <= kListeningMs)
        printf(text::kStatusReading, static_cast<unsigned>(status.msSinceRead));
    else
        printf(text::kStatusStale, status.msSinceRead / 1000.0);
    return kSimExitOk;
}

int ClearCommand()
{
    std::shared_ptr<FrameQueue> queue;
    std::string error;
    FrameQueue::OpenStatus opened = FrameQueue::OpenShared(false, &queue, &error);
    uint32_t cleared = 0;
    if (opened == FrameQueue::OpenStatus::Ok) {
        FrameQueue::Result result = queue->Clear(&cleared);
        if (result != FrameQueue::Result::Ok)
            return Refused(result, 0, false);
    } else if (opened != FrameQueue::OpenStatus::NotFound) {
        return OpenFailure(opened, error);
    }
    printf(text::kCleared, cleared, Plural(cleared, "s"));
    return kSimExitOk;
}
