// Stand-alone driver for the fuzz targets in builds without libFuzzer: runs
// LLVMFuzzerTestOneInput over every file given (folders are walked), and over
// truncated copies of each, so that a committed corpus is a regression test.
// Each input lies in a heap block of exactly its own size, as under libFuzzer,
// so that a read past its end is caught by AddressSanitizer.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *argc, char ***argv);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CollectInputs(int argc, char **argv)
{
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        if (fs::is_directory(arg)) {
            for (const auto &entry : fs::recursive_directory_iterator(arg)) {
                if (entry.is_regular_file())
                    inputs.push_back(entry.path());
            }
        } else {
            inputs.push_back(arg);
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

bool ReadFile(const fs::path &path, std::vector<std::uint8_t> &bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

void RunOne(const std::uint8_t *data, std::size_t size)
{
    // An exact-size copy: the guard zone right behind it catches over-reads.
    auto copy = std::make_unique<std::uint8_t[]>(size == 0 ? 1 : size);
    std::copy(data, data + size, copy.get());
    LLVMFuzzerTestOneInput(copy.get(), size);
}

// Every prefix of a short input, evenly spaced prefixes of a long one: a
// truncated frame or file is the commonest corruption.
void RunWithPrefixes(const std::vector<std::uint8_t> &bytes)
{
    constexpr std::size_t kAllPrefixesUpTo = 512;
    constexpr std::size_t kPrefixesOfLong = 64;
    const std::size_t size = bytes.size();
    const std::size_t step = size <= kAllPrefixesUpTo ? 1 : size / kPrefixesOfLong;
    for (std::size_t len = 0; len < size; len += step)
        RunOne(bytes.data(), len);
    RunOne(bytes.data(), size);
}

} // namespace

int main(int argc, char **argv)
{
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    const std::vector<fs::path> inputs = CollectInputs(argc, argv);
    if (inputs.empty()) {
        std::fprintf(stderr, "usage: %s FILE-OR-FOLDER...: no inputs found\n", argv[0]);
        return 1;
    }
    std::vector<std::uint8_t> bytes;
    for (const fs::path &path : inputs) {
        if (!ReadFile(path, bytes)) {
            std::fprintf(stderr, "cannot read %s\n", path.c_str());
            return 1;
        }
        RunWithPrefixes(bytes);
    }
    std::printf("replayed %zu inputs and their prefixes\n", inputs.size());
    return 0;
}
