// Timing, scratch folders, memory figures and repeated rounds for the
// benchmarks. A figure is never one measurement: each benchmark times the
// floor and the product in several rounds, alternating which goes first, on
// fresh folders, and reports the minimum and the median of each and the ratio
// of the medians.
#pragma once

#include "support/Files.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

double Seconds();

// Wall-clock seconds and the CPU seconds of this process (all its threads). On
// a machine shared with other work the wall clock also counts the time spent
// waiting for a CPU; the CPU time does not, so its ratio is the steadier one,
// though it misses what Wine's server does on the process's behalf.
struct Timing {
    double wall = 0;
    double cpu = 0;
};
Timing Now();
Timing operator-(const Timing& end, const Timing& start);
// A new empty folder in the temporary folder; each call gives another one.
std::string MakeScratchFolder(const char* name);
// Empty files of the given names in a folder. Under Wine they are made through
// its Unix namespace, where a new name is not first looked for in every letter
// case: that search scans the whole folder and would make a folder of 100,000
// files take twenty minutes to lay out.
void MakeEmptyFiles(const std::string& folder, const std::vector<std::string>& names);
// The same with content: file i holds contents[i % contents.size()] (nothing
// where contents is empty).
void MakeFiles(const std::string& folder, const std::vector<std::string>& names,
               const std::vector<std::string>& contents);
// "IMG_100000.JPG", "IMG_100001.JPG", ...: count camera-like names.
std::vector<std::string> CameraNames(int count);
// A real camera file, held in memory to be copied.
struct CameraFile {
    std::string name; // "Canon.jpg"
    std::string bytes;
};
// The files of the photo corpus beside the project (exiftool/ and exiv2/) of
// at most maxBytes in which Tessivox reads a camera date, by name; where the
// corpus is missing, the photo samples the tests write. Says which on stdout.
std::vector<CameraFile> CameraFiles(size_t maxBytes);
// The name's extension with its dot, or nothing.
std::string Extension(const std::string& name);

// The process's private bytes, for watching what a run keeps.
SIZE_T PrivateBytes();

// The command line of a benchmark: --quick for smaller sizes, --rounds N.
struct BenchArgs {
    bool quick = false;
    int rounds = 3;
    std::string only; // --only NAME: one part of a benchmark, where it has parts
};
BenchArgs ParseBenchArgs(int argc, char** argv);

// One timed round of one side: lays out its own fresh folder, times only the
// work and cleans up; returns what the work took.
using TimedRound = std::function<Timing()>;

struct RoundFigures {
    std::vector<Timing> floor;
    std::vector<Timing> product;
};

// Runs the floor and the product args.rounds times each, alternating which goes
// first, prints the figures and one summary line starting with "RESULT |" that
// a table can be made of, and returns the figures.
RoundFigures CompareRounds(const std::string& work, const BenchArgs& args, const TimedRound& floor,
                           const TimedRound& product, double goal);
double Median(std::vector<double> values);
double MedianWall(const std::vector<Timing>& timings);
