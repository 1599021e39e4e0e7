// SPDX-License-Identifier: GPL-3.0-or-later
// The nine-line configuration file: reading it into the globals and the
// settings model (which the windows show), and writing it from them.
#pragma once

#include <QString>

class Session;

// Reads the file step by step; a failure stops at once and leaves what the
// steps before it set. True when the whole file was read. A missing file
// sets PortBase to 888 (378H).
bool LoadConfiguration(Session& session, const QString& name);

// Writes all nine lines from the present state. The previous file is
// replaced only once the new one is complete, so a failure never leaves a
// half-written file. error, when given, receives the reason of a failure.
bool SaveConfiguration(Session& session, const QString& name, QString* error = nullptr);
