// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program for a test: a session with its engines, and its windows,
// which the tests reach to look at their controls.
#pragma once

#include <QStringList>

#include "core/session.h"
#include "startup/session_engines.h"
#include "startup/startup.h"
#include "windows/window_set.h"

class TestProgram : public Session {
  public:
    explicit TestProgram(QStringList arguments = {})
        : Session(std::move(arguments)), windows((startEngines(*this), *this)) {
        InstallStartup(*this, windows);
    }

    FrmControl* frmControl() { return windows.frmControl(); }
    FrmRegistro* frmRegistro() { return windows.frmRegistro(); }
    FrmConfiguracion* frmConfiguracion() { return windows.frmConfiguracion(); }
    bool frmConfiguracionLoaded() const { return windows.frmConfiguracionLoaded(); }

    WindowSet windows;
};
