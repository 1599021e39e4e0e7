// SPDX-License-Identifier: GPL-3.0-or-later
#include "generator/wave_tables.h"

#include <array>
#include <cmath>
#include <optional>

#include "common/numbers.h"
#include "core/var_glob.h"

namespace {

constexpr int kEntries = 300;
using Table = std::array<int16_t, kEntries + 1>;

// A fill works on a copy and hands it back only when every step succeeded.
struct Fill {
    Table table;
    int16_t length;
};

struct Fault {
    TableFault fault;
};

std::optional<int16_t> sum16(int a, int b) {
    return Round16(static_cast<double>(a) + static_cast<double>(b));
}

double asSingle(double v) {
    return static_cast<double>(static_cast<float>(v));
}

// The number of table entries for a period: the period in steps, rounded.
std::optional<int16_t> stepsFor(const VarGlob& g, double periodMs) {
    return Round16(periodMs / static_cast<double>(g.WaveStepMs));
}

bool inTable(int n) {
    return n >= 1 && n <= kEntries;
}

TableFault fillPeriodic(const VarGlob& g, int kind, int16_t P, int16_t A, int16_t O, Fill& f) {
    const auto n = stepsFor(g, P);
    if (!n) return TableFault::Overflow;
    if (!inTable(*n)) return TableFault::Index;
    const int N = *n;
    f.length = *n;
    const double half = A / 2.0;
    switch (kind) {
        case 0: {
            if (P == 0) return TableFault::DivisionByZero;
            // 6.28 rather than 2 pi: one table holds slightly less than a turn.
            const double w = asSingle(6.28 / P);
            int t = 0;
            for (int i = 1; i <= N; ++i) {
                const auto v = Round16(half * std::sin(asSingle(t) * w) + O);
                if (!v) return TableFault::Overflow;
                f.table[i] = *v;
                t += g.WaveStepMs;
            }
            return TableFault::None;
        }
        case 1: {
            const auto h = Round16(N / 2.0);
            const auto high = Round16(half + O);
            const auto low = Round16(O - half);
            if (!h || !high || !low) return TableFault::Overflow;
            for (int i = 1; i <= N; ++i) f.table[i] = i <= *h ? *high : *low;
            return TableFault::None;
        }
        case 2: {
            const auto twiceA = Round16(2.0 * A);
            if (!twiceA) return TableFault::Overflow;
            if (P == 0) return TableFault::DivisionByZero;
            const double s = asSingle(static_cast<double>(*twiceA) / P);
            const auto h = Round16(N / 2.0);
            if (!h) return TableFault::Overflow;
            // The rising half stops one step short of the top; the falling
            // half starts on it.
            int t = 0;
            for (int i = 1; i <= *h; ++i) {
                const auto v = Round16((O - half) + asSingle(t) * s);
                if (!v) return TableFault::Overflow;
                f.table[i] = *v;
                t += g.WaveStepMs;
            }
            int u = 0;
            for (int i = *h + 1; i <= N; ++i) {
                const auto v = Round16((half + O) - asSingle(u) * s);
                if (!v) return TableFault::Overflow;
                f.table[i] = *v;
                u += g.WaveStepMs;
            }
            return TableFault::None;
        }
        default:
            return TableFault::Index;
    }
}

TableFault fillStimulus(const VarGlob& g, int kind, int16_t P, int16_t A, int16_t O, Fill& f) {
    const auto n = stepsFor(g, P);
    if (!n) return TableFault::Overflow;
    const int N = *n;
    switch (kind) {
        case 0: {
            // One step of 50 ms whatever the duration.
            const auto top = sum16(A, O);
            if (!top) return TableFault::Overflow;
            f.table[1] = O;
            f.table[2] = *top;
            f.table[3] = O;
            f.length = 3;
            return TableFault::None;
        }
        case 1: {
            if (!inTable(N)) return TableFault::Index;
            const auto top = sum16(A, O);
            if (!top) return TableFault::Overflow;
            for (int i = 1; i < N; ++i) f.table[i] = *top;
            // Back to the offset on the last step, where playback stops.
            f.table[N] = O;
            f.length = *n;
            return TableFault::None;
        }
        case 2: {
            if (!inTable(N)) return TableFault::Index;
            if (P == 0) return TableFault::DivisionByZero;
            const double s = asSingle(static_cast<double>(A) / P);
            int t = 0;
            for (int i = 1; i <= N; ++i) {
                const auto v = Round16(asSingle(t) * s + O);
                if (!v) return TableFault::Overflow;
                f.table[i] = *v;
                t += g.WaveStepMs;
            }
            f.length = *n;
            return TableFault::None;
        }
        default:
            return TableFault::Index;
    }
}

}  // namespace

