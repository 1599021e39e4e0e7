// SPDX-License-Identifier: GPL-3.0-or-later
// The program's name: the main window's caption and the title of its
// message boxes.
#pragma once

#include <QString>

inline QString appTitle() {
    return QStringLiteral("kalmor");
}
