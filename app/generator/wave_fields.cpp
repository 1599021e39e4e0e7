// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/wave_fields.h"

#include <cmath>
#include <limits>

#include "common/numbers.h"

namespace {

constexpr int kPeriodMinMs = 100;
constexpr int kPeriodMaxMs = 15000;
const QString kLineBreak = QStringLiteral("\r\n");

// The reading kept within 16 bits, not yet rounded.
double readClamped(const QString& text) {
    const double v = readNumber(text);
    if (std::isnan(v)) return 0.0;
    constexpr double lo = std::numeric_limits<int16_t>::min();
    constexpr double hi = std::numeric_limits<int16_t>::max();
    return v < lo ? lo : (v > hi ? hi : v);
}

// What the table's fill writes for offset + amplitude / 2, the top of a
// periodic wave.
double waveTop(int offset, int amplitude) {
    return std::rint(offset + amplitude / 2.0);
}

FieldCorrection tooLarge(const char* what, int corrected) {
    return {QString::fromUtf8(what) + QStringLiteral(" demasiado grande") + kLineBreak +
                QStringLiteral("máximo ") + QString::number(corrected),
            corrected};
}

FieldCorrection tooSmall(const QString& what, int corrected) {
    return {what + kLineBreak + QStringLiteral("mínimo ") + QString::number(corrected), corrected};
}

}  // namespace

WaveFrame frameOf(WaveField field) {
    return static_cast<WaveFrame>(static_cast<int>(field) / 3);
}

WaveField nextField(WaveField field) {
    const int i = static_cast<int>(field);
    return static_cast<WaveField>(i / 3 * 3 + (i % 3 + 1) % 3);
}

int16_t waveMaxCode(ModuleKind kind) {
    return kind == ModuleKind::Converter8 ? 250 : 4095;
}

float waveFullScale(ModuleKind kind) {
    return kind == ModuleKind::Converter8 ? 2.5f : 4.095f;
}

CodeRange editorCodeRange(ModuleKind kind, float plotLower) {
    const bool twelveBit = kind == ModuleKind::Converter12;
    const float k = twelveBit ? 1000.0f : 100.0f;
    return {twelveBit ? k * 4.095f : k * 2.5f, k * plotLower};
}

std::array<QString, kWaveFields> defaultWaveTexts(ModuleKind kind) {
    if (kind == ModuleKind::Converter8) {
        return {"100", "128", "5000", "200", "0", "4000", "100", "128", "5000"};
    }
    return {"1500", "2048", "5000", "4000", "0", "4000", "1500", "2048", "5000"};
}

int16_t readWaveValue(const QString& text) {
    return static_cast<int16_t>(std::rint(readClamped(text)));
}

std::optional<FieldCorrection> checkPeriodicAmplitude(const QString& amplitude,
                                                      const QString& offset, int16_t maxCode) {
    const int A = readWaveValue(amplitude);
    const int O = readWaveValue(offset);
    const int M = maxCode;
    if (A < 1) return FieldCorrection{QStringLiteral("No es posible amplitud negativa ni 0"), 1};
    const int half = static_cast<int>(std::rint(A / 2.0));
    if (O >= M / 2.0) {
        // The top the fill writes, which halves to even can lift by one.
        if (waveTop(O, A) <= M) return std::nullopt;
        return tooLarge("Amplitud", (M - O) * 2);
    }
    if (O - half >= 0) return std::nullopt;
    return tooLarge("Amplitud", O == 0 ? 1 : 2 * O);
}

std::optional<FieldCorrection> checkStimulusAmplitude(const QString& amplitude,
                                                      const QString& offset, int16_t maxCode) {
    const int A = readWaveValue(amplitude);
    const int O = readWaveValue(offset);
    const int M = maxCode;
    if (O + A >= 0) {
        if (O + A <= M) return std::nullopt;
        return tooLarge("Amplitud", M - O);
    }
    return tooSmall(QStringLiteral("Amplitud demasiado pequeña"), -O);
}

std::optional<FieldCorrection> checkPeriodicOffset(const QString& offset, const QString& amplitude,
                                                   int16_t maxCode) {
    const int O = readWaveValue(offset);
    const int M = maxCode;
    if (O < 0) return FieldCorrection{QStringLiteral("No es posible offset negativo"), 0};
    // Half of the reading as typed, then rounded.
    const int half = static_cast<int>(std::rint(readClamped(amplitude) / 2.0));
    if (O >= M / 2.0) {
        const int A = readWaveValue(amplitude);
        if (waveTop(O, A) <= M) return std::nullopt;
        int corrected = M - half;
        while (waveTop(corrected, A) > M) --corrected;
        return tooLarge("Offset", corrected);
    }
    if (O - half >= 0) return std::nullopt;
    return tooSmall(QStringLiteral("Offset demasiado pequeño"), half);
}

std::optional<FieldCorrection> checkStimulusOffset(const QString& offset, const QString& amplitude,
                                                   int16_t maxCode) {
    const int O = readWaveValue(offset);
    const int A = readWaveValue(amplitude);
    const int M = maxCode;
    if (O < 0) return FieldCorrection{QStringLiteral("No es posible offset negativo"), 0};
    if (O + A >= 0) {
        if (O <= M && O + A <= M) return std::nullopt;
        // A negative amplitude would allow an offset above the maximum.
        return tooLarge("Offset", M - A > M ? M : M - A);
    }
    return tooSmall(QStringLiteral("Offset demasiado pequeño"), -A);
}

std::optional<FieldCorrection> checkPeriod(const QString& period) {
    const int P = readWaveValue(period);
    if (P < kPeriodMinMs) {
        return FieldCorrection{QStringLiteral("Periodo demasiado pequeño") + kLineBreak +
                                   QStringLiteral("     mínimo %1 ms").arg(kPeriodMinMs),
                               kPeriodMinMs};
    }
    if (P > kPeriodMaxMs) {
        return FieldCorrection{QStringLiteral("Periodo demasiado grande") + kLineBreak +
                                   QStringLiteral("      máximo %1 ms").arg(kPeriodMaxMs),
                               kPeriodMaxMs};
    }
    return std::nullopt;
}

std::optional<FieldCorrection> checkWaveField(WaveField field,
                                              const std::array<QString, kWaveFields>& texts,
                                              int16_t maxCode) {
    const int frameStart = static_cast<int>(frameOf(field)) * 3;
    const QString& amplitude = texts[frameStart];
    const QString& offset = texts[frameStart + 1];
    const QString& period = texts[frameStart + 2];
    const bool stimulus = frameOf(field) == WaveFrame::Stimulus;
    switch (static_cast<int>(field) % 3) {
        case 0:
            return stimulus ? checkStimulusAmplitude(amplitude, offset, maxCode)
                            : checkPeriodicAmplitude(amplitude, offset, maxCode);
        case 1:
            return stimulus ? checkStimulusOffset(offset, amplitude, maxCode)
                            : checkPeriodicOffset(offset, amplitude, maxCode);
        default:
            return checkPeriod(period);
    }
}
