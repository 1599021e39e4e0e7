// SPDX-License-Identifier: GPL-3.0-or-later
// Option groups where none may be selected: the index of the first selected
// option, or -1 when there is none.
#pragma once

#include <QAbstractButton>

#include <array>
#include <cstddef>

template <typename Button, std::size_t N>
int firstChecked(const std::array<Button*, N>& options) {
    for (std::size_t i = 0; i < N; ++i) {
        if (options[i]->isChecked()) return static_cast<int>(i);
    }
    return -1;
}
