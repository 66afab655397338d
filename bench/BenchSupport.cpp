#include "BenchSupport.h"

#include "rename/PhotoDateFile.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

double Seconds() {
    LARGE_INTEGER f, t;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

namespace {
double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& ft) {
        ULARGE_INTEGER v;
        v.LowPart = ft.dwLowDateTime;
        v.HighPart = ft.dwHighDateTime;
        return static_cast<double>(v.QuadPart) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}
} // namespace

Timing Now() {
    return {Seconds(), CpuSeconds()};
}

Timing operator-(const Timing& end, const Timing& start) {
    return {end.wall - start.wall, end.cpu - start.cpu};
}

std::string MakeScratchFolder(const char* name) {
    static int made = 0;
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + name + "-" + std::to_string(::GetCurrentProcessId()) +
                       "-" + std::to_string(++made);
    RemoveTree(path);
    ::CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

namespace {

// The folder as Wine's Unix namespace names it ("\\?\unix\tmp\..."), or the
// folder itself where there is no Wine.
std::string FastCreationFolder(const std::string& folder) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "wine_get_unix_file_name")));
    if (!unixName)
        return folder;
    std::wstring wide(folder.begin(), folder.end()); // scratch folders are plain ASCII
    char* name = unixName(wide.c_str());
    if (!name)
        return folder;
    std::string path = std::string("\\\\?\\unix") + name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

} // namespace

void MakeEmptyFiles(const std::string& folder, const std::vector<std::string>& names) {
    MakeFiles(folder, names, {});
}

void MakeFiles(const std::string& folder, const std::vector<std::string>& names,
               const std::vector<std::string>& contents) {
    std::string base = FastCreationFolder(folder);
    for (size_t i = 0; i < names.size(); ++i) {
        std::string path = base + "\\" + names[i];
        HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE && base != folder) {
            base = folder;
            h = ::CreateFileA((folder + "\\" + names[i]).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_NEW, 0, nullptr);
        }
        if (h == INVALID_HANDLE_VALUE)
            continue;
        if (!contents.empty()) {
            const std::string& content = contents[i % contents.size()];
            DWORD written = 0;
            ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        }
        ::CloseHandle(h);
    }
}

std::string Extension(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

namespace {

// Files of folder of at most maxBytes that hold a camera date Tessivox reads.
void AddCameraFiles(const std::string& folder, size_t maxBytes, std::vector<CameraFile>& files) {
    for (const std::string& name : ListFolder(folder)) {
        const std::string path = folder + "\\" + name;
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
            (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || data.nFileSizeHigh ||
            data.nFileSizeLow > maxBytes)
            continue;
        unsigned long error = 0;
        // A file without one would stop a run.
        if (ReadPhotoDateFile(path, error))
            files.push_back({name, ReadTextFile(path)});
    }
}

} // namespace

std::vector<CameraFile> CameraFiles(size_t maxBytes) {
    std::vector<CameraFile> files;
    const std::string corpus = TESSIVOX_PHOTO_CORPUS;
    AddCameraFiles(corpus + "\\exiftool", maxBytes, files);
    AddCameraFiles(corpus + "\\exiv2", maxBytes, files);
    if (files.empty()) {
        AddCameraFiles(TESSIVOX_PHOTO_SAMPLES, maxBytes, files);
        std::printf("the photo corpus is not at %s: copies of the photo samples the tests "
                    "write instead\n",
                    corpus.c_str());
    }
    std::sort(files.begin(), files.end(),
              [](const CameraFile& a, const CameraFile& b) { return a.name < b.name; });
    return files;
}

std::vector<std::string> CameraNames(int count) {
    std::vector<std::string> names;
    names.reserve(count);
    for (int i = 0; i < count; ++i)
        names.push_back("IMG_" + std::to_string(100000 + i) + ".JPG");
    return names;
}

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof(pmc);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                           sizeof(pmc));
    return pmc.PrivateUsage;
}

BenchArgs ParseBenchArgs(int argc, char** argv) {
    BenchArgs args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            args.quick = true;
        else if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc)
            args.rounds = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc)
            args.only = argv[++i];
    }
    return args;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t mid = values.size() / 2;
    return values.size() % 2 ? values[mid] : (values[mid - 1] + values[mid]) / 2;
}

double MedianWall(const std::vector<Timing>& timings) {
    std::vector<double> wall;
    for (const Timing& t : timings)
        wall.push_back(t.wall);
    return Median(wall);
}

namespace {

double MedianCpu(const std::vector<Timing>& timings) {
    std::vector<double> cpu;
    for (const Timing& t : timings)
        cpu.push_back(t.cpu);
    return Median(cpu);
}

void PrintSide(const char* label, const std::vector<Timing>& timings) {
    std::vector<double> wall;
    std::printf("  %-9s wall", label);
    for (const Timing& t : timings) {
        std::printf(" %8.3f", t.wall);
        wall.push_back(t.wall);
    }
    std::printf("   min %8.3f s  median %8.3f s   CPU median %8.3f s\n",
                *std::min_element(wall.begin(), wall.end()), Median(wall), MedianCpu(timings));
}

} // namespace

RoundFigures CompareRounds(const std::string& work, const BenchArgs& args, const TimedRound& floor,
                           const TimedRound& product, double goal) {
    RoundFigures figures;
    std::printf("%s: %d rounds\n", work.c_str(), args.rounds);
    std::fflush(stdout);
    double t0 = Seconds();
    for (int round = 0; round < args.rounds; ++round) {
        // Alternating the order spreads a warm cache or a busy neighbour over both sides.
        if (round % 2 == 0) {
            figures.floor.push_back(floor());
            figures.product.push_back(product());
        } else {
            figures.product.push_back(product());
            figures.floor.push_back(floor());
        }
    }
    PrintSide("floor:", figures.floor);
    PrintSide("Tessivox:", figures.product);
    double ratio = MedianWall(figures.product) / MedianWall(figures.floor);
    double cpuFloor = MedianCpu(figures.floor);
    double cpuRatio = cpuFloor > 0 ? MedianCpu(figures.product) / cpuFloor : 0;
    std::printf("  ratio of the medians: %.3f (goal <= %.1f); of the CPU medians: %.3f\n", ratio,
                goal, cpuRatio);
    std::printf("  the rounds took %.0f s with their set-up\n", Seconds() - t0);
    std::printf("RESULT | %s | %.3f s | %.3f s | %.2f | %.2f | <= %.1f |\n", work.c_str(),
                MedianWall(figures.floor), MedianWall(figures.product), ratio, cpuRatio, goal);
    std::fflush(stdout);
    return figures;
}