QString tableFaultMessage(TableFault fault) {
    switch (fault) {
        case TableFault::None:
            return {};
        case TableFault::Overflow:
            return QStringLiteral("Desbordamiento");
        case TableFault::Index:
            return QStringLiteral("Subíndice fuera del intervalo");
        case TableFault::DivisionByZero:
            return QStringLiteral("División por cero");
        case TableFault::FlatDrawing:
            return QStringLiteral("La señal dibujada no tiene amplitud");
    }
    return {};
}

TableFault GeneratePeriodic(VarGlob& g, int kind, int16_t periodMs, int16_t amplitude,
                            int16_t offset) {
    Fill f{g.WaveTable, g.WaveLength};
    const TableFault fault = fillPeriodic(g, kind, periodMs, amplitude, offset, f);
    if (fault != TableFault::None) return fault;
    g.WaveTable = f.table;
    g.WaveLength = f.length;
    return TableFault::None;
}

TableFault GenerateStimulus(VarGlob& g, int kind, int16_t durationMs, int16_t amplitude,
                            int16_t offset) {
    Fill f{g.WaveTable, g.WaveLength};
    const TableFault fault = fillStimulus(g, kind, durationMs, amplitude, offset, f);
    if (fault != TableFault::None) return fault;
    g.WaveTable = f.table;
    g.WaveLength = f.length;
    g.WaveOneShot = kTrue;
    return TableFault::None;
}

TableFault AcceptDrawnSignal(VarGlob& g, int16_t points, bool periodic, int outputMaximum) {
    if (points < 2) return TableFault::None;
    if (points > kEntries) return TableFault::Index;
    const double top = outputMaximum > 0 ? outputMaximum : 0;
    for (int i = 1; i <= points; ++i) {
        double v = g.DrawnSignal[i];
        // The first point sits one unit above the click, and the drawing may
        // reach below 0: the output takes only 0 to its maximum.
        if (!(v >= 0.0)) v = 0.0;
        if (v > top) v = top;
        g.WaveTable[i] = static_cast<int16_t>(std::rint(v));
    }
    g.WaveLength = points;
    g.WaveOneShot = periodic ? kFalse : kTrue;
    return TableFault::None;
}

UserSignalResult ApplyUserSignal(VarGlob& g, const UserSignalTexts& texts, int16_t maxCode) {
    const double newAmplitude = readNumber(texts.amplitude);
    const double oldAmplitude = asSingle(readNumber(texts.drawnAmplitude));
    if (oldAmplitude == 0.0) return {TableFault::FlatDrawing};
    if (newAmplitude == 0.0) return {TableFault::DivisionByZero};
    const double ratio = asSingle(oldAmplitude / asSingle(newAmplitude));
    if (!std::isfinite(ratio) || ratio == 0.0) return {TableFault::Overflow};

    const auto oldOffset = Round16(readNumber(texts.drawnOffset));
    const auto newOffset = Round16(readNumber(texts.offset));
    const auto newSteps = stepsFor(g, readNumber(texts.period));
    const auto oldSteps = stepsFor(g, readNumber(texts.drawnPeriod));
    if (!oldOffset || !newOffset || !newSteps || !oldSteps) return {TableFault::Overflow};
    if (!inTable(*newSteps) || !inTable(*oldSteps)) return {TableFault::Index};

    // All 300 entries, not only the drawn ones. Clamped before rounding, so
    // an entry far outside the range cannot overflow.
    Table table{};
    for (int i = 1; i <= kEntries; ++i) {
        double v = (static_cast<double>(g.DrawnSignal[i]) - asSingle(*oldOffset)) / ratio +
                   asSingle(*newOffset);
        if (!(v >= 0.0)) v = 0.0;
        if (v > maxCode) v = maxCode;
        table[i] = static_cast<int16_t>(std::rint(v));
    }

    const int16_t N = *newSteps;
    const int16_t old = *oldSteps;
    UserSignalResult result;
    if (old > N) {
        // Shorter: take every r-th entry (r > 1) in place; k never falls
        // behind j, so each read is of an entry not yet overwritten.
        const float r = static_cast<float>(old) / static_cast<float>(N);
        int j = 1;
        for (float k = 1.0f; k <= static_cast<float>(kEntries); k += r) {
            table[j] = table[*Round32(k)];
            ++j;
        }
        for (; j <= kEntries; ++j) table[j] = 0;
    } else if (old < N) {
        // Longer: each entry is repeated as k advances by r < 1.
        result.stretched = true;
        const float r = static_cast<float>(old) / static_cast<float>(N);
        Table stretched{};
        float k = 1.0f;
        for (int j = 1; j <= N; ++j) {
            stretched[j] = table[*Round32(k)];
            k += r;
        }
        table = stretched;
    }
    g.WaveTable = table;
    g.WaveLength = N;
    return result;
}
