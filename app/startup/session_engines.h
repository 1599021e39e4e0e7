// SPDX-License-Identifier: GPL-3.0-or-later
// Builds the engines of a session: the sampling engine with its Qt timer,
// the analog output and the generator's player.
#pragma once

#include <functional>

#include "acquisition/recorder.h"
#include "generator/wave_player.h"

class AnalogOutput;

class Session;
class SettingsModel;

// Gives the session its engines; the recorder draws nowhere until the plot
// window hands it its trace sink.
void startEngines(Session& session);

// Playback's view of an analog output: what it holds, its setCode, and the
// largest code maximum gives.
PlaybackOutput playbackOutput(AnalogOutput& output, std::function<int()> maximum);

// The options of the settings model that the sampling engine follows.
RecorderSettings recorderSettings(const SettingsModel& model);
