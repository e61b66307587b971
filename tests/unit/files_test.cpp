// Files that grow by whole lines: what a full disk, a lost share, a hand
// edit or a second writer leave behind.
#include "files/text_files.h"
#include "unit/fake_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

namespace {

const std::string Header = "time,value\r\n";

TEST(AppendingFile, AWriteThatComesShortIsTakenBackAndNamesItsCause) {
    FakeFiles files;
    files.Content["log.csv"] = Header + "1,2\r\n";
    AppendingFile file;
    std::string problem;
    ASSERT_TRUE(file.Open("log.csv", problem)) << problem;

    // A disk that fills up: the system takes part of the line and says nothing.
    files.ShortWrite = 3;
    EXPECT_FALSE(file.Append("3,4\r\n"));
    EXPECT_EQ(file.Problem(), "the disk is full");
    EXPECT_EQ(files.Content["log.csv"], Header + "1,2\r\n");

    // A share that goes away half-way through the write.
    files.WriteError = ERROR_NETNAME_DELETED;
    files.WrittenBeforeFailure = 2;
    EXPECT_FALSE(file.Append("3,4\r\n"));
    EXPECT_EQ(file.Problem(), "the network share is not reachable");
    EXPECT_EQ(files.Content["log.csv"], Header + "1,2\r\n");

    // Room again: the line goes on where the file ended, whole.
    EXPECT_TRUE(file.Append("3,4\r\n"));
    EXPECT_EQ(files.Content["log.csv"], Header + "1,2\r\n3,4\r\n");

    // What cannot be taken back is said; the next line still starts on its own.
    files.ShortWrite = 2;
    files.TruncateFails = true;
    EXPECT_FALSE(file.Append("5,6\r\n"));
    EXPECT_EQ(file.Problem(),
              "the disk is full; a piece of the line may be left at the file's end");
    files.TruncateFails = false;
    EXPECT_TRUE(file.Append("7,8\r\n"));
    EXPECT_EQ(files.Content["log.csv"], Header + "1,2\r\n3,4\r\n5,\r\n7,8\r\n");
}

TEST(AppendingFile, ALastLineThatLostItsLineEndGetsOneBeforeTheNext) {
    FakeFiles files;
    files.Content["r.csv"] = Header + "1,2";
    files.Content["t.txt"] = "# trace\n  1.0  COM5  >  01";
    std::string problem;
    EXPECT_TRUE(AppendLines("r.csv", Header, "3,4\r\n", problem)) << problem;
    EXPECT_EQ(files.Content["r.csv"], Header + "1,2\r\n3,4\r\n");
    AppendingFile trace;
    ASSERT_TRUE(trace.Open("t.txt", problem));
    EXPECT_TRUE(trace.Append("  2.0  COM5  <  06\n"));
    EXPECT_TRUE(trace.Append("  3.0  COM5  >  01\n"));
    EXPECT_EQ(files.Content["t.txt"], "# trace\n  1.0  COM5  >  01\n  2.0  COM5  <  06\n"
                                      "  3.0  COM5  >  01\n");
}

// Whether a file may be added to is told by its first line; the file may be
// a log of months, so no more of it is read. Reading it does not move where
// the next line goes.
TEST(AppendingFile, GivesItsFirstLineAndReadsNoFurther) {
    FakeFiles files;
    files.Content["big.csv"] = Header + std::string(1 << 20, 'x') + "\r\n";
    files.Content["endless.txt"] = std::string(5000, 'y');
    files.Content["short.csv"] = "time,value";
    AppendingFile file;
    std::string problem, line;
    ASSERT_TRUE(file.Open("big.csv", problem));
    ASSERT_TRUE(file.FirstLine(512, line));
    EXPECT_EQ(line, Header);
    EXPECT_LE(files.BytesRead, 512u);
    EXPECT_TRUE(file.Append("1,2\r\n"));
    EXPECT_EQ(files.Content["big.csv"].size(), Header.size() + (1 << 20) + 2 + 5);
    EXPECT_EQ(files.Content["big.csv"].substr(0, Header.size()), Header);

    files.BytesRead = 0;
    ASSERT_TRUE(file.Open("endless.txt", problem));
    ASSERT_TRUE(file.FirstLine(512, line));
    EXPECT_EQ(line, std::string(512, 'y')) << "as much of a line that goes on as was asked";
    EXPECT_EQ(files.BytesRead, 512u);
    ASSERT_TRUE(file.Open("short.csv", problem));
    ASSERT_TRUE(file.FirstLine(512, line));
    EXPECT_EQ(line, "time,value") << "a line that lost its line end";
}

// What an error line quotes of a file it refuses: readable on one line,
// however the file was saved.
TEST(ShownFirstLine, QuotesTheLineOnOneLineCutAndReadable) {
    EXPECT_EQ(ShownFirstLine("\xEF\xBB\xBFtime;value\r\n"), "\"time;value\"");
    EXPECT_EQ(ShownFirstLine("# vl4 settings\n"), "\"# vl4 settings\"");
    EXPECT_EQ(ShownFirstLine("\x9Aroub\tM8\x1B[2J"), "\"\xC5\xA1roub M8 [2J\"") << "Windows-1250";
    EXPECT_EQ(ShownFirstLine(std::string(100, 'a')),
              "\"" + std::string(59, 'a') + "\xE2\x80\xA6\"");
}

TEST(AppendLines, ANewFileGetsItsHeaderAndASecondWriterWaitsForTheFirst) {
    FakeFiles files;
    std::string problem;
    EXPECT_TRUE(AppendLines("r.csv", Header, "1,2\r\n", problem));
    EXPECT_TRUE(AppendLines("r.csv", Header, "3,4\r\n", problem));
    EXPECT_EQ(files.Content["r.csv"], Header + "1,2\r\n3,4\r\n");
    EXPECT_EQ(files.OpenHandles(), 0u) << "held only while the line is written";

    // Another program writes the record for a moment: the line waits and goes in.
    files.InUseOpens = 3;
    EXPECT_TRUE(AppendLines("r.csv", Header, "5,6\r\n", problem)) << problem;
    EXPECT_EQ(files.Paused, 300u);
    // It holds it longer than a writer waits: the line is not written.
    files.InUseOpens = 1000;
    EXPECT_FALSE(AppendLines("r.csv", Header, "7,8\r\n", problem));
    EXPECT_EQ(problem, "in use by another program (waited 5 s)");
    EXPECT_EQ(files.Content["r.csv"], Header + "1,2\r\n3,4\r\n5,6\r\n");
}

// The system's files under Wine: writers take turns line by line, and a
// reader reads while a writer holds the file.
TEST(AppendLines, WritersOnTheSystemsFilesTakeTurnsAndReadersReadMeanwhile) {
    const std::string path = "files_test_turns.csv";
    std::remove(path.c_str());
    constexpr int Lines = 150;
    auto writer = [&](char name) {
        for (int i = 0; i < Lines; ++i) {
            std::string problem;
            const std::string line = std::string(40, name) + "," + std::to_string(i) + "\r\n";
            ASSERT_TRUE(AppendLines(path, Header, line, problem)) << problem;
        }
    };
    std::thread a(writer, 'a'), b(writer, 'b');
    a.join();
    b.join();

    AppendingFile held;
    std::string problem, content;
    ASSERT_TRUE(held.Open(path, problem)) << problem;
    ASSERT_EQ(ReadWholeFile(path, 1 << 20, content, problem), FileRead::Done) << problem;
    EXPECT_FALSE(AppendLines(path, Header, "c\r\n", problem, 200)) << "one writer at a time";
    held.Close();
    std::remove(path.c_str());

    EXPECT_EQ(content.compare(0, Header.size(), Header), 0);
    int count[2] = {};
    for (size_t at = Header.size(), end; (end = content.find("\r\n", at)) != std::string::npos;
         at = end + 2) {
        const std::string line = content.substr(at, end - at);
        ASSERT_TRUE(line.find_first_not_of(line[0]) == 40 && line[40] == ',') << line;
        EXPECT_EQ(line.substr(41), std::to_string(count[line[0] - 'a']++));
    }
    EXPECT_EQ(count[0], Lines);
    EXPECT_EQ(count[1], Lines);
}

} // namespace
