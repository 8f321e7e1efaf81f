// SPDX-License-Identifier: MIT
// What a stress of many shots costs under the test clock, through the script runner
// as a test would drive it: `new`, N clicks at once, `tick 70` (every shot flies its
// whole path and ends), one run of zarpeta-script per N.
//
//   BM_ScriptedShots/N   the whole run, start-up included, in seconds; MaxRssMiB: the
//                        runner's peak memory, which the headless host's bounded
//                        record of cues keeps from growing with the cues
//
// Goals on a 2-core machine: 2000 shots under 5 s, 10000 under 30 s. Each step hands
// the clock from one worker straight to the next, so the cost grows with the steps
// (N x 70), not with their square.
#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

extern char** environ;

namespace {

std::string WriteShotsScript(int64_t shots) {
    char path[] = "/tmp/zarpeta-bench-XXXXXX";
    const int descriptor = mkstemp(path);
    if (descriptor < 0) {
        return {};
    }
    close(descriptor);
    std::ofstream script(path);
    script << "new\n";
    for (int64_t shot = 0; shot < shots; ++shot) {
        script << "click\n";
    }
    script << "tick 70\n";
    return script.good() ? path : std::string{};
}

// The exit code; maxRss: the run's peak resident memory in KiB.
int RunScript(const std::string& path, long& maxRss) {
    char program[] = ZARPETA_SCRIPT_PROGRAM;
    std::string argument = path;
    char* arguments[] = {program, argument.data(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, program, nullptr, nullptr, arguments, environ) != 0) {
        return -1;
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    maxRss = usage.ru_maxrss;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void BM_ScriptedShots(benchmark::State& state) {
    const std::string path = WriteShotsScript(state.range(0));
    if (path.empty()) {
        state.SkipWithError("cannot write the script");
        return;
    }
    for (auto _ : state) {
        long maxRss = 0;
        if (RunScript(path, maxRss) != 0) {
            state.SkipWithError("zarpeta-script failed");
            break;
        }
        state.counters["MaxRssMiB"] = static_cast<double>(maxRss) / 1024;
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_ScriptedShots)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(10000)
    ->Iterations(1)
    ->UseRealTime()
    ->Unit(benchmark::kSecond);

}  // namespace
