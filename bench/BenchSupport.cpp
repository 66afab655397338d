#include "BenchSupport.h"

#include <psapi.h>

double Seconds() {
    LARGE_INTEGER f, t;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string MakeScratchFolder(const char* name) {
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + name + "-" + std::to_string(::GetCurrentProcessId());
    RemoveTree(path);
    ::CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

SIZE_T PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof(pmc);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                           sizeof(pmc));
    return pmc.PrivateUsage;
}
