// The version file reader, stat-file names, the update notice text and the libcurl
// transfers against real servers on loopback.
#include "CurlTransfer.h"
#include "LoopbackServer.h"
#include "RecordFile.h"
#include "StatFiles.h"
#include "TempFolder.h"
#include "UpdateNotice.h"
#include "VersionFile.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace vexal {
namespace {

using test::LoopbackServer;
using test::TempFolder;

TEST(VersionFile, ReadsAllFourEntriesInAnyOrder)
{
    const std::string text = "CustomData = {\\rtf1 Hello\nworld--end--\n"
                             "Version = 29.0.4\n"
                             "OtherData = bye}--end--\n"
                             "DownloadURL = http://example.invalid/vexal.exe\n";
    const VersionFile f = ParseVersionFile(text);
    EXPECT_EQ(f.Version, "29.0.4");
    EXPECT_EQ(f.DownloadURL, "http://example.invalid/vexal.exe");
    EXPECT_EQ(f.CustomData, "{\\rtf1 Hello\nworld"); // spans lines, up to the first end mark
    EXPECT_EQ(f.OtherData, "bye}");
}

TEST(VersionFile, CrLfLineEndsAreLineEndsAndBlanksStayInTheValue)
{
    EXPECT_EQ(ParseVersionFile("Version = 1.2.3\r\nDownloadURL = x\r\n").Version, "1.2.3");
    EXPECT_EQ(ParseVersionFile("Version = 1.2.3\r\nDownloadURL = x\r\n").DownloadURL, "x");
    EXPECT_EQ(ParseVersionFile("Version =  1.2.3\n").Version, " 1.2.3");
    EXPECT_FALSE(IsCurrentVersion("1.2.3\r", "1.2.3"));
    EXPECT_FALSE(IsCurrentVersion(" 1.2.3", "1.2.3"));
    EXPECT_TRUE(IsCurrentVersion("1.2.3", "1.2.3"));
    EXPECT_FALSE(IsCurrentVersion("1.2.30", "1.2.3"));
}

TEST(VersionFile, MissingKeyOrEndMarkGivesEmptyEntry)
{
    EXPECT_EQ(ParseVersionFile("").Version, "");
    EXPECT_EQ(ParseVersionFile("<html>Not found</html>").Version, "");
    // A last line saved without a line end is read whole; the end mark of the RTF parts stays.
    EXPECT_EQ(ParseVersionFile("Version = 1.0.0").Version, "1.0.0");
    EXPECT_EQ(ParseVersionFile("Version = 1.0.0\r\nDownloadURL = http://h/v.exe").DownloadURL, "http://h/v.exe");
    EXPECT_EQ(ParseVersionFile("Version = 1.0.0\nCustomData = {\\rtf1 A}").CustomData, "");
    const VersionFile f = ParseVersionFile("Version = 1.0.0\nCustomData = open but never closed\n");
    EXPECT_EQ(f.Version, "1.0.0");
    EXPECT_EQ(f.CustomData, "");
    EXPECT_EQ(f.OtherData, "");
}

TEST(VersionFile, LikePatterns)
{
    EXPECT_TRUE(LikePattern("wk01.24", "*.24"));
    EXPECT_FALSE(LikePattern("wk01.245", "*.24"));
    EXPECT_TRUE(LikePattern(".24", "*.24"));
    EXPECT_TRUE(LikePattern("a1", "?#"));
    EXPECT_FALSE(LikePattern("ab", "?#"));
    EXPECT_TRUE(LikePattern("b", "[a-c]"));
    EXPECT_FALSE(LikePattern("b", "[!a-c]"));
    EXPECT_FALSE(LikePattern("ABC", "abc")); // case-sensitive
}

TEST(StatFiles, ListingEntries)
{
    EXPECT_EQ(CleanListingEntry("wk02.24\r\n"), "wk02.24");
    EXPECT_EQ(CleanListingEntry("wk02.24\n"), "wk02.24\n");
    EXPECT_TRUE(IsStatFileEntry("wk01.24"));
    EXPECT_FALSE(IsStatFileEntry("wk01.txt"));
    EXPECT_FALSE(IsStatFileEntry("readme"));
    EXPECT_FALSE(IsStatFileEntry("24"));
    EXPECT_TRUE(MatchesStatPattern("/tmp/x/wk01.24"));
}

TEST(StatFiles, NamesFromAServerThatCouldEscapeAreRefused)
{
    EXPECT_TRUE(IsSafeRemoteName("wk01.24"));
    for (const char* bad : {"", "../wk01.24", "a/wk01.24", "a\\wk01.24", "wk..24", "w:k.24", "w*.24", "w?.24",
                            "w\"k.24", "w<.24", "w>.24", "w|.24", "w\tk.24", "w\x7f.24"})
        EXPECT_FALSE(IsSafeRemoteName(bad)) << bad;
}

TEST(UpdateNotice, TextsAreExact)
{
    EXPECT_EQ(UpToDateNoticeText("29.0.4", "{\\rtf1 Hi\n", "Bye}"),
              "{\\rtf1 Hi\n\r\nYour version - 29.0.4\\par\r\nIs the current version.\\par\r\nBye}\\par\r\n");
    EXPECT_EQ(NewVersionNoticeText("30.1.0", "29.0.4", "http://h/v.exe", "{\\rtf1", "}"),
              "{\\rtf1\r\n"
              "New Version available - 30.1.0\\par\r\n"
              "Your version - 29.0.4\\par\r\n"
              "http://h/v.exe\\par\\par\r\n"
              "\\fs18 NOTE: To avoid having to reboot your computer after installation,\\par\r\n"
              "you should exit Vexal before running the downloaded file.\\par\r\n"
              "}\r\n");
}

TEST(UpdateNotice, EachWriteReplacesTheWholeFile)
{
    TempFolder folder;
    std::string problem;
    ASSERT_FALSE(WriteUpdateNotice(std::string(500, 'x'), problem).empty());
    const auto path = WriteUpdateNotice("short", problem);
    ASSERT_EQ(path, folder / "update.rtf");
    EXPECT_EQ(folder.Read("update.rtf"), "short");
    EXPECT_EQ(problem, "");
}

TEST(FtpUrl, BuildsFromHostDirectoryAndEscapedName)
{
    EXPECT_EQ(FtpUrl("h:21", "\\"), "ftp://h:21/");
    EXPECT_EQ(FtpUrl("h", "\\stats", "wk 01.24"), "ftp://h/stats/wk%2001.24");
}

TEST(CurlTransfer, HttpFetchAndFailures)
{
    VEXAL_REQUIRE_PYTHON();
    TempFolder site;
    site.Write("vexal.txt", "Version = 1.0.0\nDownloadURL = x\n");
    LoopbackServer server(test::HttpServerScript, {site.Path().string()});
    ASSERT_GT(server.Port(), 0);

    CurlTransfer t;
    ASSERT_TRUE(t.StartFetch("http://" + server.Address() + "/vexal.txt"));
    EXPECT_FALSE(t.StartFetch("http://" + server.Address() + "/vexal.txt")) << "one at a time";
    t.Wait();
    ASSERT_TRUE(t.Outcome().Ok) << t.Outcome().Description;
    EXPECT_EQ(t.Data(), "Version = 1.0.0\nDownloadURL = x\n");

    ASSERT_TRUE(t.StartFetch("http://" + server.Address() + "/missing.txt"));
    t.Wait();
    EXPECT_FALSE(t.Outcome().Ok);
    EXPECT_NE(t.Outcome().Number, 0);

    ASSERT_TRUE(t.StartFetch("http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/vexal.txt"));
    t.Wait();
    EXPECT_FALSE(t.Outcome().Ok);
    EXPECT_EQ(t.Outcome().Number, 10057);
}

// A download that cannot make its file names the file it was asked to store, with the cause
// (a missing folder, a folder in the file's place).
TEST(CurlTransfer, ADownloadThatCannotMakeItsFileNamesTheFileAskedFor)
{
    TempFolder local;
    local.Write("wk03.24/inside", "keep");
    struct Case {
        std::filesystem::path target;
        std::filesystem::path named;
        int cause;
    };
    const Case cases[] = {
        {local / "gone" / "wk01.24", local / "gone" / "wk01.24", ENOENT},
        {local / "wk03.24", local / "wk03.24", EISDIR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.string());
        CurlTransfer t;
        EXPECT_FALSE(t.StartDownload("ftp://127.0.0.1:1/wk01.24", c.target, "user", "secret"));
        EXPECT_FALSE(t.Outcome().Ok);
        EXPECT_EQ(t.Outcome().Description, WriteFailure(c.named, ReasonOfError(c.cause)));
        EXPECT_FALSE(t.Running());
    }
    EXPECT_EQ(local.Read("wk03.24/inside"), "keep");
}

TEST(CurlTransfer, FtpListAndDownload)
{
    VEXAL_REQUIRE_FTPD();
    TempFolder server;
    server.Write("wk01.24", std::string(20000, 'a'));
    server.Write("readme", "r");
    LoopbackServer ftp(test::FtpServerScript, {server.Path().string(), "user", "secret"});
    ASSERT_GT(ftp.Port(), 0);

    CurlTransfer t;
    ASSERT_TRUE(t.StartList(FtpUrl(ftp.Address(), "\\"), "user", "secret"));
    t.Wait();
    ASSERT_TRUE(t.Outcome().Ok) << t.Outcome().Description;
    EXPECT_NE(t.Data().find("wk01.24"), std::string::npos);
    EXPECT_NE(t.Data().find("readme"), std::string::npos);

    ASSERT_TRUE(t.StartList(FtpUrl(ftp.Address(), "\\"), "user", "wrong"));
    t.Wait();
    EXPECT_FALSE(t.Outcome().Ok);

    TempFolder local;
    int64_t lastProgress = 0;
    t.OnProgress = [&](int64_t received, int64_t) { lastProgress = received; };
    ASSERT_TRUE(t.StartDownload(FtpUrl(ftp.Address(), "\\", "wk01.24"), local / "wk01.24", "user", "secret"));
    t.Wait();
    ASSERT_TRUE(t.Outcome().Ok) << t.Outcome().Description;
    EXPECT_EQ(local.Read("wk01.24"), std::string(20000, 'a'));
    EXPECT_EQ(lastProgress, 20000);
    EXPECT_FALSE(std::filesystem::exists(local / "wk01.24.part"));

    // A failed download leaves what was there before, and no partial file.
    local.Write("wk02.24", "old");
    ASSERT_TRUE(t.StartDownload(FtpUrl(ftp.Address(), "\\", "wk02.24"), local / "wk02.24", "user", "secret"));
    t.Wait();
    EXPECT_FALSE(t.Outcome().Ok);
    EXPECT_EQ(local.Read("wk02.24"), "old");
    EXPECT_FALSE(std::filesystem::exists(local / "wk02.24.part"));
}

} // namespace
} // namespace vexal
