// Takes the configuration dialog's type, scale and units into the globals
// and updates the windows that depend on them.
#pragma once

class AppContext;

// False when a value does not fit a single (the scale, or the plot limit it
// gives): the steps before it stay done, the rest is skipped.
bool ApplyConfiguration(AppContext& ctx);
