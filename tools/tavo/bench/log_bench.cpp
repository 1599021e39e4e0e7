// SPDX-License-Identifier: GPL-3.0-or-later
// Figures for tavo log on the simulated bench: how far the last time stamp
// of 1000 samples at 10 ms lies from 9.99 s, and the shortest period each
// converter sustains (the wall time of one four-channel read). Prints only.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "log_command.h"
#include "tavo32.h"

using namespace tavo::cli;
using Clock = std::chrono::steady_clock;

namespace {

// Last time stamp of a CSV log, and its number of rows.
double lastTime(const std::string& file, int* rows) {
    std::FILE* f = std::fopen(file.c_str(), "r");
    char line[256];
    *rows = -1;
    double last = 0;
    while (f && std::fgets(line, sizeof line, f)) {
        ++*rows;
        if (*rows > 0) last = std::strtod(line, nullptr);
    }
    if (f) std::fclose(f);
    return last;
}

// Wall time of one read, microseconds: the median of n.
double readMicros(Converter converter, int n) {
    std::vector<double> times;
    int16_t c[4];
    for (int i = 0; i < n; ++i) {
        const auto t0 = Clock::now();
        if (converter == Converter::Ad8)
            Leer_Ad8b32(&c[0], &c[1], &c[2], &c[3], 0x378, 0);
        else
            Leer_Ad12r32(&c[0], &c[1], &c[2], &c[3], 0x378, 0, 0, 0);
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - t0).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main() {
    const std::string file = "/tmp/tavo_log_bench.csv";
    LogOptions o;
    o.periodMs = 10;
    o.samples = 1000;
    o.output = file;
    const auto t0 = Clock::now();
    runLog(o);
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    int rows = 0;
    const double last = lastTime(file, &rows);
    std::printf(
        "log ad8, 10 ms x 1000: %d rows, last time %.4f s (%+.3f %% of 9.99 s), wall %.3f s\n",
        rows, last, (last - 9.99) / 9.99 * 100, wall);
    for (Converter c : {Converter::Ad8, Converter::Ad12}) {
        const double us = readMicros(c, 500);
        std::printf("%s four-channel read: %.1f us wall (shortest sustained period %.3f ms)\n",
                    c == Converter::Ad8 ? "8-bit" : "12-bit", us, us / 1000);
    }
    // A short period held over 2000 samples: the last row is due at 1999 periods.
    for (Converter c : {Converter::Ad8, Converter::Ad12})
        for (double periodMs : {1.0, 0.2}) {
            LogOptions fast;
            fast.converter = c;
            fast.periodMs = periodMs;
            fast.samples = 2000;
            fast.output = file;
            runLog(fast);
            const double due = 1999 * fast.periodMs / 1000;
            const double at = lastTime(file, &rows);
            std::printf("log %s at %.2f ms x 2000: %d rows, last time %.4f s, due %.4f s\n",
                        c == Converter::Ad8 ? "ad8" : "ad12", fast.periodMs, rows, at, due);
        }
    std::printf("bus time on a real port: 3.6 ms (8-bit, four channels), 0.63 ms (12-bit)\n");
    return 0;
}
