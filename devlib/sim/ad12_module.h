// SPDX-License-Identifier: LGPL-2.1-or-later
// 12-bit converter module at a position 0..2 of a port: a serial A/D with
// eleven inputs (the module wires out 0..7) and a serial 12-bit D/A, each with
// its own active-low select line on the data register. They share the
// module's clock and data-in lines with the two-wire bus (clock = the line
// of control bit 1, data in = the line of control bit 3).
//
// A/D: selecting it puts the MSB of the previous conversion on data out.
// Each rising clock takes one command bit, each falling clock shifts out the
// next result bit; the twelfth falling clock converts the channel named by
// the first four command bits, whose result the next transfer returns.
// Conversion is instant. Codes 11..13 read the references' midpoint, low
// and high; 14 and 15 read 0.
//
// D/A: while its select is low each rising clock shifts the data-in level
// into a 12-bit register (old bits are not cleared); releasing the select
// latches the register into the output.
#pragma once

#include <array>
#include <cstdint>

#include "source.h"

namespace tavo::sim {

class Ad12Module {
  public:
    explicit Ad12Module(const SourceClock& clock, double fullScaleVolts = 5.0)
        : clock_(clock), fullScale_(fullScaleVolts) {}

    // Back doors.
    void setInput(int index, const Source& source);  // 0..10
    uint16_t dac() const { return dac_; }
    double outputVolts() const { return dac_ * fullScale_ / 4096.0; }
    uint16_t pendingConversion() const { return result_; }
    double fullScale() const { return fullScale_; }

    // Line events, driven by the bench.
    void converterSelect(bool asserted);
    void outputSelect(bool asserted);
    void clockEdge(bool rising, bool dataIn);
    // Level the module drives on data out; true also when not driving.
    bool dataOut() const { return dataOut_; }

  private:
    uint16_t convert(int code);

    const SourceClock& clock_;
    double fullScale_;
    std::array<Source, 11> inputs_{};
    // A/D
    bool adSelected_ = false;
    uint8_t adBits_ = 0;
    uint16_t command_ = 0;
    uint16_t shiftOut_ = 0;
    uint16_t result_ = 0;
    bool dataOut_ = true;
    // D/A
    bool daSelected_ = false;
    uint16_t daShift_ = 0;
    uint16_t dac_ = 0;
};

}  // namespace tavo::sim
