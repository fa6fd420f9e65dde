// build/bench.json: the machine, the figures, the goals and whether the run
// went through. Its keys are what other tools read; keep them stable.

#include <cstdio>

#include "Report.h"

namespace bench {

namespace {

std::string JsonEscape(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '"' || c == '\\')
            out += '\\';
        if (static_cast<unsigned char>(c) >= 0x20)
            out += c;
    }
    return out;
}

} // namespace

bool WriteJson(const std::string& path, const Machine& machine, unsigned seed, bool quick,
               const Results& r, const std::vector<Goal>& goals, bool allMet)
{
    FILE* json = fopen(path.c_str(), "w");
    if (!json) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    const KeyFigures& k = r.keys;
    const UnInitFigures& u = r.uninit;
    const InitFigures& i = r.init;
    const IdleCpuFigures& c = r.cpu;
    fprintf(json, "{\n");
    fprintf(json, "  \"machine\": {\"cpu\": \"%s\", \"cores\": \"%s\", \"wine\": \"%s\", "
                  "\"load_start\": \"%s\", \"load_end\": \"%s\"},\n",
            JsonEscape(machine.cpu).c_str(), JsonEscape(machine.cores).c_str(),
            JsonEscape(machine.wine).c_str(), JsonEscape(machine.load).c_str(),
            JsonEscape(machine.loadAfter).c_str());
    fprintf(json, "  \"seed\": %u,\n  \"quick\": %s,\n", seed, quick ? "true" : "false");
    fprintf(json, "  \"latency_ms\": {\"median\": %.3f, \"p99\": %.3f, \"max\": %.3f},\n",
            k.latencyMs.median, k.latencyMs.p99, k.latencyMs.max);
    fprintf(json, "  \"overhead_us\": {\"median\": %.2f, \"p99\": %.2f},\n", k.overheadUs.median,
            k.overheadUs.p99);
    fprintf(json, "  \"overhead_floor_us\": {\"median\": %.2f, \"p99\": %.2f, \"trace_part\": %.2f},\n",
            k.overheadFloorUs.median, k.overheadFloorUs.p99, k.overheadFloorTraceUs);
    fprintf(json, "  \"uninit_idle_ms\": {\"median\": %.4f, \"max\": %.4f},\n", u.idleMs.median,
            u.idleMs.max);
    fprintf(json, "  \"uninit_floor_ms\": {\"median\": %.4f},\n", u.floorMs.median);
    fprintf(json, "  \"uninit_busy_ms\": {\"median\": %.3f, \"max\": %.3f},\n", u.busyMs.median,
            u.busyMs.max);
    fprintf(json, "  \"init_ms\": {\"1\": %.4f, \"10\": %.4f, \"100\": %.4f, \"1000\": %.4f},\n",
            i.ms[0], i.ms[1], i.ms[2], i.ms[3]);
    fprintf(json, "  \"init_floor_ms\": {\"100\": %.4f, \"1000\": %.4f},\n", i.floorMs[2],
            i.floorMs[3]);
    fprintf(json, "  \"init_per_device_us\": %.4f,\n  \"init_floor_per_device_us\": %.4f,\n",
            PerDeviceMs(i.minMs) * 1000, PerDeviceMs(i.floorMinMs) * 1000);
    fprintf(json, "  \"idle_cpu_percent\": %.4f,\n", c.percent);
    fprintf(json, "  \"idle_cpu_percent_task_clock\": %.5f,\n", c.taskPercent);
    fprintf(json, "  \"idle_cpu_percent_wineserver\": %.5f,\n", c.serverPercent);
    fprintf(json, "  \"heap_calls_per_poll\": %.3f,\n", r.heap.callsPerPoll);
    const KeysProgramFigures& p = r.keysProgram;
    fprintf(json, "  \"halyard_keys\": {\"key_to_sendinput_ms\": {\"median\": %.4f, \"max\": %.4f, "
                  "\"n\": %zu}, \"idle_cpu_percent\": %.4f, \"idle_cpu_percent_task_clock\": %.5f, "
                  "\"idle_cpu_window_thread_percent\": %.5f, \"idle_cpu_floor_percent_task_clock\": %.5f, "
                  "\"private_mb\": %.3f, "
                  "\"private_floor_mb\": %.3f, "
                  "\"step_aside_ms\": {\"median\": %.1f, \"max\": %.1f, \"n\": %zu}, "
                  "\"read_again_ms\": {\"median\": %.1f, \"max\": %.1f, \"n\": %zu}, "
                  "\"idle_programs_beside\": %d, "
                  "\"idle_cpu_beside_programs_percent_task_clock\": %.5f, %s, %s},\n",
            p.keyMs.median, p.keyMs.max, p.keyMs.n, p.cpuPercent, p.taskPercent,
            p.windowThreadPercent, p.floorTaskPercent, p.privateMb, p.floorPrivateMb,
            p.asideMs.median, p.asideMs.max, p.asideMs.n, p.backMs.median, p.backMs.max,
            p.backMs.n, p.asideOthers, p.asideIdleTaskPercent, LircJson(r.lirc).c_str(),
            KeysActionsJson(r.keysActions).c_str());
    fprintf(json, "  \"goals\": [");
    for (size_t g = 0; g < goals.size(); ++g)
        fprintf(json, "%s\n    {\"goal\": \"%s\", \"met\": %s}", g ? "," : "",
                JsonEscape(goals[g].text).c_str(), goals[g].met ? "true" : "false");
    fprintf(json, "\n  ],\n  \"all_goals_met\": %s,\n  \"run_ok\": %s\n}\n",
            allMet ? "true" : "false", r.errors.ok ? "true" : "false");
    fclose(json);
    return true;
}

} // namespace bench
