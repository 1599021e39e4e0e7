// SPDX-License-Identifier: GPL-3.0-or-later
#include "log_command.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "arguments.h"
#include "row_output.h"
#include "tavo32.h"

namespace tavo::cli {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) {
    stopRequested = 1;
}

// No SA_RESTART: the wait for the next sample ends at the signal. A hang-up
// (the terminal closed) ends the log as cleanly as Ctrl-C. A reader that
// goes away is seen as EPIPE on the next write rather than as a signal.
void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

// Busy processes would otherwise delay a wake-up by whole time slices and
// cost periods: ask for a low real-time priority (root, or RLIMIT_RTPRIO),
// else a larger share (RLIMIT_NICE), else stay as started. The process
// sleeps between samples, so it takes little from anyone.
void raisePriority() {
    prctl(PR_SET_TIMERSLACK, 20000UL, 0, 0, 0);
    sched_param param{};
    param.sched_priority = 10;
    if (sched_setscheduler(0, SCHED_FIFO, &param) == 0) return;
    if (getpriority(PRIO_PROCESS, 0) > -10) setpriority(PRIO_PROCESS, 0, -10);
}

int64_t nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

// Sleeps until the absolute monotonic time; false when a stop signal came.
bool waitUntil(int64_t ns) {
    timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    while (!stopRequested) {
        const int r = clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr);
        if (r != EINTR) return !stopRequested;
    }
    return false;
}

std::string millis(int64_t ns) {
    return fixed(static_cast<double>(ns) / 1e6, 3);
}

}  // namespace

std::string csvHeader(const LogOptions& o) {
    return o.volts ? "time_s,ch0_V,ch1_V,ch2_V,ch3_V" : "time_s,ch0,ch1,ch2,ch3";
}

std::string csvRow(double seconds, const int16_t* codes, int channels, bool answered,
                   const LogOptions& o) {
    const int mode = o.mode < 0 ? 0 : o.mode;
    std::string row = fixed(seconds, 6);  // microseconds: catch-up samples come close together
    for (int k = 0; k < 4; ++k) {
        row += ',';
        if (!answered || k >= channels) continue;
        if (!o.volts)
            row += std::to_string(codes[k]);
        else if (o.converter == Converter::Ad8)
            row += fixed(ad8Volts(codes[k], mode, k, o.vref), 4);
        else
            row += fixed(ad12Volts(codes[k], o.vref), 4);
    }
    return row;
}

int runLog(const LogOptions& o) {
    const std::string outputName = o.output.empty() ? "the output" : o.output;
    int fd = STDOUT_FILENO;
    if (!o.output.empty()) {
        fd = ::open(o.output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) {
            std::fprintf(stderr, "tavo: cannot write %s: %s\n", o.output.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }
    struct stat info {};
    const bool regularFile = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    FlushPolicy policy(!regularFile, o.periodMs);
    RowWriter writer(fd);

    const bool progress = fd != STDOUT_FILENO && isatty(STDERR_FILENO);
    const Target& t = o.target;
    int channels = 4;
    if (o.converter == Converter::Ad8) {
        if (o.mode >= 0) {
            const int16_t r = Poner_Modo_Ad8b32(o.mode, t.port, t.addr);
            if (r != 0)
                std::fprintf(stderr, "tavo: setting mode %d: %s\n", o.mode,
                             failureWords(r, t).c_str());
        }
        channels = ad8ChannelCount(o.mode < 0 ? 0 : o.mode);
    }
    stopRequested = 0;
    catchStopSignals();
    raisePriority();

    // The first failed write ends the log; a closed pipe ends it quietly.
    int writeError = 0;
    auto flushRows = [&] {
        writeError = writer.flush();
        policy.flushed();
        return writeError == 0;
    };
    writer.add(csvHeader(o));
    flushRows();

    const auto periodNs = static_cast<int64_t>(std::llround(o.periodMs * 1e6));
    const int64_t start = nowNs();
    const int64_t deadline =
        o.durationS >= 0 ? start + static_cast<int64_t>(std::llround(o.durationS * 1e9)) : -1;
    int64_t lastProgress = start;
    bool failing = false, anyFailed = false, slowSaid = false;
    int64_t taken = 0;
    // Each sample is due at start + i x period, never at "last + period", so
    // a late read does not push the later ones back; a module slower than the
    // period is read as fast as it allows.
    for (int64_t i = 0; writeError == 0 && (o.samples < 0 || i < o.samples); ++i) {
        const int64_t due = start + i * periodNs;
        if (deadline >= 0 && due >= deadline) break;
        if (!waitUntil(due)) break;
        const int64_t readStart = nowNs();
        if (deadline >= 0 && readStart >= deadline) break;
        const double seconds = static_cast<double>(readStart - start) / 1e9;
        int16_t c[4] = {0, 0, 0, 0};
        const int16_t r =
            o.converter == Converter::Ad8
                ? Leer_Ad8b32(&c[0], &c[1], &c[2], &c[3], t.port, t.addr)
                : Leer_Ad12r32(&c[0], &c[1], &c[2], &c[3], t.port, t.addr, o.differential, o.upper);
        const int64_t readEnd = nowNs();
        if (!slowSaid && readEnd - readStart > periodNs) {
            slowSaid = true;
            std::fprintf(stderr,
                         "tavo: cannot keep the period of %s ms: one read takes %s ms; sampling "
                         "as fast as the module allows\n",
                         fixed(o.periodMs, 3).c_str(), millis(readEnd - readStart).c_str());
        }
        if (r != 0 && !failing)
            std::fprintf(stderr, "tavo: at %s s: %s\n", fixed(seconds, 3).c_str(),
                         failureWords(r, t).c_str());
        else if (r == 0 && failing)
            std::fprintf(stderr, "tavo: at %s s: the module answers again\n",
                         fixed(seconds, 3).c_str());
        failing = r != 0;
        anyFailed = anyFailed || failing;
        writer.add(csvRow(seconds, c, channels, r == 0, o));
        ++taken;
        if (policy.afterRow(readEnd, start + (i + 1) * periodNs)) flushRows();
        if (progress && readEnd - lastProgress >= 1000000000) {
            lastProgress = readEnd;
            std::fprintf(stderr, "\r%lld samples, %s s", static_cast<long long>(taken),
                         fixed(seconds, 1).c_str());
        }
    }
    if (writeError == 0) flushRows();
    // Blanks cover the longer progress line.
    if (progress) std::fprintf(stderr, "\r%lld samples%16s\n", static_cast<long long>(taken), "");
    if (fd != STDOUT_FILENO && ::close(fd) != 0 && writeError == 0) writeError = errno;
    if (writeError == EPIPE) return anyFailed ? 1 : 0;  // the reader has what it wanted
    if (writeError != 0) {
        std::fprintf(stderr, "tavo: writing %s failed: %s\n", outputName.c_str(),
                     std::strerror(writeError));
        return 1;
    }
    return anyFailed ? 1 : 0;
}

}  // namespace tavo::cli
