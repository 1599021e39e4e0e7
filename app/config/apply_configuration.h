// SPDX-License-Identifier: GPL-3.0-or-later
// Takes the module set-up being edited (type option, scale and units, as the
// settings model holds them) into the globals and the settings the windows
// show. Callers open the draft first (config/module_setup.h).
#pragma once

#include <optional>

#include "core/settings_model.h"

class Session;

// False when a value does not fit a single (the scale, or the plot limit it
// gives): the steps before it stay done, the rest is skipped.
bool ApplyConfiguration(Session& session);

// The plot's upper limit for a module type and scale, computed wide and kept
// as a single: a 12-bit code is one millivolt, an 8-bit one 2.5/255 V. None
// when it does not fit a single.
std::optional<float> upperPlotLimit(ModuleKind kind, float scaleFactor);
