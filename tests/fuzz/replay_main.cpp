// Replays fuzz inputs through a fuzz target's entry function: every regular
// file under each directory given on the command line (missing ones skipped).
// "--seeds DIR" first writes the target's generated seeds into DIR (when the
// target makes any) and replays them too.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
// Defined by targets whose seeds come from tables of the code.
void WriteFuzzSeeds(const std::string& dir) __attribute__((weak));

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--seeds") == 0) {
        std::error_code ec;
        fs::remove_all(argv[2], ec);
        if (WriteFuzzSeeds) WriteFuzzSeeds(argv[2]);
        first = 2;
    }
    std::size_t replayed = 0;
    for (int i = first; i < argc; ++i) {
        std::error_code ec;
        if (!fs::is_directory(argv[i], ec)) continue;
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(argv[i], ec))
            if (entry.is_regular_file()) files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        for (const fs::path& file : files) {
            std::ifstream in(file, std::ios::binary);
            std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            // An exactly sized heap copy, as the fuzzer hands it over.
            std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
            LLVMFuzzerTestOneInput(input.empty() ? nullptr : input.data(), input.size());
            ++replayed;
        }
    }
    std::printf("replayed %zu inputs\n", replayed);
    return 0;
}
