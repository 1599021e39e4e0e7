// SPDX-License-Identifier: LGPL-2.1-or-later
// Bench files: plain text declaring which modules sit on which port and what
// drives their inputs (format in docs/bench-file.md), and the built-in bench.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "bench.h"

namespace tavo::sim {

// Null and *error = "<file>:<line>: <what is wrong>" for a malformed file,
// "<file>: cannot read ..." for one that cannot be opened.
std::unique_ptr<Bench> loadBenchFile(const std::string& path, std::string* error);
// The same from text in memory; name stands for the file in messages.
std::unique_ptr<Bench> parseBench(std::string_view text, const std::string& name,
                                  std::string* error);

// The bench used when none is named (also docs/examples/default.bench).
extern const char* const kDefaultBenchText;
std::unique_ptr<Bench> makeDefaultBench();

}  // namespace tavo::sim
