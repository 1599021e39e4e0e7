// SPDX-License-Identifier: LGPL-2.1-or-later
// 8-bit converter: four analog inputs and one analog output (bus address
// 0x48 + a). In a write transfer the first byte is the control byte, every
// later byte goes to the analog output. In a read transfer each byte sent
// starts the next conversion and carries the previous one, so the first byte
// of a read is the conversion made before it (0x80 after power-on).
#pragma once

#include <array>
#include <cstdint>

#include "bus_chip.h"
#include "source.h"

namespace tavo::sim {

class AdDa8 final : public BusChip {
  public:
    // Control byte fields.
    static constexpr uint8_t kOutputEnable = 0x40;
    static constexpr uint8_t kAutoIncrement = 0x04;

    AdDa8(const SourceClock& clock, double fullScaleVolts = 2.5)
        : clock_(clock), fullScale_(fullScaleVolts) {}

    // Back doors.
    void setInput(int index, const Source& source) { inputs_[index & 3] = source; }
    uint8_t dac() const { return dac_; }
    double outputVolts() const;
    uint8_t control() const { return control_; }
    int channel() const { return channel_; }
    uint8_t pendingConversion() const { return lastConversion_; }
    double fullScale() const { return fullScale_; }

    void begin(bool read) override;
    bool receive(uint8_t byte) override;
    uint8_t transmit() override;

    // Channels the input programming mode (control bits 5-4) provides.
    static int channelCount(uint8_t control);

  private:
    uint8_t convert(int channel);

    const SourceClock& clock_;
    double fullScale_;
    std::array<Source, 4> inputs_{};
    uint8_t control_ = 0x00;
    uint8_t dac_ = 0;
    uint8_t lastConversion_ = 0x80;
    int channel_ = 0;
    bool controlNext_ = false;
};

}  // namespace tavo::sim
