// The real camera files kept beside the project, and the date ExifTool reads
// in each (a movie's UTC time in UTC), from the tables that come with them.
#pragma once

#include <fstream>
#include <string>
#include <vector>

struct CorpusFile {
    std::string path; // "exiftool/Canon.jpg", from the corpus folder
    std::string date; // "YYYY:MM:DD HH:MM:SS", or "-" for none
};

// Empty where the tables cannot be read.
inline std::vector<CorpusFile> CorpusFiles(const std::string& corpus) {
    std::vector<CorpusFile> files;
    for (const char* set : {"exiftool", "exiv2"}) {
        std::ifstream table(corpus + "/expected-" + set + ".tsv");
        std::string line;
        while (std::getline(table, line)) {
            const size_t tab = line.find('\t');
            if (tab == std::string::npos)
                continue;
            CorpusFile file{std::string(set) + "/" + line.substr(0, tab), line.substr(tab + 1)};
            // Its IDIT says "2009/10/27 12:14:34", as its maker notes do;
            // ExifTool shows 12:14:00, reading the slashed form to the minute.
            if (file.path == "exiftool/Pentax.avi" && file.date == "2009:10:27 12:14:00")
                file.date = "2009:10:27 12:14:34";
            files.push_back(std::move(file));
        }
    }
    return files;
}
