// SPDX-License-Identifier: LGPL-2.1-or-later
#include "bench_print.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "bench_file.h"

namespace tavo::sim {

bool benchTextInForce(std::string_view backend, std::string* text, std::string* error) {
    if (backend.empty() || backend == "sim") {
        *text = kDefaultBenchText;
        return true;
    }
    if (backend.substr(0, 4) != "sim:") {
        *error = "the backend \"" + std::string(backend) + "\" has no simulated bench";
        return false;
    }
    const std::string path(backend.substr(4));
    if (path.empty()) {
        *text = kDefaultBenchText;
        return true;
    }
    // Loaded first so that a file the library would refuse is refused here too.
    if (!loadBenchFile(path, error)) return false;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        *error = path + ": cannot read the bench file: " + std::strerror(errno);
        return false;
    }
    text->clear();
    char chunk[4096];
    while (size_t n = std::fread(chunk, 1, sizeof chunk, file)) text->append(chunk, n);
    std::fclose(file);
    if (!text->empty() && text->back() != '\n') text->push_back('\n');
    return true;
}

}  // namespace tavo::sim
