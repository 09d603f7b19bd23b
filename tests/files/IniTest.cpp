#include "files/Ini.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

using namespace zentrola;

namespace {

constexpr std::string_view kFile = "; written by hand\r\n"
                                   "[BASIC]\r\n"
                                   "Left=120\r\n"
                                   "CheckBoxIgnAll->Checked=1\r\n"
                                   "\r\n"
                                   "[Other]\r\n"
                                   "Left=7\r\n"
                                   "Extra = keep me \r\n";

} // namespace

TEST(IniFile, ReadsKeysOfTheirOwnSectionWithoutRegardToCase) {
    const IniFile ini = IniFile::fromText(kFile);
    EXPECT_EQ(ini.readInt("BASIC", "Left", -1), 120);
    EXPECT_EQ(ini.readInt("basic", "LEFT", -1), 120);
    EXPECT_EQ(ini.readInt("Other", "Left", -1), 7);
    EXPECT_EQ(ini.readInt("BASIC", "CheckBoxIgnAll->Checked", -1), 1);
    EXPECT_EQ(ini.readInt("BASIC", "CheckBoxIgnAll", -1), -1);
    EXPECT_EQ(ini.readString("Other", "Extra", "-"), "keep me");
    EXPECT_EQ(ini.readString("BASIC", "Extra", "-"), "-");
    EXPECT_EQ(ini.readString("Missing", "Left", "none"), "none");
}

TEST(IniFile, LfAndCrLfFilesReadAlike) {
    std::string lf(kFile);
    std::erase(lf, '\r');
    const IniFile fromLf = IniFile::fromText(lf);
    const IniFile fromCrLf = IniFile::fromText(kFile);
    EXPECT_EQ(fromLf.readInt("BASIC", "Left", -1), 120);
    EXPECT_EQ(fromLf.readString("Other", "Extra", ""), "keep me");
    // Written back, both end every line in CR LF.
    EXPECT_EQ(fromLf.text(), kFile);
    EXPECT_EQ(fromCrLf.text(), kFile);
}

TEST(IniFile, IntegersMustBeWholeNumbers) {
    const IniFile ini = IniFile::fromText("[S]\nA= 12 \nB=-3\nC=+4\nD=abc\nE=12abc\nF=99999999999\n"
                                          "G=\nH=\"15\"\n");
    EXPECT_EQ(ini.readInt("S", "A", 0), 12);
    EXPECT_EQ(ini.readInt("S", "B", 0), -3);
    EXPECT_EQ(ini.readInt("S", "C", 0), 4);
    for (std::string_view key : {"D", "E", "F", "G"})
        EXPECT_EQ(ini.readInt("S", key, 55), 55) << key;
    EXPECT_EQ(ini.readInt("S", "H", 0), 15); // quotes are taken off as Windows does
}

TEST(IniFile, WritingUpdatesInPlaceOrAppendsToTheSection) {
    IniFile ini = IniFile::fromText(kFile);
    ini.writeInt("basic", "LEFT", 300);     // in place, the key keeps its spelling
    ini.writeInt("BASIC", "Top", 40);       // appended to BASIC, before the blank line
    ini.writeString("Other", "Extra", "x"); // in place in the other section
    ini.writeString("New", "File", "a\nb"); // new section at the end, one line kept
    EXPECT_EQ(ini.text(), "; written by hand\r\n"
                          "[BASIC]\r\n"
                          "Left=300\r\n"
                          "CheckBoxIgnAll->Checked=1\r\n"
                          "Top=40\r\n"
                          "\r\n"
                          "[Other]\r\n"
                          "Left=7\r\n"
                          "Extra=x\r\n"
                          "\r\n"
                          "[New]\r\n"
                          "File=a b\r\n");
    EXPECT_EQ(ini.readString("NEW", "file", ""), "a b");
}

TEST(IniFile, EntriesOutsideASectionAreKeptButNotMatched) {
    IniFile ini = IniFile::fromText("Left=1\n[BASIC]\n");
    EXPECT_EQ(ini.readInt("BASIC", "Left", -1), -1);
    ini.writeInt("BASIC", "Left", 2);
    EXPECT_EQ(ini.text(), "Left=1\r\n[BASIC]\r\nLeft=2\r\n");
}

TEST(IniFile, AKeyWrittenReadsBackWhateverMarksTheFileStartedWith) {
    const std::string bom = "\xEF\xBB\xBF";
    for (int marks = 0; marks <= 3; ++marks) {
        std::string text;
        for (int i = 0; i < marks; ++i)
            text += bom;
        text += "[BASIC]\r\nLeft=120\r\n";
        IniFile ini = IniFile::fromText(text);
        EXPECT_EQ(ini.readInt("BASIC", "Left", -1), 120) << marks << " marks";
        ini.writeInt("BASIC", "Left", 300);
        EXPECT_EQ(ini.text(), "[BASIC]\r\nLeft=300\r\n") << marks << " marks";
        // Two starts later the setting is still what was written.
        IniFile next = IniFile::fromText(ini.text());
        EXPECT_EQ(next.readInt("BASIC", "Left", -1), 300) << marks << " marks";
        next.writeInt("BASIC", "Top", 5);
        EXPECT_EQ(IniFile::fromText(next.text()).readInt("BASIC", "Left", -1), 300)
            << marks << " marks";
    }
}

TEST(IniFile, SavesAndLoadsThroughAFile) {
    test::ScratchDir dir;
    const IniFile missing(dir / "none.ini");
    EXPECT_EQ(missing.text(), "");

    IniFile ini;
    ini.writeInt("BASIC", "ComPort", 21);
    ASSERT_TRUE(ini.save(dir / "a.ini"));
    EXPECT_EQ(test::readText(dir / "a.ini"), "[BASIC]\r\nComPort=21\r\n");
    EXPECT_EQ(IniFile(dir / "a.ini").readInt("BASIC", "ComPort", 0), 21);
}
