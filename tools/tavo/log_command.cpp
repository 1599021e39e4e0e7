#include "log_command.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "arguments.h"
#include "tavo32.h"

namespace tavo::cli {

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void onStopSignal(int) {
    stopRequested = 1;
}

// No SA_RESTART: the wait for the next sample ends at the signal.
void catchStopSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
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
        if (r == 0) return !stopRequested;
        if (r != EINTR) return !stopRequested;
    }
    return false;
}

}  // namespace

int64_t samplesForDuration(double durationS, double periodMs) {
    const double n = std::floor(durationS * 1000.0 / periodMs + 1e-9);
    return n < 1 ? 1 : static_cast<int64_t>(n);
}

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
            row += fixed(ad8Volts(codes[k], mode, k), 4);
        else
            row += fixed(ad12Volts(codes[k]), 4);
    }
    return row;
}

int runLog(const LogOptions& o) {
    std::FILE* out = stdout;
    if (!o.output.empty()) {
        out = std::fopen(o.output.c_str(), "w");
        if (!out) {
            std::fprintf(stderr, "tavo: cannot write %s: %s\n", o.output.c_str(),
                         std::strerror(errno));
            return 1;
        }
    }
    const bool progress = out != stdout && isatty(STDERR_FILENO);
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
    std::fprintf(out, "%s\n", csvHeader(o).c_str());

    const auto periodNs = static_cast<int64_t>(std::llround(o.periodMs * 1e6));
    const int64_t start = nowNs();
    int64_t lastProgress = start;
    bool failing = false, anyFailed = false;
    int64_t taken = 0;
    // Each sample is due at start + i x period, never at "last + period", so
    // a late read does not push the later ones back.
    for (int64_t i = 0; o.samples < 0 || i < o.samples; ++i) {
        if (!waitUntil(start + i * periodNs)) break;
        const double seconds = static_cast<double>(nowNs() - start) / 1e9;
        int16_t c[4] = {0, 0, 0, 0};
        const int16_t r =
            o.converter == Converter::Ad8
                ? Leer_Ad8b32(&c[0], &c[1], &c[2], &c[3], t.port, t.addr)
                : Leer_Ad12r32(&c[0], &c[1], &c[2], &c[3], t.port, t.addr, o.differential, o.upper);
        if (r != 0 && !failing)
            std::fprintf(stderr, "tavo: at %s s: %s\n", fixed(seconds, 3).c_str(),
                         failureWords(r, t).c_str());
        else if (r == 0 && failing)
            std::fprintf(stderr, "tavo: at %s s: the module answers again\n",
                         fixed(seconds, 3).c_str());
        failing = r != 0;
        anyFailed = anyFailed || failing;
        std::fprintf(out, "%s\n", csvRow(seconds, c, channels, r == 0, o).c_str());
        ++taken;
        if (progress && nowNs() - lastProgress >= 1000000000) {
            lastProgress = nowNs();
            std::fprintf(stderr, "\r%lld samples, %s s", static_cast<long long>(taken),
                         fixed(seconds, 1).c_str());
        }
    }
    // Blanks cover the longer progress line.
    if (progress) std::fprintf(stderr, "\r%lld samples%16s\n", static_cast<long long>(taken), "");
    bool written = std::fflush(out) == 0 && !std::ferror(out);
    if (out != stdout) written = std::fclose(out) == 0 && written;
    if (!written) {
        std::fprintf(stderr, "tavo: writing %s failed\n",
                     o.output.empty() ? "the output" : o.output.c_str());
        return 1;
    }
    return anyFailed ? 1 : 0;
}

}  // namespace tavo::cli
