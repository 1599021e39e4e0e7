// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/session.h"

#include "core/settings_model.h"
#include "core/tavo_library.h"

Session::Session(QStringList arguments)
    : arguments_(std::move(arguments)),
      library_(std::make_unique<TavoLibrary>()),
      settings_(std::make_unique<SettingsModel>(g)) {}

Session::~Session() {
    // The engines use the library and the globals: they go first.
    engines_ = {};
}

void Session::setEngines(Engines engines) {
    engines_ = std::move(engines);
}

TavoLibrary& Session::library() {
    return *library_;
}

SettingsModel& Session::settings() {
    return *settings_;
}

WavePlayer& Session::wavePlayer() {
    return *engines_.wavePlayer;
}

SweepLog& Session::sweepLog() {
    return *engines_.sweepLog;
}

Recorder& Session::recorder() {
    return *engines_.recorder;
}

AnalogOutput& Session::analogOutput() {
    return *engines_.analogOutput;
}
