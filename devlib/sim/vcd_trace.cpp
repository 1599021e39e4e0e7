#include "vcd_trace.h"

#include <cerrno>
#include <cstring>

namespace tavo::sim {

namespace {
const char* const kNames[VcdTrace::SignalCount] = {"scl", "sda", "clk", "din", "dout", "sel"};

// One letter per signal of every port.
char idOf(int port, int signal) {
    return static_cast<char>('A' + port * VcdTrace::SignalCount + signal);
}
}  // namespace

VcdTrace::~VcdTrace() {
    if (!file_) return;
    flush();
    std::fclose(file_);
}

bool VcdTrace::open(const std::string& path, const uint16_t* bases, int portCount,
                    const uint8_t (*levels)[SignalCount], uint64_t timeNs, std::string* error) {
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) {
        if (error) *error = path + ": cannot write the bus trace: " + std::strerror(errno);
        return false;
    }
    std::string header =
        "$version kalmor simulated bench $end\n"
        "$timescale 1 ns $end\n";
    for (int p = 0; p < portCount && p < kMaxPorts; ++p) {
        char scope[64];
        std::snprintf(scope, sizeof scope, "$scope module port_%03X $end\n", bases[p]);
        header += scope;
        for (int s = 0; s < SignalCount; ++s) {
            char var[64];
            std::snprintf(var, sizeof var, "$var wire %d %c %s $end\n", s == Sel ? 8 : 1,
                          idOf(p, s), kNames[s]);
            header += var;
        }
        header += "$upscope $end\n";
    }
    header += "$enddefinitions $end\n";
    put(header.data(), header.size());
    putTime(timeNs);
    put("$dumpvars\n", 10);
    for (int p = 0; p < portCount && p < kMaxPorts; ++p)
        for (int s = 0; s < SignalCount; ++s) {
            values_[p][s] = levels[p][s];
            putValue(p, static_cast<Signal>(s), levels[p][s]);
        }
    put("$end\n", 5);
    flush();
    return true;
}

void VcdTrace::change(int port, Signal signal, uint8_t value, uint64_t timeNs) {
    if (!file_ || values_[port][signal] == value) return;
    values_[port][signal] = value;
    if (!timeWritten_ || timeNs > lastTime_) putTime(timeNs);
    putValue(port, signal, value);
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

void VcdTrace::putValue(int port, Signal signal, uint8_t value) {
    char line[16];
    int n;
    if (signal == Sel) {
        n = 0;
        line[n++] = 'b';
        for (int bit = 7; bit >= 0; --bit) line[n++] = ((value >> bit) & 1) ? '1' : '0';
        line[n++] = ' ';
    } else {
        n = 0;
        line[n++] = value ? '1' : '0';
    }
    line[n++] = idOf(port, signal);
    line[n++] = '\n';
    put(line, static_cast<size_t>(n));
}

}  // namespace tavo::sim
