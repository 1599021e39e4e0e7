// SPDX-License-Identifier: GPL-3.0-or-later
// Puts a window's control where the form designs it, in twips.
#pragma once

#include <QString>

#include "widgets/twips.h"

template <typename W>
W* place(W* widget, double left, double top, double width, double height) {
    widget->setGeometry(twipsToPixelsX(left), twipsToPixelsY(top), twipsToPixelsX(width),
                        twipsToPixelsY(height));
    return widget;
}

// The same, naming the control first.
template <typename W>
W* place(W* widget, const QString& name, double left, double top, double width, double height) {
    widget->setObjectName(name);
    return place(widget, left, top, width, height);
}
