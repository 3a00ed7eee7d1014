// Driver for fuzz targets when libFuzzer is not available (g++ builds). It takes libFuzzer's
// command line (-runs=N -max_len=N -seed=N, then seed files or folders), runs every seed once,
// then N deterministic mutations of them. It finds far less than libFuzzer, but it makes every
// build exercise each target, and the sanitizer build catches what those inputs reach.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

using Bytes = std::vector<uint8_t>;

struct Options {
    long runs = 1000;
    size_t maxLen = 4096;
    uint64_t seed = 1;
    std::vector<std::string> inputs;
};

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("-runs=", 0) == 0)
            o.runs = std::stol(a.substr(6));
        else if (a.rfind("-max_len=", 0) == 0)
            o.maxLen = std::stoul(a.substr(9));
        else if (a.rfind("-seed=", 0) == 0)
            o.seed = std::stoull(a.substr(6));
        else if (!a.empty() && a[0] == '-')
            std::fprintf(stderr, "ignoring option %s\n", a.c_str());
        else
            o.inputs.push_back(a);
    }
    return o;
}

Bytes ReadFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<Bytes> LoadSeeds(const std::vector<std::string>& inputs) {
    std::vector<Bytes> seeds;
    for (const auto& in : inputs) {
        std::error_code ec;
        if (std::filesystem::is_directory(in, ec)) {
            std::vector<std::filesystem::path> files;
            for (const auto& e : std::filesystem::directory_iterator(in, ec))
                if (e.is_regular_file())
                    files.push_back(e.path());
            std::sort(files.begin(), files.end());
            for (const auto& f : files)
                seeds.push_back(ReadFile(f));
        } else if (std::filesystem::exists(in, ec)) {
            seeds.push_back(ReadFile(in));
        }
    }
    return seeds;
}

class Mutator {
public:
    explicit Mutator(uint64_t seed) : rng_(seed) {}

    Bytes Mutate(Bytes b, size_t maxLen) {
        const int steps = 1 + Below(8);
        for (int i = 0; i < steps; ++i)
            Step(b);
        if (b.size() > maxLen)
            b.resize(maxLen);
        return b;
    }

    size_t Below(size_t n) { return n == 0 ? 0 : std::uniform_int_distribution<size_t>(0, n - 1)(rng_); }

private:
    void Step(Bytes& b) {
        static const uint8_t interesting[] = {0, 1, 0x7F, 0x80, 0xFF, 0xFE, 0x20, 0x3F, '0', '9'};
        switch (Below(8)) {
        case 0: // flip a bit
            if (!b.empty())
                b[Below(b.size())] ^= uint8_t(1u << Below(8));
            break;
        case 1: // set an interesting byte
            if (!b.empty())
                b[Below(b.size())] = interesting[Below(sizeof interesting)];
            break;
        case 2: // random byte
            if (!b.empty())
                b[Below(b.size())] = uint8_t(Below(256));
            break;
        case 3: // truncate
            b.resize(Below(b.size() + 1));
            break;
        case 4: { // insert random bytes
            const size_t at = Below(b.size() + 1), n = 1 + Below(16);
            Bytes ins(n);
            for (auto& c : ins)
                c = uint8_t(Below(256));
            b.insert(b.begin() + long(at), ins.begin(), ins.end());
            break;
        }
        case 5: { // erase a range
            if (b.empty())
                break;
            const size_t at = Below(b.size()), n = 1 + Below(std::min<size_t>(64, b.size() - at));
            b.erase(b.begin() + long(at), b.begin() + long(at + n));
            break;
        }
        case 6: { // duplicate a chunk
            if (b.empty())
                break;
            const size_t at = Below(b.size()), n = 1 + Below(std::min<size_t>(256, b.size() - at));
            Bytes chunk(b.begin() + long(at), b.begin() + long(at + n));
            const size_t to = Below(b.size() + 1);
            b.insert(b.begin() + long(to), chunk.begin(), chunk.end());
            break;
        }
        default: { // overwrite a 32-bit word with an extreme value
            if (b.size() < 4)
                break;
            static const uint32_t words[] = {0, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 1, 0xFFFF};
            const uint32_t w = words[Below(6)];
            std::memcpy(&b[Below(b.size() - 3)], &w, 4);
            break;
        }
        }
    }

    std::mt19937_64 rng_;
};

} // namespace

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    const Options opt = ParseOptions(argc, argv);
    std::vector<Bytes> seeds = LoadSeeds(opt.inputs);
    for (const auto& s : seeds)
        LLVMFuzzerTestOneInput(s.data(), std::min(s.size(), opt.maxLen));
    if (seeds.empty())
        seeds.emplace_back();
    Mutator m(opt.seed);
    for (long i = 0; i < opt.runs; ++i) {
        Bytes input;
        if (m.Below(10) == 0) { // now and then pure noise
            input.resize(m.Below(opt.maxLen + 1));
            for (auto& c : input)
                c = uint8_t(m.Below(256));
        } else {
            input = m.Mutate(seeds[m.Below(seeds.size())], opt.maxLen);
        }
        LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("Done %ld runs over %zu seeds\n", opt.runs, seeds.size());
    return 0;
}
