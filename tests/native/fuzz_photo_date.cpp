// A bounded, deterministic mutation loop over the photo samples: every mutant
// must give no date or a real one, be read only inside its bytes, and leave
// AddressSanitizer and UndefinedBehaviorSanitizer quiet.
//
//   fuzz_photo_date <samples folder> [iterations] [seed] [more seed folders]
//
// Every sample must give its date; the files of the further folders (real
// camera files, files made to crash readers) are seeds only.
//
// The same check serves libFuzzer, which clang brings:
//   clang++ -std=c++17 -g -fsanitize=fuzzer,address,undefined -DTESSIVOX_LIBFUZZER -I.
//           tests/native/fuzz_photo_date.cpp cameradate/*.cpp -o fuzz_photo_date
//   ./fuzz_photo_date -max_total_time=600 corpus/ <samples folder>
#include "cameradate/CameraDate.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "fuzz_photo_date: %s\n", what);
    std::abort();
}

// Whether the file gave a date.
// Each read is a system call on a real disk: a file must give its answer in a
// bounded number of them, whatever it claims.
constexpr int kMaxReads = 300000;

bool Check(const unsigned char* data, size_t size) {
    int reads = 0;
    const std::optional<CameraDate> date = ReadCameraDate(
        [&](uint64_t offset, size_t n, unsigned char* out) -> size_t {
            if (++reads > kMaxReads)
                Fail("reads without end");
            if (offset > size || n > size - offset)
                Fail("read outside the file");
            std::memcpy(out, data + offset, n);
            return n;
        },
        size);
    if (!date)
        return false;
    const std::tm* t = &date->time;
    char text[64];
    std::snprintf(text, sizeof(text), "%04d:%02d:%02d %02d:%02d:%02d", t->tm_year + 1900,
                  t->tm_mon + 1, t->tm_mday, t->tm_hour, t->tm_min, t->tm_sec);
    if (!ParseExifDateTime(text))
        Fail("a date that is not real");
    // Both go into file names: bounded, the model without control bytes, the
    // sub-seconds digits alone.
    const std::string& model = date->model;
    if (model.size() > 64 ||
        std::any_of(model.begin(), model.end(), [](char c) { return uint8_t(c) < 0x20; }) ||
        (!model.empty() && (model.front() == ' ' || model.back() == ' ')))
        Fail("a model that no name should take");
    if (date->subSecond.size() > 64 ||
        date->subSecond.find_first_not_of("0123456789") != std::string::npos)
        Fail("sub-seconds that are not digits");
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Check(data, size);
    return 0;
}

#ifndef TESSIVOX_LIBFUZZER
namespace {

using Rng = std::mt19937_64;

// Values that break sizes and offsets: zero, one, the extremes, the file's own size.
uint64_t Interesting(Rng& rng, size_t fileSize) {
    const uint64_t values[] = {0,
                               1,
                               2,
                               8,
                               0x7F,
                               0xFF,
                               0x7FFF,
                               0xFFFF,
                               0x7FFFFFFF,
                               0x80000000,
                               0xFFFFFFFF,
                               ~uint64_t(0),
                               fileSize,
                               fileSize - 1,
                               rng() % 4096,
                               rng()};
    return values[rng() % std::size(values)];
}

void Mutate(std::vector<unsigned char>& v, Rng& rng) {
    const int count = 1 + int(rng() % 8);
    for (int i = 0; i < count && !v.empty(); ++i) {
        // The structure of a photo lies at the front, most of it being image
        // data; a movie's may lie at its end.
        const size_t span = rng() % 4 ? std::min<size_t>(v.size(), 4096) : v.size();
        const size_t pos = rng() % span;
        const size_t room = v.size() - pos;
        switch (rng() % 6) {
        case 0:
            v[pos] ^= uint8_t(1u << rng() % 8);
            break;
        case 1:
            v[pos] = uint8_t(rng());
            break;
        case 2: { // a 2, 4 or 8-byte value in either byte order
            const size_t width = size_t(2) << rng() % 3;
            const uint64_t value = Interesting(rng, v.size());
            const bool big = rng() % 2;
            for (size_t b = 0; b < width && b < room; ++b)
                v[pos + b] = uint8_t(value >> 8 * (big ? width - 1 - b : b));
            break;
        }
        case 3:
            v.resize(pos);
            break;
        case 4:
            v.erase(v.begin() + std::ptrdiff_t(pos),
                    v.begin() + std::ptrdiff_t(pos + rng() % std::min<size_t>(room, 64)));
            break;
        default: { // a copy of another stretch of the file
            const size_t from = rng() % v.size();
            const size_t length = rng() % std::min<size_t>(v.size() - from, 64);
            const std::vector<unsigned char> chunk(v.begin() + std::ptrdiff_t(from),
                                                   v.begin() + std::ptrdiff_t(from + length));
            v.insert(v.begin() + std::ptrdiff_t(pos), chunk.begin(), chunk.end());
            break;
        }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: fuzz_photo_date <samples folder> [iterations] [seed] "
                             "[more seed folders]\n");
        return 2;
    }
    const unsigned long long iterations = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 20000;
    Rng rng(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 14);

    std::vector<std::filesystem::path> paths;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1]))
        paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end()); // the same order, and so the same run, every time
    std::vector<std::vector<unsigned char>> samples;
    for (const auto& path : paths) {
        std::ifstream in(path, std::ios::binary);
        samples.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (!Check(samples.back().data(), samples.back().size()) &&
            path.filename() != "no-exif.jpg")
            Fail("a sample without its date");
    }
    if (samples.empty())
        Fail("no samples");
    for (int i = 4; i < argc; ++i) {
        if (!std::filesystem::is_directory(argv[i])) {
            std::printf("no seeds at %s: skipped\n", argv[i]);
            continue;
        }
        std::vector<std::filesystem::path> seeds;
        for (const auto& entry : std::filesystem::directory_iterator(argv[i]))
            if (entry.is_regular_file())
                seeds.push_back(entry.path());
        std::sort(seeds.begin(), seeds.end());
        for (const auto& path : seeds) {
            std::ifstream in(path, std::ios::binary);
            samples.emplace_back(std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>());
            Check(samples.back().data(), samples.back().size());
        }
    }

    unsigned long long dates = 0;
    for (unsigned long long i = 0; i < iterations; ++i) {
        std::vector<unsigned char> v = samples[rng() % samples.size()];
        Mutate(v, rng);
        dates += Check(v.data(), v.size());
    }
    std::printf("%llu mutants of %zu samples, %llu still gave a date\n", iterations, samples.size(),
                dates);
    return 0;
}
#endif
