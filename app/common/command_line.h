// SPDX-License-Identifier: GPL-3.0-or-later
// kalmor's own command-line words: --help and --version print their text and
// end the program; anything else names the configuration file to read.
#pragma once

#include <optional>
#include <string>
#include <vector>

// The text to print and end with (exit status 0) when the words, without the
// program name, are just "--help"/"-h" or "--version"/"-V"; nothing otherwise.
std::optional<std::string> commandLineAnswer(const std::vector<std::string>& words);
