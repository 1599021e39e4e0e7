// SPDX-License-Identifier: GPL-3.0-or-later
// Which hardware the device library reaches, asked through its extension
// tavo32_backend() (tavo32_ext.h), and how the program says it: a caption
// for the title and the status bar, always shown, and a warning for a bench
// taken because a port that is there could not be had.
#pragma once

#include <QString>

#include "tavo32_ext.h"

class TavoLibrary;

struct LibraryBackend {
    enum class State {
        NoLibrary,  // the library could not be loaded
        NoReport,   // a TAVO_32 without tavo32_backend(): which backend is unknown
        Known,
    };
    State state = State::NoLibrary;
    tavo32_backend_info info{};
};

// Asks the library (choosing its backend, as its first call would).
LibraryBackend queryBackend(TavoLibrary& library);

// In Spanish, e.g. "Banco simulado (no hay puerto paralelo)" or
// "Puerto /dev/parport0 (378H)".
QString backendCaption(const LibraryBackend& backend);

// The reason and the remedy when the bench stands in for a port that is
// there but could not be opened or used; empty otherwise.
QString backendWarning(const LibraryBackend& backend);
