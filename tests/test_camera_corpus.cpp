// Real files of many cameras and phones, kept beside the project with the date
// ExifTool reads in each (a movie's UTC time in UTC), and its model and
// sub-seconds: every file must give the same, and no file made to crash a
// reader may fault here, under the sanitizers.
#include "cameradate/CameraDate.h"
#include "support/CameraBytes.h"
#include "support/CameraCorpus.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using namespace camera_test;

namespace fs = std::filesystem;

std::vector<unsigned char> Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads through the callback, as the program does, refusing reads past the end.
std::optional<CameraDate> DateOf(const std::vector<unsigned char>& file) {
    return ReadCameraDate(
        [&](uint64_t offset, size_t size, unsigned char* buffer) -> size_t {
            if (offset > file.size() || size > file.size() - offset)
                return 0;
            std::copy_n(file.begin() + std::ptrdiff_t(offset), size, buffer);
            return size;
        },
        file.size());
}

fs::path Corpus() {
    return fs::path(TESSIVOX_PHOTO_CORPUS);
}

TEST(CameraCorpus, EveryFileGivesTheDateExifToolReads) {
    if (!fs::is_directory(Corpus()))
        GTEST_SKIP() << "no photo corpus at " << Corpus() << ": the real camera files go untested";
    const std::vector<CorpusFile> files = CorpusFiles(Corpus().string());
    for (const CorpusFile& file : files)
        EXPECT_EQ(DateText(DateOf(Contents(Corpus() / file.path)), "-", false), file.date)
            << file.path;
    EXPECT_GT(files.size(), 60u);
}

// The model and sub-seconds ExifTool reads in each file that gives a date, as
// tests/camera-corpus-exif.tsv keeps them (its first line says how).
TEST(CameraCorpus, FilesWithADateGiveTheModelAndSubSecondsExifToolReads) {
    if (!fs::is_directory(Corpus()))
        GTEST_SKIP() << "no photo corpus at " << Corpus() << ": the real camera files go untested";
    std::ifstream table(TESSIVOX_CORPUS_EXIF);
    std::string line;
    int files = 0;
    while (std::getline(table, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        const size_t tab = line.find('\t');
        ASSERT_NE(line.find('\t', tab + 1), std::string::npos) << line;
        const std::optional<CameraDate> date = DateOf(Contents(Corpus() / line.substr(0, tab)));
        if (!date)
            continue;
        EXPECT_EQ(date->model + "\t" + date->subSecond, line.substr(tab + 1)) << line;
        ++files;
    }
    EXPECT_GT(files, 50);
}

TEST(CameraCorpus, FilesMadeToCrashReadersGiveNoDateOrARealOne) {
    if (!fs::is_directory(Corpus() / "hostile"))
        GTEST_SKIP() << "no photo corpus at " << Corpus() << ": the hostile files go untested";
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(Corpus() / "hostile")) {
        const std::string date = DateText(DateOf(Contents(entry.path())), "-", false);
        EXPECT_TRUE(date == "-" || ParseExifDateTime(date)) << entry.path() << ": " << date;
        ++files;
    }
    EXPECT_GT(files, 0);
}

} // namespace
