// SPDX-License-Identifier: GPL-3.0-or-later
// The waveform dialog's typed texts on any bytes: the first byte chooses the
// module (8 or 12 bits), the rest is split at line breaks into the frame's
// amplitude, offset and period and the drawing's three figures. The rules
// never crash; a periodic wave or a stimulus whose three fields pass their
// rules fills the table within 0 to the maximum; the rescale of a drawing
// either refuses and leaves the table, or fills it within the same range.
#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/var_glob.h"
#include "generator/wave_fields.h"
#include "generator/wave_tables.h"

namespace {

void expectInRange(const VarGlob& g, int maxCode) {
    for (int i = 1; i <= g.WaveLength; ++i) {
        if (g.WaveTable[i] < 0 || g.WaveTable[i] > maxCode) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const ModuleKind moduleType = (data[0] & 1) ? ModuleKind::Converter12 : ModuleKind::Converter8;
    const int16_t M = waveMaxCode(moduleType);
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1),
                           static_cast<qsizetype>(size - 1));
    QList<QByteArray> parts = bytes.split('\n');
    while (parts.size() < 6) parts.append(QByteArray());
    std::array<QString, 6> t;
    for (int i = 0; i < 6; ++i) t[i] = QString::fromLatin1(parts[i]);

    for (int frame = 0; frame < 2; ++frame) {
        std::array<QString, kWaveFields> texts = defaultWaveTexts(moduleType);
        for (int i = 0; i < 3; ++i) texts[frame * 3 + i] = t[i];
        bool valid = true;
        for (int i = 0; i < 3; ++i) {
            if (checkWaveField(static_cast<WaveField>(frame * 3 + i), texts, M)) valid = false;
        }
        if (!valid) continue;
        const int16_t A = readWaveValue(t[0]), O = readWaveValue(t[1]), P = readWaveValue(t[2]);
        for (int kind = 0; kind < 3; ++kind) {
            VarGlob g;
            const TableFault fault = frame == 0 ? GeneratePeriodic(g, kind, P, A, O)
                                                : GenerateStimulus(g, kind, P, A, O);
            if (fault != TableFault::None) std::abort();
            expectInRange(g, M);
        }
    }

    VarGlob g;
    for (int i = 1; i <= 300; ++i) g.DrawnSignal[i] = static_cast<float>((i * 37) % 300);
    g.WaveTable[1] = 77;
    g.WaveLength = 9;
    const UserSignalResult r = ApplyUserSignal(g, {t[0], t[1], t[2], t[3], t[4], t[5]}, M);
    if (r.fault == TableFault::None) {
        if (g.WaveLength < 1 || g.WaveLength > 300) std::abort();
        expectInRange(g, M);
    } else if (g.WaveTable[1] != 77 || g.WaveLength != 9) {
        std::abort();
    }
    return 0;
}
