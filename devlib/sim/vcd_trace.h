// SPDX-License-Identifier: LGPL-2.1-or-later
// Line levels over simulated time as a VCD file (timescale 1 ns), one scope
// per port base with the one-bit wires pBBB_scl, pBBB_sda (two-wire bus),
// pBBB_clk, pBBB_din, pBBB_dout (12-bit modules) and the data register as
// pBBB_sel0 ... pBBB_sel7 (BBB the base in hexadecimal). Logic-analyser
// loaders flatten the scopes and take no vectors, hence the unique names
// and the single-bit select lines.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace tavo::sim {

class VcdTrace {
  public:
    enum Signal : uint8_t { Scl, Sda, Clk, Din, Dout, Sel, SignalCount };
    static constexpr int kMaxPorts = 3;

    VcdTrace() = default;
    VcdTrace(const VcdTrace&) = delete;
    VcdTrace& operator=(const VcdTrace&) = delete;
    ~VcdTrace();

    // Writes the header and the initial values (levels[port][signal]) at timeNs.
    // Ports whose shown[port] is false are left out of the file.
    bool open(const std::string& path, const uint16_t* bases, const bool* shown, int portCount,
              const uint8_t (*levels)[SignalCount], uint64_t timeNs, std::string* error);
    bool isOpen() const { return file_ != nullptr; }
    // Times must not go backwards; a change to the value already shown is dropped.
    void change(int port, Signal signal, uint8_t value, uint64_t timeNs);
    void flush();
    // Writes a last time stamp (later than every change) and flushes.
    void finish(uint64_t timeNs);

  private:
    void put(const char* text, size_t length);
    void putTime(uint64_t timeNs);
    // For the select register only the bits in moved are written.
    void putValue(int port, Signal signal, uint8_t value, uint8_t moved);

    std::FILE* file_ = nullptr;
    uint8_t values_[kMaxPorts][SignalCount] = {};
    bool shown_[kMaxPorts] = {};
    uint64_t lastTime_ = 0;
    bool timeWritten_ = false;
    char buffer_[1 << 16];
    size_t used_ = 0;
};

}  // namespace tavo::sim
