// SPDX-License-Identifier: GPL-3.0-or-later
// Choosing the module without a window: its type option, the input mode and
// the channels it offers, the address list, and the library's mode call. The
// configuration dialog's handlers and the configuration loader both run
// these over the session, and the windows show what they leave in the
// settings model.
#pragma once

#include <array>
#include <cstdint>

#include "core/module_kind.h"

class Session;

// The printer ports the configuration dialog offers: 378H, 278H and 3BCH.
constexpr std::array<int16_t, 3> kPortBases{888, 632, 956};

// The highest bus address a module of this kind answers at.
int16_t highestAddress(ModuleKind kind);

// The module set-up being edited (type option, scale and units, address
// list) is taken from the globals and the type tag, as the configuration
// dialog does when it opens: the tag's type is clicked, an 8-bit module on
// one of the offered ports is checked (ModuleSilent says it did not
// answer), the mode in force is shown, then the set-up is applied. Until CloseModuleDraft, later
// calls leave it as it is, so whatever needs the draft opens it first.
void OpenModuleDraft(Session& session);
// The dialog is gone: the next opening takes the set-up afresh.
void CloseModuleDraft(Session& session);

// Type option 0 to 3 (ADT, ADQ, AD8, AD12) as its click sets it: the type,
// all four channels shown and ticked, input mode 0, the modes and addresses
// the type offers, LB_MODO's caption and tag, the output frames shown.
void ChooseModuleType(Session& session, int typeOption);
// The option as a file selects it: the click runs only when the option
// changes.
void SelectModuleType(Session& session, int typeOption);
// Input mode button 0 to 3: a 12-bit module takes mode 1 from button 3 and
// mode 0 from any other, an 8-bit one the button's mode.
void ChooseInputMode(Session& session, int button);
// Shows the channels and the mode picture of the present type and input
// mode, moving an XY axis off a channel that no longer exists, and sends the
// mode to an 8-bit module.
void ApplyInputMode(Session& session);
// Sends the input mode to an 8-bit module; true when it answered (or the
// library could not be reached, which the binding reports itself).
bool ModuleAnswers(Session& session);
