// SPDX-License-Identifier: LGPL-2.1-or-later
#include "vcd_trace.h"

#include <cerrno>
#include <cstring>

namespace tavo::sim {

namespace {
const char* const kNames[VcdTrace::Sel] = {"scl", "sda", "clk", "din", "dout"};

// One identifier character per wire: the five lines, then the eight select
// bits, of every port.
constexpr int kWiresPerPort = VcdTrace::Sel + 8;
char idOf(int port, int wire) {
    return static_cast<char>('A' + port * kWiresPerPort + wire);
}
}  // namespace

VcdTrace::~VcdTrace() {
    if (!file_) return;
    flush();
    std::fclose(file_);
}

bool VcdTrace::open(const std::string& path, const uint16_t* bases, const bool* shown,
                    int portCount, const uint8_t (*levels)[SignalCount], uint64_t timeNs,
                    std::string* error) {
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) {
        if (error) *error = path + ": cannot write the bus trace: " + std::strerror(errno);
        return false;
    }
    std::string header =
        "$version kalmor simulated bench $end\n"
        "$timescale 1 ns $end\n";
    for (int p = 0; p < portCount && p < kMaxPorts; ++p) {
        shown_[p] = shown[p];
        if (!shown_[p]) continue;
        char scope[64];
        std::snprintf(scope, sizeof scope, "$scope module port_%03X $end\n", bases[p]);
        header += scope;
        char var[64];
        for (int w = 0; w < Sel; ++w) {
            std::snprintf(var, sizeof var, "$var wire 1 %c p%03X_%s $end\n", idOf(p, w), bases[p],
                          kNames[w]);
            header += var;
        }
        for (int bit = 0; bit < 8; ++bit) {
            std::snprintf(var, sizeof var, "$var wire 1 %c p%03X_sel%d $end\n", idOf(p, Sel + bit),
                          bases[p], bit);
            header += var;
        }
        header += "$upscope $end\n";
    }
    header += "$enddefinitions $end\n";
    put(header.data(), header.size());
    putTime(timeNs);
    put("$dumpvars\n", 10);
    for (int p = 0; p < portCount && p < kMaxPorts; ++p) {
        if (!shown_[p]) continue;
        for (int s = 0; s < SignalCount; ++s) {
            values_[p][s] = levels[p][s];
            putValue(p, static_cast<Signal>(s), levels[p][s], 0xFF);
        }
    }
    put("$end\n", 5);
    flush();
    return true;
}

void VcdTrace::change(int port, Signal signal, uint8_t value, uint64_t timeNs) {
    if (!file_ || !shown_[port] || values_[port][signal] == value) return;
    const uint8_t moved = values_[port][signal] ^ value;
    values_[port][signal] = value;
    if (!timeWritten_ || timeNs > lastTime_) putTime(timeNs);
    putValue(port, signal, value, moved);
}

void VcdTrace::finish(uint64_t timeNs) {
    if (!file_) return;
    if (!timeWritten_ || timeNs > lastTime_) putTime(timeNs);
    flush();
}

void VcdTrace::flush() {
    if (!file_) return;
    if (used_) std::fwrite(buffer_, 1, used_, file_);
    used_ = 0;
    std::fflush(file_);
}

void VcdTrace::put(const char* text, size_t length) {
    if (used_ + length > sizeof buffer_) {
        std::fwrite(buffer_, 1, used_, file_);
        used_ = 0;
        if (length > sizeof buffer_) {
            std::fwrite(text, 1, length, file_);
            return;
        }
    }
    std::memcpy(buffer_ + used_, text, length);
    used_ += length;
}

void VcdTrace::putTime(uint64_t timeNs) {
    char line[32];
    const int n =
        std::snprintf(line, sizeof line, "#%llu\n", static_cast<unsigned long long>(timeNs));
    put(line, static_cast<size_t>(n));
    lastTime_ = timeNs;
    timeWritten_ = true;
}

void VcdTrace::putValue(int port, Signal signal, uint8_t value, uint8_t moved) {
    char line[3] = {value ? '1' : '0', idOf(port, signal), '\n'};
    if (signal != Sel) {
        put(line, sizeof line);
        return;
    }
    for (int bit = 0; bit < 8; ++bit) {
        if (!((moved >> bit) & 1)) continue;
        line[0] = ((value >> bit) & 1) ? '1' : '0';
        line[1] = idOf(port, Sel + bit);
        put(line, sizeof line);
    }
}

}  // namespace tavo::sim
