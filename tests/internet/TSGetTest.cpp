// The document download control against a web site on loopback.
#include "Host.h"
#include "LoopbackServer.h"
#include "RecordFile.h"
#include "TSGet.h"
#include "TempFolder.h"
#include "VbError.h"
#include "WaitFor.h"

#include <QApplication>
#include <QImage>

#include <cerrno>

#include <gtest/gtest.h>

namespace vexal {
namespace {

using test::LoopbackServer;
using test::TempFolder;
using test::WaitFor;

struct Seen {
    std::vector<std::tuple<std::string, std::string, int>> docs;
    std::vector<std::pair<std::string, int>> errors;
};

void Watch(TSGet& get, Seen& seen)
{
    QObject::connect(&get, &TSGet::DocReceived, &get, [&](const QString& data, const QString& key, int type) {
        const QByteArray b = data.toLatin1();
        seen.docs.emplace_back(std::string(b.constData(), static_cast<std::size_t>(b.size())), key.toStdString(), type);
    });
    QObject::connect(&get, &TSGet::Error, &get,
                     [&](const QString& message, int code) { seen.errors.emplace_back(message.toStdString(), code); });
}

bool WaitIdle(const TSGet& get, const std::string& key)
{
    return WaitFor([&] { return !get.IsPending(key); });
}

TEST(TSGet, DeliversTextFilesAndConvertedHtml)
{
    VEXAL_REQUIRE_PYTHON();
    TempFolder site;
    site.Write("page.htm", "<html><body>Hello &amp; welcome</body></html>");
    site.Write("notes.txt", "plain");
    TempFolder program;
    LoopbackServer server(test::HttpServerScript, {site.Path().string()});
    ASSERT_GT(server.Port(), 0);
    const std::string base = "http://" + server.Address() + "/";

    TSGet get;
    Seen seen;
    Watch(get, seen);
    get.GetURL(base + "notes.txt");
    EXPECT_THROW(get.GetURL(base + "notes.txt"), VbError) << "the default key is pending";
    ASSERT_TRUE(WaitIdle(get, "Yada Yada"));
    get.GetURL(base + "page.htm", "html", 2);
    ASSERT_TRUE(WaitIdle(get, "html"));
    // Type 3 stores the document in the program folder under the URL's last part.
    get.GetURL(base + "page.htm", "file", 3);
    ASSERT_TRUE(WaitIdle(get, "file"));
    get.GetURL(base + "page.htm", "text", 4, (program / "page.txt").string());
    ASSERT_TRUE(WaitIdle(get, "text"));

    ASSERT_EQ(seen.docs.size(), 4u);
    EXPECT_EQ(seen.docs[0], std::make_tuple(std::string("plain"), std::string("Yada Yada"), 1));
    EXPECT_EQ(seen.docs[1], std::make_tuple(std::string("Hello & welcome"), std::string("html"), 2));
    EXPECT_EQ(std::get<0>(seen.docs[2]), (program / "page.htm").string());
    EXPECT_EQ(program.Read("page.htm"), "<html><body>Hello &amp; welcome</body></html>");
    EXPECT_EQ(program.Read("page.txt"), "Hello & welcome\r\n");
    EXPECT_TRUE(seen.errors.empty());
}

// Converted text that cannot be written names the file and the cause the write met.
TEST(TSGet, ConvertedTextThatCannotBeWrittenNamesTheFileAndTheCause)
{
    TempFolder program;
    program.Write("page.txt/inside.txt", "keep");
    TSGet get;
    try {
        get.HTML2Text("<body>text</body>", (program / "page.txt").string());
        ADD_FAILURE() << "the text was written";
    } catch (const VbError& e) {
        EXPECT_EQ(e.Description(),
                  (program / "page.txt").string() + " could not be written: " + ReasonOfError(EISDIR) + ".");
    }
    EXPECT_EQ(program.Read("page.txt/inside.txt"), "keep");
}

TEST(TSGet, FailuresAndUnsafeNames)
{
    VEXAL_REQUIRE_PYTHON();
    TempFolder site;
    LoopbackServer server(test::HttpServerScript, {site.Path().string()});
    TSGet get;
    Seen seen;
    Watch(get, seen);
    get.GetURL("http://127.0.0.1:" + std::to_string(test::ClosedPort()) + "/x.htm", "a");
    ASSERT_TRUE(WaitIdle(get, "a"));
    get.GetURL("http://" + server.Address() + "/missing.htm", "b");
    ASSERT_TRUE(WaitIdle(get, "b"));
    ASSERT_EQ(seen.errors.size(), 2u);
    EXPECT_EQ(seen.errors[0], std::make_pair(std::string("Could not Connect"), 2));
    EXPECT_EQ(seen.errors[1], std::make_pair(std::string("Can't find file"), 11));
    EXPECT_TRUE(seen.docs.empty());

    EXPECT_THROW(get.GetURL("http://" + server.Address() + "/..", "c", 3), VbError);
    get.CancelURL("nothing pending");
}

// What a download reports on its way: the name found, each redirect, the first byte, the
// data, the end; a picture (type 5) arrives as a picture in the download result.
TEST(TSGet, ReportsEachStatusAndDeliversPictures)
{
    VEXAL_REQUIRE_PYTHON();
    TempFolder site;
    site.Write("notes.txt", "plain");
    site.Write("sub/index.html", "<html><body>inside</body></html>");
    QImage square(3, 2, QImage::Format_RGB32);
    square.fill(Qt::red);
    ASSERT_TRUE(square.save(QString::fromStdString((site / "logo.png").string())));
    LoopbackServer server(test::HttpServerScript, {site.Path().string()});
    ASSERT_GT(server.Port(), 0);
    const std::string base = "http://" + server.Address() + "/";

    TSGet get;
    std::vector<int> codes;
    std::vector<std::string> texts;
    QObject::connect(&get, &TSGet::DownloadProgress, &get, [&](const QString& text, int code, qint64, qint64) {
        if (!codes.empty() && codes.back() == code && code == 5)
            return; // one entry for a run of data
        codes.push_back(code);
        texts.push_back(text.toStdString());
    });
    std::vector<QVariant> results;
    QObject::connect(&get, &TSGet::DocReceived, &get,
                     [&](const QString&, const QString&, int, const QVariant& result) { results.push_back(result); });

    get.GetURL(base + "notes.txt", "plain", 1);
    ASSERT_TRUE(WaitIdle(get, "plain"));
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 4, 5, 6}));
    EXPECT_EQ(texts, (std::vector<std::string>{"Finding the resource", "Connecting...", "Beginning to receive data...",
                                               "Received more data...", "Finished receiving data."}));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].toByteArray(), QByteArray("plain"));

    // A folder named without its "/" is redirected to it.
    codes.clear();
    get.GetURL(base + "sub", "moved", 2);
    ASSERT_TRUE(WaitIdle(get, "moved"));
    EXPECT_EQ(codes, (std::vector<int>{1, 2, 3, 4, 5, 6}));

    get.GetURL(base + "logo.png", "logo", 5);
    ASSERT_TRUE(WaitIdle(get, "logo"));
    ASSERT_EQ(results.size(), 3u);
    const QImage picture = results[2].value<QImage>();
    EXPECT_EQ(picture.size(), QSize(3, 2));
    EXPECT_EQ(picture.pixelColor(1, 1), QColor(Qt::red));

    // Not a picture: the download fails with the runtime's message.
    Seen seen;
    Watch(get, seen);
    get.GetURL(base + "notes.txt", "bad", 5);
    ASSERT_TRUE(WaitIdle(get, "bad"));
    ASSERT_EQ(seen.errors.size(), 1u);
    EXPECT_EQ(seen.errors[0], std::make_pair(std::string("Invalid picture"), 481));
}

} // namespace
} // namespace vexal
