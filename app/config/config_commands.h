// The configuration commands the main window's menu runs.
#pragma once

class AppContext;

// "&Leer": asks for a file, reads it, and tells the user when reading failed.
void RunLoadCommand(AppContext& ctx);
