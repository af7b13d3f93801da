// Runs a fuzz target once on each seed file in the folders given, as libFuzzer runs a corpus, but
// built with any compiler: CTest so replays the seeds as the target's regression cases. A broken
// property aborts, naming the file that broke it.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize != nullptr) {
        LLVMFuzzerInitialize(&argc, &argv);
    }
    std::vector<std::filesystem::path> seeds;
    for (int i = 1; i < argc; ++i) {
        for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
            seeds.push_back(entry.path());
        }
    }
    std::sort(seeds.begin(), seeds.end());
    for (const std::filesystem::path& seed : seeds) {
        std::printf("%s\n", seed.string().c_str());
        std::fflush(stdout);
        std::ifstream in(seed, std::ios::binary);
        std::vector<char> bytes{std::istreambuf_iterator<char>(in), {}};
        bytes.push_back('\0');  // as libFuzzer, never a null pointer, even for an empty seed
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                               bytes.size() - 1);
    }
    std::printf("%zu seeds replayed\n", seeds.size());
    return seeds.empty() ? 1 : 0;
}
