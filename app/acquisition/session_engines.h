// Builds the engines of a session: the sampling engine with its Qt timer,
// the analog output and the generator's player.
#pragma once

#include "acquisition/recorder.h"

class Session;
class SettingsModel;

// Gives the session its engines; the recorder draws nowhere until the plot
// window hands it its trace sink.
void startEngines(Session& session);

// The options of the settings model that the sampling engine follows.
RecorderSettings recorderSettings(const SettingsModel& model);
