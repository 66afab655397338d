// Camera dates read from files on disk, as a run reads them: the real camera
// files beside the project, files written by ffmpeg and ExifTool, a movie's
// UTC time in the local time of its own day, and a movie of 5 GB.
#include "rename/PhotoDateFile.h"

#include "support/CameraBytes.h"
#include "support/CameraCorpus.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace camera_test;

TIME_ZONE_INFORMATION Utc() {
    return TIME_ZONE_INFORMATION{};
}

std::string DateOnDisk(const std::string& path, const TIME_ZONE_INFORMATION& zone) {
    unsigned long error = 0;
    const std::string date = DateText(ReadPhotoDateFile(path, error, &zone), "-");
    return error ? "error " + std::to_string(error) : date;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The real files, and those the test command wrote with independent tools,
// each with the date ExifTool reads in it.
TEST(CameraFiles, EachGivesTheDateExifToolReads) {
    const std::string corpus = TESSIVOX_PHOTO_CORPUS;
    if (IsFolder(corpus)) {
        const std::vector<CorpusFile> files = CorpusFiles(corpus);
        for (const CorpusFile& file : files)
            EXPECT_EQ(DateOnDisk(corpus + "\\" + file.path, Utc()), file.date) << file.path;
        EXPECT_GT(files.size(), 60u);
    } else {
        std::printf("[  SKIPPED ] no photo corpus at %s: the real camera files go untested\n",
                    corpus.c_str());
    }
    const std::string samples = TESSIVOX_CAMERA_SAMPLES;
    std::ifstream table(samples + "\\expected.tsv");
    if (!table)
        GTEST_SKIP() << "no " << samples << "\\expected.tsv (ffmpeg and exiftool make it)";
    int files = 0;
    for (std::string line; std::getline(table, line); ++files) {
        const size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        EXPECT_EQ(DateOnDisk(samples + "\\" + line.substr(0, tab), Utc()), line.substr(tab + 1))
            << line.substr(0, tab);
    }
    // Six files of ffmpeg and ExifTool, and the shifted raws where the corpus is.
    EXPECT_GE(files, IsFolder(corpus) ? 13 : 6);
}

// A movie header of version 0 made at utc (seconds from 1970).
std::string MovieBox(int64_t utc) {
    const uint64_t since1904 = static_cast<uint64_t>(utc + 2082844800LL);
    return Box("moov",
               Box("mvhd", BigEndian(0, 4) + BigEndian(since1904, 4) + BigEndian(since1904, 4) +
                               BigEndian(600, 4) + std::string(88, '\0')));
}

void WriteAt(HANDLE h, uint64_t offset, const std::string& bytes) {
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    ASSERT_TRUE(::SetFilePointerEx(h, at, nullptr, FILE_BEGIN));
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

// A video made in summer, read in winter: the hour of summer time, as the
// creation time of a file of that day shows it; and one of winter.
TEST(CameraFiles, AMovieTimeIsLocalTimeByTheRuleOfItsOwnDay) {
    TIME_ZONE_INFORMATION berlin = {};
    berlin.Bias = -60;
    berlin.DaylightBias = -60;
    berlin.StandardDate = {0, 10, 0, 5, 3, 0, 0, 0};
    berlin.DaylightDate = {0, 3, 0, 5, 2, 0, 0, 0};
    CTempFolder folder;
    const struct {
        int64_t utc;
        const char* local;
    } cases[] = {{1625423400LL /* 2021-07-04 18:30 UTC */, "2021:07:04 20:30:00"},
                 {1103931000LL /* 2004-12-24 23:30 UTC */, "2004:12:25 00:30:00"}};
    for (const auto& c : cases) {
        const std::string path = folder / "movie.mov";
        WriteTextFile(path, Box("ftyp", "qt  " + BigEndian(0, 4) + "qt  ") + MovieBox(c.utc));
        EXPECT_EQ(DateOnDisk(path, berlin), c.local) << c.utc;
    }
}

// Its header at the end, behind 5 GB of pictures that are a hole in a sparse
// file: the reader seeks over them.
TEST(CameraFiles, AMovieOfFiveGigabytesWithItsHeaderAtTheEnd) {
    CTempFolder folder;
    const std::string path = folder / "long.mp4";
    const uint64_t pictures = 5ULL << 30;
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const std::string ftyp = Box("ftyp", "isom" + BigEndian(512, 4) + "isommp41");
    WriteAt(h, 0, ftyp + BigEndian(1, 4) + "mdat" + BigEndian(pictures + 16, 8));
    WriteAt(h, ftyp.size() + 16 + pictures, MovieBox(1625423400LL));
    ::CloseHandle(h);
    EXPECT_EQ(DateOnDisk(path, Utc()), "2021:07:04 18:30:00");
    ::DeleteFileA(path.c_str());
}

} // namespace
