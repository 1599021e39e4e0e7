// SPDX-License-Identifier: LGPL-2.1-or-later
// The main of a fuzz target in the normal build: it feeds the target every
// file named on the command line, and every file of each folder named, once,
// so a target that no longer builds, loads or holds on its own seeds fails a
// test there, without libFuzzer or clang.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

bool replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    // A buffer of its own, exactly as long as the input, so reading past its
    // end is caught under the sanitizers as libFuzzer would catch it.
    std::vector<uint8_t> data(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(data.empty() ? nullptr : data.data(), data.size());
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path = argv[i];
        std::error_code error;
        if (std::filesystem::is_directory(path, error)) {
            std::vector<std::filesystem::path> files;
            for (const auto& entry : std::filesystem::directory_iterator(path, error))
                if (entry.is_regular_file()) files.push_back(entry.path());
            std::sort(files.begin(), files.end());
            for (const auto& file : files) replayed += replay(file) ? 1 : 0;
            if (error) std::fprintf(stderr, "cannot list %s\n", path.c_str());
        } else if (replay(path)) {
            ++replayed;
        } else {
            return 1;
        }
    }
    std::printf("%zu inputs replayed\n", replayed);
    // No seed at all means the corpus went missing: that is a failure too.
    return replayed > 0 ? 0 : 1;
}
