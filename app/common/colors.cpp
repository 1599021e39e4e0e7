#include "common/colors.h"

QColor toQColor(int32_t vb) {
    const auto u = static_cast<uint32_t>(vb);
    return QColor(static_cast<int>(u & 0xFF), static_cast<int>((u >> 8) & 0xFF),
                  static_cast<int>((u >> 16) & 0xFF));
}

int32_t fromQColor(const QColor& colour) {
    const QColor c = colour.toRgb();
    return c.red() + 256 * c.green() + 65536 * c.blue();
}
