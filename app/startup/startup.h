// SPDX-License-Identifier: GPL-3.0-or-later
// The program's start-up: the settings it starts from, the configuration
// file, and the windows filled from the model afterwards.
#pragma once

class Session;
class WindowSet;
class WindowVerbs;
class FrmControl;

// Runs the start-up when the main window is first needed (showing it, or any
// window that asks for it first), as the main window's load did.
void InstallStartup(Session& session, WindowSet& windows);

// The start-up itself, on the main window just created.
void RunStartup(Session& session, WindowVerbs& windows, FrmControl& main);
