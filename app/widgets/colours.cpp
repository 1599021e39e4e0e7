// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/colours.h"

#include <QLabel>

QColor toQColor(int32_t vb) {
    const auto u = static_cast<uint32_t>(vb);
    return QColor(static_cast<int>(u & 0xFF), static_cast<int>((u >> 8) & 0xFF),
                  static_cast<int>((u >> 16) & 0xFF));
}

int32_t fromQColor(const QColor& colour) {
    const QColor c = colour.toRgb();
    return c.red() + 256 * c.green() + 65536 * c.blue();
}

void setLabelColours(QLabel* label, int32_t back, int32_t fore) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, toQColor(back));
    palette.setColor(QPalette::WindowText, toQColor(fore));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

int32_t labelBackColour(const QLabel* label) {
    return fromQColor(label->palette().color(QPalette::Window));
}

int32_t labelForeColour(const QLabel* label) {
    return fromQColor(label->palette().color(QPalette::WindowText));
}
