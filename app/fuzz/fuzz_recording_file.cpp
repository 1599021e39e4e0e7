// SPDX-License-Identifier: GPL-3.0-or-later
// The recording reader on any bytes: read whole and read in two pieces split
// at any point, it gives the same samples and the same problem; every column
// is as long as the times, the times never decrease and every number read is
// finite.
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/recording_file.h"

namespace {

RecordingParser parseInPieces(std::string_view bytes, size_t cut) {
    RecordingParser p;
    std::string pending(bytes.substr(0, cut));
    pending.erase(0, p.feed(pending));
    pending.append(bytes.substr(cut));
    pending.erase(0, p.feed(pending));
    p.noteRest(pending);
    return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const RecordingParser whole = parseInPieces(bytes, size);
    const RecordingParser split = parseInPieces(bytes, size == 0 ? 0 : data[0] % (size + 1));

    const RecordingData& d = whole.data();
    for (const auto& column : d.values) {
        if (column.size() != d.size()) std::abort();
        for (const float v : column) {
            if (!std::isfinite(v)) std::abort();
        }
    }
    for (size_t i = 0; i < d.size(); ++i) {
        if (!std::isfinite(d.seconds[i])) std::abort();
        if (i > 0 && d.seconds[i] < d.seconds[i - 1]) std::abort();
    }
    if (split.data().seconds != d.seconds || split.data().values != d.values) std::abort();
    if (split.problem() != whole.problem() || split.stopped() != whole.stopped()) std::abort();
    return 0;
}
