// The escaped form of language-file values.
#include "app/LangText.h"

#include <gtest/gtest.h>

TEST(LangText, DecodesTheThreeTokens) {
    EXPECT_EQ(DecodeLangText("one<|>two"), "one\ntwo");
    EXPECT_EQ(DecodeLangText("a<-->b"), "a=b");
    EXPECT_EQ(DecodeLangText("a<-T->b"), "a\tb");
    EXPECT_EQ(DecodeLangText("<|><|>x<-->y<-T-><|>"), "\n\nx=y\t\n");
    EXPECT_EQ(DecodeLangText("no tokens"), "no tokens");
}

TEST(LangText, EncodesLineBreaksEqualsAndTabsButNotCarriageReturns) {
    EXPECT_EQ(EncodeLangText("If you need\n\nmail"), "If you need<|><|>mail");
    EXPECT_EQ(EncodeLangText("a=b"), "a<-->b");
    EXPECT_EQ(EncodeLangText("a\tb"), "a<-T->b");
    EXPECT_EQ(EncodeLangText("a\r\nb"), "a\r<|>b");
}

TEST(LangText, EncodedTextDecodesToItself) {
    for (const char* s : {"", "plain", "x=y=z", "tab\there", "two\nlines\n", "=\t\n"})
        EXPECT_EQ(DecodeLangText(EncodeLangText(s)), s) << s;
}

TEST(InsertArgs, FillsNumberedPlacesAndLeavesOthersAlone) {
    EXPECT_EQ(InsertArgs("%1 of %2 files, %1 done", {"3", "10"}), "3 of 10 files, 3 done");
    EXPECT_EQ(InsertArgs("100% sure: %3 %", {"a"}), "100% sure: %3 %");
    EXPECT_EQ(InsertArgs("%s %d %n", {"x"}), "%s %d %n"); // no printf format is ever read
}

TEST(ReplaceAll, ReplacesLeftToRightWithoutOverlapsOrRescanning) {
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(ReplaceAll("a_b_c", "_", "__"), "a__b__c");
    EXPECT_EQ(ReplaceAll("File", "file", "x"), "File"); // letter case counts
    EXPECT_EQ(ReplaceAll("xx", "x", ""), "");
}
