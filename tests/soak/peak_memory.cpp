// The soak: replays one long aimed game twice, stopped after SHORT and after
// LONG pumps, and fails when the replay tool's peak resident memory grows with
// the length of the run by more than a small tolerance (entity lists grow a
// little with the level; anything kept per frame would grow by megabytes).
//
//   peak_memory REPLAY_TOOL SCRIPT SEED SHORT LONG     (run from data/)
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

struct Outcome {
    bool ok = false;
    long peak_kb = 0;
    std::string last_line;  // the trace's last line: "limit P N S"
};

Outcome replay(const char* tool, const char* script, const char* seed, const std::string& pumps) {
    Outcome outcome;
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) return outcome;
    const pid_t child = fork();
    if (child < 0) return outcome;
    if (child == 0) {
        dup2(pipe_ends[1], STDOUT_FILENO);
        close(pipe_ends[0]);
        close(pipe_ends[1]);
        execl(tool, tool, "--seed", seed, "--input", script, "--max-pumps", pumps.c_str(), "--state",
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipe_ends[1]);
    // Only the last line is kept, so this process stays small whatever the trace.
    std::string line;
    char buffer[65536];
    ssize_t got = 0;
    while ((got = read(pipe_ends[0], buffer, sizeof buffer)) > 0) {
        for (ssize_t i = 0; i < got; ++i) {
            if (buffer[i] == '\n') {
                outcome.last_line = line;
                line.clear();
            } else {
                line += buffer[i];
            }
        }
    }
    close(pipe_ends[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return outcome;
    outcome.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    outcome.peak_kb = usage.ru_maxrss;  // kilobytes on Linux
    return outcome;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: peak_memory REPLAY_TOOL SCRIPT SEED SHORT LONG\n");
        return 2;
    }
    const std::string pumps[2] = {argv[4], argv[5]};
    long peaks[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const Outcome run = replay(argv[1], argv[2], argv[3], pumps[i]);
        if (!run.ok || run.last_line.rfind("limit " + pumps[i] + " ", 0) != 0) {
            std::printf("the run of %s pumps failed or ended early: '%s'\n", pumps[i].c_str(), run.last_line.c_str());
            return 1;
        }
        peaks[i] = run.peak_kb;
        std::printf("%s pumps: peak %ld kB (%s)\n", pumps[i].c_str(), run.peak_kb, run.last_line.c_str());
    }
    // 5 % of the short run's peak, and never less than 1 MB.
    const long tolerance = peaks[0] / 20 > 1024 ? peaks[0] / 20 : 1024;
    if (peaks[1] > peaks[0] + tolerance) {
        std::printf("peak memory grew by %ld kB, more than the %ld kB allowed\n", peaks[1] - peaks[0], tolerance);
        return 1;
    }
    std::printf("peak memory grew by %ld kB (at most %ld kB allowed)\n", peaks[1] - peaks[0], tolerance);
    return 0;
}
