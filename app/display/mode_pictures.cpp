// SPDX-License-Identifier: GPL-3.0-or-later
#include "display/mode_pictures.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>

namespace {

constexpr int kSize = 56;
constexpr int kNone = -1;

// Channel c of a mode: the input at its "+" side and the one at its "-"
// side (kNone: the "-" side is ground, a single-ended input).
struct Channel {
    int plus;
    int minus;
};

struct Mode {
    int channels;
    std::array<Channel, 4> wiring;
};

// Four single-ended; three differential against input 3; two single-ended
// and one differential; two differential.
constexpr std::array<Mode, 4> kModes{{
    {4, {{{0, kNone}, {1, kNone}, {2, kNone}, {3, kNone}}}},
    {3, {{{0, 3}, {1, 3}, {2, 3}, {}}}},
    {3, {{{0, kNone}, {1, kNone}, {2, 3}, {}}}},
    {2, {{{0, 1}, {2, 3}, {}, {}}}},
}};

int inputY(int input) {
    return 8 + input * 13;
}

QPixmap draw(const Mode& mode) {
    QPixmap picture(kSize, kSize);
    picture.fill(Qt::white);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(9);
    p.setFont(font);

    // Input pins on the left.
    p.setPen(QPen(Qt::black, 1));
    for (int input = 0; input < 4; ++input) {
        p.drawText(QRect(0, inputY(input) - 5, 8, 10), Qt::AlignCenter, QString::number(input));
        p.drawEllipse(QPointF(10.5, inputY(input)), 1.5, 1.5);
    }

    // One amplifier per channel, spread over the height, its output on the right.
    const double step = double(kSize - 8) / mode.channels;
    for (int c = 0; c < mode.channels; ++c) {
        const double top = 4 + c * step;
        const double mid = top + step / 2;
        const double half = std::min(step / 2 - 1, 8.0);
        QPainterPath triangle;
        triangle.moveTo(32, mid - half);
        triangle.lineTo(32, mid + half);
        triangle.lineTo(44, mid);
        triangle.closeSubpath();
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(255, 255, 200));
        p.drawPath(triangle);
        p.drawLine(QPointF(44, mid), QPointF(kSize - 1, mid));

        const double plusY = mid - half / 2;
        const double minusY = mid + half / 2;
        p.setPen(QPen(Qt::darkBlue, 1));
        const Channel ch = mode.wiring[c];
        p.drawLine(QPointF(12, inputY(ch.plus)), QPointF(32, plusY));
        if (ch.minus == kNone) {
            // Ground symbol on the "-" side.
            p.drawLine(QPointF(26, minusY), QPointF(32, minusY));
            p.drawLine(QPointF(26, minusY - 2), QPointF(26, minusY + 2));
        } else {
            p.setPen(QPen(Qt::darkRed, 1));
            p.drawLine(QPointF(12, inputY(ch.minus)), QPointF(32, minusY));
        }
    }
    return picture;
}

}  // namespace

QPixmap modePicture(int index) {
    if (index < 0 || index >= int(kModes.size())) return QPixmap();
    return draw(kModes[size_t(index)]);
}
