// Finding the program folder from the command line.
#include "app/ProgramFolder.h"

#include <gtest/gtest.h>

TEST(ProgramFolder, QuotedPathEndsAtItsClosingQuote) {
    EXPECT_EQ(ProgramFolderFromCommandLine("\"C:\\Tools\\Renamer\\renamer.exe\" D:\\Photos\\a.jpg",
                                           "X:\\other\\x.exe"),
              "C:\\Tools\\Renamer");
    EXPECT_EQ(ProgramFolderFromCommandLine("\"C:\\Program Files\\T\\t.exe\" \"E:\\a b\\c\"", ""),
              "C:\\Program Files\\T");
    EXPECT_EQ(ProgramFolderFromCommandLine("\"C:\\T\\t.exe\"", ""), "C:\\T");
}

TEST(ProgramFolder, UnquotedLineFallsBackToTheModulePath) {
    EXPECT_EQ(ProgramFolderFromCommandLine("tessivox.exe C:\\x\\y", "C:\\Apps\\T\\tessivox.exe"),
              "C:\\Apps\\T");
    EXPECT_EQ(ProgramFolderFromCommandLine("", "C:\\Apps\\tessivox.exe"), "C:\\Apps");
    EXPECT_EQ(ProgramFolderFromCommandLine("\"tessivox.exe\"", "C:\\A\\tessivox.exe"), "C:\\A");
}
