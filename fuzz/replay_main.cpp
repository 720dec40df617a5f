// Runs a fuzz target's LLVMFuzzerTestOneInput once on every file named on the command line, or
// on every file of a named directory, without libFuzzer: the seeds and every input that once
// found a fault so stay checked by the ordinary test run. A failing input aborts the process.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    if (!in.eof() && in.fail()) {
        throw std::filesystem::filesystem_error("cannot read", file, std::error_code());
    }
    std::cout << "replaying " << file.filename().string() << '\n' << std::flush;
    // A copy of its own, so that reading past the end is caught by the sanitizer builds.
    const std::vector<std::uint8_t> data(bytes.begin(), bytes.end());
    LLVMFuzzerTestOneInput(data.data(), data.size());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: " << argv[0] << " FILE_OR_DIRECTORY...\n";
        return 2;
    }
    std::size_t count = 0;
    try {
        for (int i = 1; i < argc; ++i) {
            const std::filesystem::path path(argv[i]);
            std::vector<std::filesystem::path> files;
            if (std::filesystem::is_directory(path)) {
                for (const auto& entry : std::filesystem::directory_iterator(path)) {
                    if (entry.is_regular_file()) {
                        files.push_back(entry.path());
                    }
                }
                std::sort(files.begin(), files.end());
            } else {
                files.push_back(path);
            }
            for (const auto& file : files) {
                replay(file);
                ++count;
            }
        }
    } catch (const std::exception& error) {
        std::cerr << error.what() << '\n';
        return 1;
    }
    if (count == 0) {
        std::cerr << "no inputs found\n";
        return 1;
    }
    std::cout << count << " inputs replayed\n";
    return 0;
}
