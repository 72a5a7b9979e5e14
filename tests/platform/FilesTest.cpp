// Record files, whole-file writes, Vexal.ini profile strings and Windows-1252 text.
#include "FileChecks.h"
#include "IniFile.h"
#include "MsgBox.h"
#include "PermissionOverride.h"
#include "RecordFile.h"
#include "TempFolder.h"
#include "VbError.h"
#include "Win1252.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vexal;
using vexal::test::PermissionOverrideDropped;
using vexal::test::ReadFile;
using vexal::test::TempFolder;

namespace {

int ErrorOf(auto&& step)
{
    try {
        step();
    } catch (const VbError& e) {
        return e.Number();
    }
    return 0;
}

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

std::vector<uint8_t> Record(std::size_t length, uint8_t fill)
{
    return std::vector<uint8_t>(length, fill);
}

} // namespace

// ---------------------------------------------------------------------------
// Windows-1252

TEST(Win1252, EveryByteSurvivesARoundTrip)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = win1252::ToUtf8(all);
    EXPECT_EQ(win1252::FromUtf8(utf8), all);
}

TEST(Win1252, MapsTheHighCharacters)
{
    EXPECT_EQ(win1252::ToUtf8("\x80"), "\u20AC");
    EXPECT_EQ(win1252::ToUtf8("caf\xE9"), "caf\u00E9");
    EXPECT_EQ(win1252::ToUtf8("\x93quoted\x94"), "\u201Cquoted\u201D");
    EXPECT_EQ(win1252::ToUtf8("\x9F"), "\u0178");
    EXPECT_EQ(win1252::FromUtf8("\u20AC 5"), "\x80 5");
    EXPECT_EQ(win1252::FromUtf8("\u2014"), "\x97");
    EXPECT_EQ(win1252::FromUtf8("\u00FF"), "\xFF");
}

TEST(Win1252, UnmappableAndBrokenTextBecomesQuestionMarks)
{
    EXPECT_EQ(win1252::FromUtf8("\u6F22x"), "?x");
    EXPECT_EQ(win1252::FromUtf8("\U0001F600"), "?");
    EXPECT_EQ(win1252::FromUtf8("a\xFF" "b"), "a?b");         // invalid lead byte
    EXPECT_EQ(win1252::FromUtf8("a\xE2\x82"), "a?");          // cut short at the end
    EXPECT_EQ(win1252::FromUtf8("\xE2\x82x"), "?x");          // cut short before a letter
    EXPECT_EQ(win1252::FromUtf8("\x82" "b"), "?b");           // stray continuation byte
}

// ---------------------------------------------------------------------------
// Record files

TEST(RecordFile, CountRoundsHalfToEven)
{
    EXPECT_EQ(RecordFile::CountRecords(159 * 10, 159), 10);
    EXPECT_EQ(RecordFile::CountRecords(159 * 10 + 79, 159), 10);
    EXPECT_EQ(RecordFile::CountRecords(159 * 10 + 80, 159), 11);
    EXPECT_EQ(RecordFile::CountRecords(5, 2), 2); // 2.5
    EXPECT_EQ(RecordFile::CountRecords(7, 2), 4); // 3.5
    EXPECT_EQ(RecordFile::CountRecords(0, 21), 0);
    EXPECT_EQ(RecordFile::CountRecords(10, 0), 0);
    EXPECT_EQ(RecordFile::CountRecords(UINTMAX_MAX, 1), INT32_MAX);
}

TEST(RecordFile, ReadsRecordsAndZerosPastTheEnd)
{
    TempFolder folder;
    // Two whole 4-byte records and half of a third.
    folder.Write("data.bin", Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    RecordFile file(folder / "data.bin", 4, RecordFile::Mode::ReadOnly, FileKind::Season);
    EXPECT_EQ(file.RecordCount(), 2); // 2.5 rounds to 2
    EXPECT_EQ(file.Get(2), (std::vector<uint8_t>{5, 6, 7, 8}));
    EXPECT_EQ(file.Get(3), (std::vector<uint8_t>{9, 10, 0, 0}));
    EXPECT_EQ(file.Get(4), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(file.Get(1000000), (std::vector<uint8_t>{0, 0, 0, 0}));
    EXPECT_EQ(ErrorOf([&] { file.Get(0); }), VbError::BadRecordNumber);
    EXPECT_EQ(ErrorOf([&] { file.Get(-1); }), VbError::BadRecordNumber);
}

TEST(RecordFile, RewritesOneRecordInPlace)
{
    TempFolder folder;
    folder.Write("data.bin", std::string(12, 'a'));
    {
        RecordFile file(folder / "data.bin", 4, RecordFile::Mode::ReadWrite, FileKind::Season);
        auto rec = Record(4, 'b');
        file.Put(2, rec.data());
        EXPECT_EQ(file.RecordCount(), 3);
        EXPECT_EQ(file.Get(2), rec);
    }
    EXPECT_EQ(folder.Read("data.bin"), "aaaabbbbaaaa");
}

TEST(RecordFile, PutPastTheEndFillsTheGapWithZeros)
{
    TempFolder folder;
    {
        RecordFile file(folder / "new.bin", 2, RecordFile::Mode::ReadWrite, FileKind::Season);
        EXPECT_EQ(file.RecordCount(), 0);
        auto rec = Record(2, 'x');
        file.Put(3, rec.data());
        EXPECT_EQ(file.RecordCount(), 3);
    }
    EXPECT_EQ(folder.Read("new.bin"), Bytes({0, 0, 0, 0, 'x', 'x'}));
}

TEST(RecordFile, ReadOnlyNeverCreatesOrWrites)
{
    TempFolder folder;
    EXPECT_EQ(ErrorOf([&] { RecordFile(folder / "missing.bin", 4, RecordFile::Mode::ReadOnly, FileKind::Season); }),
              VbError::FileNotFound);
    EXPECT_FALSE(std::filesystem::exists(folder / "missing.bin"));

    folder.Write("data.bin", "abcd");
    RecordFile file(folder / "data.bin", 4, RecordFile::Mode::ReadOnly, FileKind::Season);
    auto rec = Record(4, 'z');
    EXPECT_EQ(ErrorOf([&] { file.Put(1, rec.data()); }), VbError::BadFileMode);
    EXPECT_EQ(folder.Read("data.bin"), "abcd");
}

TEST(RecordFile, OpenFailures)
{
    TempFolder folder;
    std::filesystem::create_directory(folder / "dir");
    EXPECT_EQ(ErrorOf([&] { RecordFile(folder / "dir", 4, RecordFile::Mode::ReadOnly, FileKind::Season); }), VbError::PathFileAccess);
    EXPECT_EQ(ErrorOf([&] { RecordFile(folder / "dir", 4, RecordFile::Mode::ReadWrite, FileKind::Season); }), VbError::PathFileAccess);
    EXPECT_EQ(ErrorOf([&] { RecordFile(folder / "nofolder" / "a.bin", 4, RecordFile::Mode::ReadWrite, FileKind::Season); }),
              VbError::PathNotFound);
    EXPECT_FALSE(std::filesystem::exists(folder / "nofolder"));
    // Every failure names its file, so that a window showing it says which file it was.
    for (const auto& [path, mode] : {std::pair{folder / "dir", RecordFile::Mode::ReadOnly},
                                     std::pair{folder / "nofolder" / "a.bin", RecordFile::Mode::ReadWrite},
                                     std::pair{folder / "missing.bin", RecordFile::Mode::ReadOnly}}) {
        try {
            RecordFile(path, 4, mode, FileKind::Season);
            ADD_FAILURE() << path << " opened";
        } catch (const VbError& e) {
            EXPECT_NE(e.Description().find(path.string()), std::string::npos) << e.Description();
        }
    }
}

TEST(RecordFile, FileLength)
{
    TempFolder folder;
    folder.Write("five.bin", "12345");
    EXPECT_EQ(RecordFile::FileLength(folder / "five.bin"), 5u);
    EXPECT_EQ(RecordFile::FileLength(folder / "none.bin"), 0u);
}

TEST(LittleEndian, FieldsRoundTripInByteOrder)
{
    uint8_t buf[8] = {};
    le::PutI16(buf, -2);
    EXPECT_EQ(buf[0], 0xFE);
    EXPECT_EQ(buf[1], 0xFF);
    EXPECT_EQ(le::I16(buf), -2);
    le::PutI16(buf, 0x1234);
    EXPECT_EQ(buf[0], 0x34);
    EXPECT_EQ(le::I16(buf), 0x1234);

    le::PutI64(buf, -35000); // a fixed-point -3.5
    EXPECT_EQ(buf[0], 0x48);
    EXPECT_EQ(buf[1], 0x77);
    EXPECT_EQ(buf[7], 0xFF);
    EXPECT_EQ(le::I64(buf), -35000);

    le::PutI32(buf, 0x01020304);
    EXPECT_EQ(buf[0], 0x04);
    EXPECT_EQ(buf[3], 0x01);
    EXPECT_EQ(le::I32(buf), 0x01020304);
    le::PutI32(buf, -1);
    EXPECT_EQ(le::I32(buf), -1);

    le::PutF32(buf, -3.5f);
    EXPECT_EQ(buf[3], 0xC0); // sign and exponent in the last byte
    EXPECT_EQ(le::F32(buf), -3.5f);

    le::PutF64(buf, 45545.5);
    EXPECT_EQ(le::F64(buf), 45545.5);
    le::PutU8(buf, 200);
    EXPECT_EQ(le::U8(buf), 200);
}

// ---------------------------------------------------------------------------
// Whole-file writes

TEST(WriteFileAtomically, WritesAndReplaces)
{
    TempFolder folder;
    ASSERT_TRUE(WriteFileAtomically(folder / "a.txt", "first"));
    EXPECT_EQ(folder.Read("a.txt"), "first");
    ASSERT_TRUE(WriteFileAtomically(folder / "a.txt", std::string("x\0y", 3)));
    EXPECT_EQ(folder.Read("a.txt"), std::string("x\0y", 3));
    ASSERT_TRUE(WriteFileAtomically(folder / "a.txt", ""));
    EXPECT_EQ(folder.Read("a.txt"), "");
    // Nothing but the file is left in the folder.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.Path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(WriteFileAtomically, AFolderInTheWayIsLeftAlone)
{
    TempFolder folder;
    std::filesystem::create_directory(folder / "target");
    folder.Write("target/inside.txt", "keep");
    EXPECT_FALSE(WriteFileAtomically(folder / "target", "new"));
    EXPECT_EQ(folder.Read("target/inside.txt"), "keep");
    EXPECT_FALSE(std::filesystem::exists(folder / "target.tmp~"));
}

TEST(WriteFileAtomically, AFailedWriteLeavesTheOldFileWhole)
{
    TempFolder folder;
    // A missing folder is not created.
    EXPECT_FALSE(WriteFileAtomically(folder / "none" / "a.txt", "new"));
    EXPECT_FALSE(std::filesystem::exists(folder / "none"));
}

// Only a plain file is replaced, and only through a temporary of the writer's own: whatever
// stands at the name a temporary once had (left by a crash, or by another user of a shared
// folder) is never written through or taken over, and a target that is no plain file, or
// leads to none, is refused with what it is.
TEST(WriteFileAtomically, NothingItDidNotMakeIsWrittenThroughOrTakenOver)
{
    namespace fs = std::filesystem;
    enum Kind { None, File, LinkToOther, OthersFile, Folder, Pipe, LinkToNull };
    const struct {
        Kind target, leftover; // at a.txt and at a.txt.tmp~
        const char* reason;    // why the write is refused
    } rows[] = {
        {File, LinkToOther, ""}, {File, OthersFile, ""}, {File, Folder, ""}, {File, Pipe, ""},
        {Pipe, None, "it is a named pipe, not a plain file"},
        {LinkToNull, None, "it leads to /dev/null, a device, not a plain file"},
    };
    const auto lstatOf = [](const fs::path& at) {
        struct stat s {};
        ::lstat(at.c_str(), &s);
        return s;
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.target) + " " + std::to_string(row.leftover));
        TempFolder folder;
        folder.Write("victim.txt", "another file");
        for (const auto& [kind, at] : {std::pair{row.target, folder / "a.txt"}, std::pair{row.leftover, folder / "a.txt.tmp~"}}) {
            if (kind == File || kind == OthersFile) {
                folder.Write(at.filename().string(), kind == File ? "old" : "theirs");
                ASSERT_EQ(::chmod(at.c_str(), kind == File ? 0600 : 0666) +
                              ::chown(at.c_str(), kind == File || ::geteuid() != 0 ? ::geteuid() : 1, ::getegid()), 0);
            } else if (kind == LinkToOther || kind == LinkToNull) {
                fs::create_symlink(kind == LinkToNull ? fs::path("/dev/null") : folder / "victim.txt", at);
            } else if (kind != None) {
                ASSERT_EQ(kind == Folder ? ::mkdir(at.c_str(), 0755) : ::mkfifo(at.c_str(), 0666), 0);
            }
        }
        const struct stat target = lstatOf(folder / "a.txt"), leftover = lstatOf(folder / "a.txt.tmp~");
        std::string reason;
        EXPECT_EQ(WriteFileAtomically(folder / "a.txt", "new", reason), !*row.reason);
        EXPECT_EQ(reason, row.reason);
        EXPECT_EQ(lstatOf(folder / "a.txt").st_mode, target.st_mode);
        if (!*row.reason) {
            EXPECT_EQ(folder.Read("a.txt"), "new");
        }
        EXPECT_EQ(lstatOf(folder / "a.txt.tmp~").st_ino, leftover.st_ino);
        EXPECT_EQ(folder.Read("victim.txt"), "another file");
        if (row.leftover == OthersFile) {
            EXPECT_EQ(folder.Read("a.txt.tmp~"), "theirs");
        }
        EXPECT_TRUE(S_ISCHR(lstatOf("/dev/null").st_mode));
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()),
                  2 + (row.leftover != None));
    }
}

// A file replaced whole is treated as a write in place would treat it, for the user running
// the program: one it may not write is refused and left as it was, a replaced file keeps its
// permission bits, owner and group, a link is written through to the file it names (in another
// folder) and stays a link, and a file in a folder that takes no new file is written in place.
TEST(WriteFileAtomically, AReplacedFileIsTreatedAsAWriteInPlaceWould)
{
    namespace fs = std::filesystem;
    const bool superuser = ::geteuid() == 0;
    // A group the file can be given that is not the one a new file gets by itself.
    gid_t otherGroup = ::getegid();
    if (superuser) {
        otherGroup = 1;
    } else {
        std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
        groups.resize(static_cast<std::size_t>(std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
        for (gid_t g : groups)
            if (g != ::getegid())
                otherGroup = g;
    }
    struct Row {
        const char* what;
        const char* written;   // the path the write is given
        const char* file;      // the file that path names
        unsigned mode;         // the file's permission bits
        bool ownedElsewhere;   // owner and group set apart from the writer's own, where it may
        bool folderReadOnly;   // the file's folder takes no new file
        bool diskFull;         // the disk fills up part way through the new bytes
        const char* reason;    // why it is refused; empty when written
        bool sticky = false;   // a folder all may write with its sticky bit, the file another user's
    };
    const Row rows[] = {
        {"read-only file", "a.txt", "a.txt", 0444, false, false, false, "permission denied"},
        {"mode 600", "a.txt", "a.txt", 0600, false, false, false, ""},
        {"mode 664", "a.txt", "a.txt", 0664, false, false, false, ""},
        {"mode 755", "a.txt", "a.txt", 0755, false, false, false, ""},
        {"mode 640, owner and group", "a.txt", "a.txt", 0640, true, false, false, ""},
        {"link to a file in another folder", "a.txt", "other/real.txt", 0640, false, false, false, ""},
        {"link to a read-only file", "a.txt", "other/real.txt", 0444, false, false, false, "permission denied"},
        {"writable file in a folder that takes no new file", "shared/a.txt", "shared/a.txt", 0666, false, true,
         false, ""},
        {"the same, the disk full part way", "shared/a.txt", "shared/a.txt", 0666, false, true, true,
         "the disk is full"},
        {"another user's writable file in a sticky shared folder", "shared/a.txt", "shared/a.txt", 0666, true,
         false, false, "", true},
    };
    const std::string before = "old contents\r\n";
    const std::string after = "new contents, longer than the old\r\n";
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempFolder folder;
        const fs::path written = folder / row.written;
        const fs::path file = folder / row.file;
        folder.Write(row.file, before);
        if (std::string(row.written) != row.file)
            fs::create_symlink(fs::relative(file, written.parent_path()), written);
        ASSERT_EQ(::chmod(file.c_str(), row.mode), 0);
        const uid_t owner = row.ownedElsewhere && superuser ? 1 : ::geteuid();
        const gid_t group = row.ownedElsewhere ? otherGroup : ::getegid();
        ASSERT_EQ(::chown(file.c_str(), owner, group), 0);
        if (row.folderReadOnly || row.sticky) {
            ASSERT_EQ(::chmod(file.parent_path().c_str(), row.sticky ? 01777 : 0555), 0);
        }
        struct stat old {};
        ASSERT_EQ(::stat(file.c_str(), &old), 0);

        bool ok = false;
        std::string reason;
        std::string described;
        {
            // Whatever the user running the tests, the modes decide, as for any user; a file
            // owned by another is the superuser's, who alone may give the new file that owner.
            std::optional<PermissionOverrideDropped> asAnyUser;
            if (!row.ownedElsewhere || row.sticky)
                asAnyUser.emplace(row.sticky);
            if (*row.reason && !row.diskFull) {
                ASSERT_LT(::open(file.c_str(), O_WRONLY), 0) << "the file must refuse a write in place";
            }
            std::optional<WriteFault> full;
            if (row.diskFull)
                full.emplace(10, written);
            AtomicFileWrite write(written);
            ok = write.Write(after) && write.Commit();
            reason = write.Reason();
            described = write.Describe();
        }
        if (row.folderReadOnly) {
            ASSERT_EQ(::chmod(file.parent_path().c_str(), 0755), 0);
        }

        EXPECT_EQ(ok, !*row.reason);
        EXPECT_EQ(reason, row.reason);
        if (*row.reason) {
            EXPECT_EQ(described, written.string() + " could not be written: " + row.reason + ".");
        }
        EXPECT_EQ(ReadFile(file), *row.reason ? before : after);
        struct stat now {};
        ASSERT_EQ(::stat(file.c_str(), &now), 0);
        EXPECT_EQ(now.st_mode & 07777, row.mode);
        EXPECT_EQ(now.st_uid, owner);
        EXPECT_EQ(now.st_gid, group);
        if (*row.reason || row.folderReadOnly || (row.sticky && superuser)) {
            EXPECT_EQ(now.st_ino, old.st_ino) << "the file itself, not one put in its place";
        }
        if (std::string(row.written) != row.file) {
            EXPECT_TRUE(fs::is_symlink(written));
            std::error_code ec;
            EXPECT_EQ(fs::read_symlink(written, ec), fs::relative(file, written.parent_path()));
        }
        for (const auto& entry : fs::recursive_directory_iterator(folder.Path()))
            EXPECT_EQ(entry.path().string().find(".tmp~"), std::string::npos) << entry.path().string();
    }
}

// Each of `writes` written `times` over to shared/a.txt by a child process of its own, all at
// once, each killed at its write step `killAt` (0: never), in place when the folder takes no
// new file (as a user who is no superuser meets it): how the first that did not exit 0 ended
// (its exit status, or minus the signal that ended it), or 0.
int WriteInChildren(const TempFolder& folder, bool inPlace, const std::vector<std::string>& writes, int killAt,
                    int times = 1)
{
    ::chmod((folder / "shared").c_str(), inPlace ? 0555 : 0755);
    std::vector<pid_t> children;
    for (const std::string& bytes : writes)
        if (children.emplace_back(::fork()) == 0) {
            PermissionOverrideDropped asAnyUser;
            WriteKill kill(killAt);
            bool ok = true;
            for (int i = 0; i < times; ++i)
                ok = WriteFileAtomically(folder / "shared/a.txt", bytes) && ok;
            ::_exit(ok ? 0 : 1);
        }
    int ended = 0;
    for (const pid_t child : children) {
        int status = 0;
        ::waitpid(child, &status, 0);
        ended = ended ? ended : WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
    }
    ::chmod((folder / "shared").c_str(), 0755);
    return ended;
}

// Two instances saving one file at the same moment: each is told its saves went through, and
// the file is one of the two, whole, never a mix or empty.
TEST(WriteFileAtomically, TwoWritersAtOnceLeaveOneWholeFile)
{
    for (const bool inPlace : {false, true}) {
        SCOPED_TRACE(inPlace);
        TempFolder folder;
        const std::string first(300000, 'a'), second(200000, 'b');
        folder.Write("shared/a.txt", "old");
        EXPECT_EQ(WriteInChildren(folder, inPlace, {first, second}, 0, 20), 0);
        const std::string now = folder.Read("shared/a.txt");
        EXPECT_TRUE(now == first || now == second) << now.size();
    }
}

// A write killed at any of its steps leaves the old file or the new one; a write in place
// killed half way leaves one the next start names once and puts back as it was.
TEST(WriteFileAtomically, AWriteKilledAtAnyStepLeavesTheOldFileTheNewOrOneTheStartPutsBack)
{
    const std::string before = "old contents, longer than what follows\r\n";
    for (const auto& [inPlace, after] :
         {std::pair{false, std::string("new")}, std::pair{true, std::string("new")}, std::pair{true, "new " + before}}) {
        int cut = 0, step = 1;
        for (int ended = 1; ended != 0; ++step) {
            SCOPED_TRACE(std::to_string(inPlace) + after + std::to_string(step));
            ASSERT_LT(step, 20);
            TempFolder folder;
            folder.Write("shared/a.txt", before);
            ended = WriteInChildren(folder, inPlace, {after}, step);
            const std::string left = folder.Read("shared/a.txt");
            ScriptedMessages& messages = InstallScriptedMessages();
            PutBackUnfinishedWrites();
            PutBackUnfinishedWrites();
            std::error_code ec;
            EXPECT_TRUE(std::filesystem::is_empty(UnfinishedWritesFolder(), ec) || ec);
            EXPECT_EQ(messages.shown.size(), left == before || left == after ? 0u : 1u);
            EXPECT_EQ(folder.Read("shared/a.txt"), left == after ? after : before);
            ASSERT_TRUE(ended == 0 || ended == -SIGKILL) << ended;
            if (left != before && left != after && ++cut == 1) {
                EXPECT_EQ(messages.shown.at(0).text, (folder / "shared/a.txt").string() +
                                                         " was being saved when the program last stopped, and the save "
                                                         "was cut short. It is put back as it was before that save.");
            }
        }
        EXPECT_GT(step, inPlace ? 8 : 5);
        EXPECT_EQ(cut > 0, inPlace) << "a renamed file is never cut, one written in place is half way";
    }
}

// A disk that fails part way, at the first byte, inside the data and at the last byte: the old
// file stays whole, no temporary is left, and the reason says the disk is full. Writes to
// other files go on.
TEST(WriteFileAtomically, ADiskFailingPartWayLeavesTheOldFileWhole)
{
    const std::string replacement(5000, 'n');
    for (std::uintmax_t after : {std::uintmax_t{0}, std::uintmax_t{1}, std::uintmax_t{4096}, std::uintmax_t{4999}}) {
        SCOPED_TRACE(after);
        TempFolder folder;
        folder.Write("a.txt", "old contents");
        std::string reason;
        {
            WriteFault fault(after, folder / "a.txt");
            EXPECT_FALSE(WriteFileAtomically(folder / "a.txt", replacement, reason));
            EXPECT_TRUE(WriteFileAtomically(folder / "b.txt", replacement));
        }
        EXPECT_EQ(reason, "the disk is full");
        EXPECT_EQ(folder.Read("a.txt"), "old contents");
        EXPECT_FALSE(std::filesystem::exists(folder / "a.txt.tmp~"));
        EXPECT_EQ(folder.Read("b.txt"), replacement);
    }
    // With the fault gone the same write goes through.
    TempFolder folder;
    EXPECT_TRUE(WriteFileAtomically(folder / "a.txt", replacement));
    EXPECT_EQ(folder.Read("a.txt"), replacement);
}

// A disk that takes the writes and then fails to put them on the disk: a whole-file write
// fails and leaves the old file whole, a record put alone fails, and a batch of records put
// together names each file it wrote and how many records it put there.
TEST(WriteFault, AFailedWaitForTheDiskIsReportedByEveryWriter)
{
    TempFolder folder;
    folder.Write("a.txt", "old contents");
    folder.Write("data.bin", std::string(12, 'a'));
    folder.Write("other.bin", std::string(4, 'a'));
    const auto rec = Record(4, 'b');
    {
        WriteFault fault(WriteFault::AtSync);
        std::string reason;
        EXPECT_FALSE(WriteFileAtomically(folder / "a.txt", "new", reason));
        EXPECT_EQ(reason, ReasonOfError(EIO));
        EXPECT_EQ(folder.Read("a.txt"), "old contents");
        EXPECT_FALSE(std::filesystem::exists(folder / "a.txt.tmp~"));

        EXPECT_EQ(ErrorOf([&] {
                      RecordFile file(folder / "data.bin", 4, RecordFile::Mode::ReadWrite, FileKind::Season);
                      file.Put(1, rec.data());
                  }),
                  57);

        RecordSyncBatch batch;
        {
            RecordFile file(folder / "data.bin", 4, RecordFile::Mode::ReadWrite, FileKind::Season, &batch);
            file.Put(2, rec.data());
            file.Put(3, rec.data());
            RecordFile other(folder / "other.bin", 4, RecordFile::Mode::ReadWrite, FileKind::Season, &batch);
            other.Put(1, rec.data());
        }
        const auto failures = batch.Finish();
        ASSERT_EQ(failures.size(), 2u);
        EXPECT_EQ(failures[0].file, folder / "data.bin");
        EXPECT_EQ(failures[0].records, 2);
        EXPECT_EQ(failures[1].file, folder / "other.bin");
        EXPECT_EQ(failures[1].records, 1);
        EXPECT_EQ(RecordSyncBatch::Describe(failures),
                  (folder / "data.bin").string() + " could not be written to the disk: " + ReasonOfError(EIO) + ".\n" +
                      (folder / "other.bin").string() + " could not be written to the disk: " + ReasonOfError(EIO) + ".");
        EXPECT_TRUE(batch.Finish().empty()); // nothing is reported twice
    }
    // A sound disk: the batch reports nothing and the records are in place.
    RecordSyncBatch batch;
    {
        RecordFile file(folder / "data.bin", 4, RecordFile::Mode::ReadWrite, FileKind::Season, &batch);
        file.Put(1, Record(4, 'c').data());
    }
    EXPECT_TRUE(batch.Finish().empty());
    EXPECT_EQ(folder.Read("data.bin"), "ccccbbbbbbbb");
    EXPECT_TRUE(WriteFileAtomically(folder / "a.txt", "new"));
}

// A batch waits for the file at each path it wrote as the path holds it at the end: a file a
// whole-file write replaced meanwhile is never waited for, the records put since go into the
// new file and it is, and a file replaced after the batch's last put there is waited for as
// the path now holds it. A put opens its file anew each time, as a save of a week's lines does.
TEST(RecordSyncBatch, WaitsForTheFileNowAtEachPathItWrote)
{
    TempFolder folder;
    folder.Write("data.bin", std::string(8, 'a'));
    folder.Write("other.bin", std::string(4, 'a'));
    const auto put = [&](RecordSyncBatch& batch, const char* name, int32_t record, char fill) {
        RecordFile file(folder / name, 4, RecordFile::Mode::ReadWrite, FileKind::Season, &batch);
        file.Put(record, Record(4, fill).data());
    };
    const auto identity = [&](const char* name) {
        struct stat s {};
        EXPECT_EQ(::stat((folder / name).c_str(), &s), 0);
        return std::make_pair(static_cast<std::uintmax_t>(s.st_dev), static_cast<std::uintmax_t>(s.st_ino));
    };
    {
        RecordSyncBatch batch;
        BatchSyncLog log;
        put(batch, "data.bin", 1, 'b');
        put(batch, "other.bin", 1, 'b');
        ASSERT_TRUE(WriteFileAtomically(folder / "data.bin", std::string(8, 'c')));
        put(batch, "data.bin", 2, 'd');
        ASSERT_TRUE(WriteFileAtomically(folder / "other.bin", std::string(4, 'c')));
        EXPECT_TRUE(batch.Finish().empty());
        const auto synced = log.Files();
        ASSERT_EQ(synced.size(), 2u);
        EXPECT_EQ(synced[0].file, folder / "data.bin");
        EXPECT_EQ(std::make_pair(synced[0].device, synced[0].inode), identity("data.bin"));
        EXPECT_EQ(synced[1].file, folder / "other.bin");
        EXPECT_EQ(std::make_pair(synced[1].device, synced[1].inode), identity("other.bin"));
        EXPECT_EQ(folder.Read("data.bin"), "ccccdddd");
    }
    {
        // The new file's wait fails: named, with the records put in it (the one put in the file
        // it replaced is not among them).
        RecordSyncBatch batch;
        put(batch, "data.bin", 1, 'e');
        ASSERT_TRUE(WriteFileAtomically(folder / "data.bin", std::string(8, 'f')));
        put(batch, "data.bin", 2, 'g');
        put(batch, "data.bin", 1, 'g');
        WriteFault fault(WriteFault::AtSync, folder / "data.bin");
        const auto failures = batch.Finish();
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].file, folder / "data.bin");
        EXPECT_EQ(failures[0].records, 2);
        EXPECT_EQ(failures[0].reason, ReasonOfError(EIO));
    }
    {
        // A rewrite's own file, not written in place since, whose wait fails: named, with every
        // record put under the path (the rewrite holds them all), never with none.
        RecordSyncBatch batch;
        put(batch, "data.bin", 1, 'i');
        put(batch, "data.bin", 2, 'i');
        ASSERT_TRUE(WriteFileAtomically(folder / "data.bin", std::string(8, 'j')));
        WriteFault fault(WriteFault::AtSync, folder / "data.bin");
        const auto failures = batch.Finish();
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].file, folder / "data.bin");
        EXPECT_EQ(failures[0].records, 2);
        EXPECT_EQ(failures[0].reason, ReasonOfError(EIO));
    }
    {
        // A file gone from its path by the end cannot be put on the disk: named, with every
        // record put in it.
        RecordSyncBatch batch;
        put(batch, "other.bin", 1, 'h');
        put(batch, "other.bin", 2, 'h');
        std::filesystem::remove(folder / "other.bin");
        const auto failures = batch.Finish();
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(RecordSyncBatch::Describe(failures),
                  (folder / "other.bin").string() + " could not be written to the disk: the file is no longer there.");
        EXPECT_EQ(failures[0].records, 2);
    }
}

// A whole file reads the same into text and into a byte buffer, at every size around the
// system's read sizes.
TEST(ReadWholeFile, TextAndBytesHoldTheWholeFile)
{
    TempFolder folder;
    for (std::size_t size : {0u, 1u, 159u, 4095u, 4096u, 65536u, 65537u, 300000u}) {
        SCOPED_TRACE(size);
        std::string content(size, '\0');
        for (std::size_t i = 0; i < size; ++i)
            content[i] = static_cast<char>(i * 7 + i / 256);
        folder.Write("f.bin", content);
        std::string text, problem;
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(ReadWholeFile(folder / "f.bin", text, problem, FileKind::Season)) << problem;
        ASSERT_TRUE(ReadWholeFile(folder / "f.bin", bytes, problem, FileKind::Season)) << problem;
        EXPECT_EQ(text, content);
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), content);
    }
}

// ---------------------------------------------------------------------------
// Vexal.ini

TEST(IniFile, ReadsAKeyWithBlanks)
{
    TempFolder folder;
    folder.Write("Vexal.ini", "[Vexal]\r\nYear to Load=05\r\n");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini"), "05");
    // Names match without regard to case; blanks around names and values go.
    folder.Write("Vexal.ini", "[ vexal ]\r\n  YEAR TO LOAD  =  7  \r\n");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini"), "7");
}

TEST(IniFile, MissingFileSectionOrKeyGivesTheDefault)
{
    TempFolder folder;
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini"), "02");
    folder.Write("Vexal.ini", "[Other]\r\nYear to Load=09\r\n");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini"), "02");
    folder.Write("Vexal.ini", "[Vexal]\r\nYear to Loa=09\r\nYearToLoad=08\r\n");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini"), "02");
    // A key with an empty value is there: it gives the empty text, not the default.
    folder.Write("Vexal.ini", "[Vexal]\r\nYear to Load=\r\n");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini"), "");
}

TEST(IniFile, ValueIsCutToTheBufferLessOne)
{
    TempFolder folder;
    folder.Write("Vexal.ini", "[Vexal]\r\nYear to Load=123\r\n");
    // A buffer of three holds two characters and the terminating zero: "123" reads as "12".
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini", 3), "12");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini", 2), "1");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini", 1), "");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini", 0), "");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini"), "123");
    // The default is cut the same way.
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Missing", "0234", folder / "Vexal.ini", 3), "02");
}

TEST(IniFile, OnlyTheFirstSectionOfANameCounts)
{
    TempFolder folder;
    folder.Write("Vexal.ini", "[Vexal]\r\nA=1\r\n[Other]\r\nB=2\r\n[Vexal]\r\nB=3\r\n");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "A", "", folder / "Vexal.ini"), "1");
    EXPECT_EQ(GetPrivateProfileString("Other", "B", "", folder / "Vexal.ini"), "2");
}

TEST(IniFile, ReadsLineFeedOnlyFilesQuotesAndComments)
{
    TempFolder folder;
    folder.Write("Vexal.ini", "; comment=1\n[Vexal]\n;Year to Load=9\nYear to Load=\"04\"\n");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini"), "04");
}

TEST(IniFile, CorruptFileFallsBackToTheDefault)
{
    TempFolder folder;
    static const char junk[] = "\0\xFF\xFE[Vex\0al\r\n=\r\n[[]\r\n\x80\x81=";
    folder.Write("Vexal.ini", std::string(junk, sizeof junk - 1));
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini"), "02");
    std::filesystem::remove(folder / "Vexal.ini");
    std::filesystem::create_directory(folder / "Vexal.ini");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini"), "02");
    EXPECT_FALSE(WritePrivateProfileString("Vexal", "Year to Load", "3", folder / "Vexal.ini"));
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Vexal.ini"));
}

// A profile as an editor saves it, with no line end after its last line, is read whole and
// takes writes, and no message names it: a rewrite keeps every line as it was written and ends
// each with CR LF, so a key added after that last line starts a line of its own. A byte no text
// holds or a line of no shape still makes the file damaged: its default is read, a write is
// refused and the file is named once.
TEST(IniFile, ALastLineWithoutALineEndIsSoundOnlyBytesOrLinesNoTextHoldsAreDamage)
{
    struct Row {
        const char* name;
        std::string text;
        const char* read;  // "Year to Load", default 02
        const char* key;   // written into [Vexal] with the value 3, or into [New] with v for "New"
        const char* written; // the file after the write; nullptr: refused, and the file is as it was
    };
    const Row rows[] = {
        {"the formula editor's key", "[Vexal]\r\nYear to Load=05", "05", "Year to Load", "[Vexal]\r\nYear to Load=3\r\n"},
        {"a key after the last line", "[Vexal]\r\nYear to Load=05", "05", "Other", "[Vexal]\r\nYear to Load=05\r\nOther=3\r\n"},
        {"a new section", "[Vexal]\r\nYear to Load=05", "05", "New", "[Vexal]\r\nYear to Load=05\r\n[New]\r\nK=v\r\n"},
        {"a comment last", "[Vexal]\nYear to Load=05\n; mine", "05", "Other",
         "[Vexal]\r\nYear to Load=05\r\n; mine\r\nOther=3\r\n"},
        {"an empty value last", "[Vexal]\r\nYear to Load=", "", "Other", "[Vexal]\r\nYear to Load=\r\nOther=3\r\n"},
        {"a carriage return last", "[Vexal]\r\nYear to Load=05\r", "05", "Other",
         "[Vexal]\r\nYear to Load=05\r\nOther=3\r\n"},
        {"a UTF-8 mark", "\xEF\xBB\xBF[Vexal]\r\nYear to Load=05", "05", "Other",
         "\xEF\xBB\xBF[Vexal]\r\nYear to Load=05\r\nOther=3\r\n"},
        {"a line of no shape last", "[Vexal]\r\nYear to Lo", "02", "Year to Load", nullptr},
        {"a zero byte last", std::string("[Vexal]\r\nYear to Load=05") + '\0', "02", "Year to Load", nullptr},
        {"a control byte", "[Vexal]\r\nYear to Load=0\x01" "5", "02", "Year to Load", nullptr},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TempFolder folder;
        const auto ini = folder / "Vexal.ini";
        folder.Write("Vexal.ini", row.text);
        ScriptedMessages& messages = InstallScriptedMessages();
        EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", ini), row.read);
        const bool newSection = std::string(row.key) == "New";
        const bool wrote = newSection ? WritePrivateProfileString("New", "K", "v", ini)
                                      : WritePrivateProfileString("Vexal", row.key, "3", ini);
        EXPECT_EQ(wrote, row.written != nullptr);
        EXPECT_EQ(folder.Read("Vexal.ini"), row.written ? std::string(row.written) : row.text);
        if (!row.written) {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text.rfind(ini.string() + " is damaged: ", 0), 0u) << messages.shown[0].text;
            continue;
        }
        EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
        // The file reads back right.
        EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", ini), std::string(row.key) == "Year to Load" ? "3" : row.read);
        if (newSection) {
            EXPECT_EQ(GetPrivateProfileString("New", "K", "", ini), "v");
        } else if (std::string(row.key) == "Other") {
            EXPECT_EQ(GetPrivateProfileString("Vexal", "Other", "", ini), "3");
        }
    }
}

// Every reader of a file the user can damage goes through one check: a folder, a pipe, a
// link to a device, an unreadable file or one far over its kind's limit is refused at once
// (nothing waits on the pipe, nothing of the gigabyte is read), in words naming the file;
// a profile file so damaged is named once however often it is read, and nothing is changed.
TEST(DamagedFiles, AreRefusedAtOnceInWordsNamingTheFile)
{
    struct Case {
        const char* damage;
        std::function<void(const std::filesystem::path&)> make;
        const char* words;
    };
    std::unique_ptr<ReadFault> fault;
    const std::vector<Case> cases = {
        {"folder", [](const auto& p) { std::filesystem::create_directory(p); }, "is a folder, not a file."},
        {"pipe", [](const auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, "is not a plain file."},
        {"link to /dev/zero", [](const auto& p) { std::filesystem::create_symlink("/dev/zero", p); }, "is not a plain file."},
        {"unreadable", [&](const auto& p) { std::ofstream(p) << "x"; fault = std::make_unique<ReadFault>(p); },
         "could not be read: permission denied."},
        {"1 GiB", [](const auto& p) { std::ofstream(p) << "x"; std::filesystem::resize_file(p, 1ull << 30); },
         "holds 1073741824 bytes, more than a"},
    };
    for (const Case& c : cases) {
        for (FileKind kind : {FileKind::Season, FileKind::Line, FileKind::Formula, FileKind::Template,
                              FileKind::ProfileIni, FileKind::Settings, FileKind::StatFile, FileKind::Document}) {
            SCOPED_TRACE(std::string(c.damage) + " as a " + KindName(kind));
            TempFolder folder;
            const auto file = folder / "damaged";
            c.make(file);
            std::string bytes, problem, asBytes;
            EXPECT_FALSE(ReadWholeFile(file, bytes, problem, kind));
            EXPECT_EQ(problem.rfind(file.string() + " ", 0), 0u) << problem;
            EXPECT_NE(problem.find(c.words), std::string::npos) << problem;
            EXPECT_TRUE(bytes.empty());
            std::vector<uint8_t> raw;
            EXPECT_FALSE(ReadWholeFile(file, raw, asBytes, kind));
            EXPECT_EQ(asBytes, problem);
            EXPECT_TRUE(raw.empty());
            for (auto mode : {RecordFile::Mode::ReadOnly, RecordFile::Mode::ReadWrite}) {
                try {
                    RecordFile records(file, 21, mode, kind);
                    ADD_FAILURE() << "opened";
                } catch (const VbError& e) {
                    EXPECT_EQ(e.Number(), VbError::PathFileAccess);
                    EXPECT_EQ(e.Description(), problem);
                }
            }
            fault.reset();
        }
        TempFolder folder;
        const auto ini = folder / "Vexal.ini";
        c.make(ini);
        struct stat before {};
        ASSERT_EQ(::lstat(ini.c_str(), &before), 0);
        ScriptedMessages& messages = InstallScriptedMessages();
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", ini), "02");
        EXPECT_FALSE(WritePrivateProfileString("Vexal", "Year to Load", "3", ini));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text.rfind(ini.string() + " ", 0), 0u) << messages.shown[0].text;
        struct stat after {};
        ASSERT_EQ(::lstat(ini.c_str(), &after), 0);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(after.st_size, before.st_size);
        EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        fault.reset();
    }
}

// A file that opens but whose read fails part-way, as on a failing disk, is refused whole by
// every reader of this layer, in words naming the file and the cause.
TEST(DamagedFiles, AReadThatFailsAfterTheOpenNamesTheFileAndTheCause)
{
    TempFolder folder;
    const auto file = folder / "2024.nfl";
    folder.Write("2024.nfl", std::string(159 * 3, 'x'));
    const std::string words = file.string() + " could not be read: the disk reported an input/output error.";
    for (std::uintmax_t readable : {std::uintmax_t{0}, std::uintmax_t{200}}) {
        SCOPED_TRACE(readable);
        const ReadErrorFault fault(file, readable);
        std::string bytes, problem;
        EXPECT_FALSE(ReadWholeFile(file, bytes, problem, FileKind::Season));
        EXPECT_EQ(problem, words);
        EXPECT_TRUE(bytes.empty());
        RecordFile records(file, 159, RecordFile::Mode::ReadOnly, FileKind::Season);
        EXPECT_EQ(records.RecordCount(), 3);
        if (readable >= 159) {
            EXPECT_NO_THROW(records.Get(1));
        }
        try {
            records.Get(2);
            ADD_FAILURE() << "read";
        } catch (const VbError& e) {
            EXPECT_EQ(e.Number(), 57);
            EXPECT_EQ(e.Description(), words);
        }
    }
    std::string bytes, problem;
    EXPECT_TRUE(ReadWholeFile(file, bytes, problem, FileKind::Season)) << problem;
    EXPECT_EQ(bytes.size(), 159u * 3);
}

// A limit is far above every real file of its kind, and a file at it reads whole.
TEST(DamagedFiles, AFileAtItsKindsLimitStillReads)
{
    TempFolder folder;
    const auto file = folder / "2024.nfl";
    std::ofstream(file) << "x";
    std::filesystem::resize_file(file, SizeLimit(FileKind::Season));
    std::string bytes, problem;
    EXPECT_TRUE(ReadWholeFile(file, bytes, problem, FileKind::Season)) << problem;
    EXPECT_EQ(bytes.size(), SizeLimit(FileKind::Season));
    EXPECT_GE(SizeLimit(FileKind::Season), 1000u * 159u);
    for (FileKind kind : {FileKind::Line, FileKind::Formula, FileKind::Template, FileKind::ProfileIni,
                          FileKind::Settings, FileKind::StatFile})
        EXPECT_GE(SizeLimit(kind), 256u * 1024u) << KindName(kind);
}

TEST(IniFile, WriteCreatesTheFileWithCrLf)
{
    TempFolder folder;
    ASSERT_TRUE(WritePrivateProfileString("Vexal", "Year to Load", "3", folder / "Vexal.ini"));
    EXPECT_EQ(folder.Read("Vexal.ini"), "[Vexal]\r\nYear to Load=3\r\n");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "02", folder / "Vexal.ini", 3), "3");
}

TEST(IniFile, WriteReplacesTheKeyAndKeepsEverythingElse)
{
    TempFolder folder;
    folder.Write("Vexal.ini",
                 "; settings\r\n[Other]\r\nYear to Load=99\r\n\r\n[Vexal]\r\nFirst=1\r\nyear to load=2\r\nLast=x\r\n");
    ASSERT_TRUE(WritePrivateProfileString("Vexal", "Year to Load", "5", folder / "Vexal.ini"));
    EXPECT_EQ(folder.Read("Vexal.ini"),
              "; settings\r\n[Other]\r\nYear to Load=99\r\n\r\n[Vexal]\r\nFirst=1\r\nyear to load=5\r\nLast=x\r\n");
}

TEST(IniFile, WriteAddsAMissingKeyAtTheEndOfItsSection)
{
    TempFolder folder;
    folder.Write("Vexal.ini", "[Vexal]\nA=1\n\n[Other]\nB=2\n");
    ASSERT_TRUE(WritePrivateProfileString("Vexal", "Year to Load", "4", folder / "Vexal.ini"));
    EXPECT_EQ(folder.Read("Vexal.ini"), "[Vexal]\r\nA=1\r\nYear to Load=4\r\n\r\n[Other]\r\nB=2\r\n");
    ASSERT_TRUE(WritePrivateProfileString("New", "K", "v", folder / "Vexal.ini"));
    EXPECT_EQ(GetPrivateProfileString("New", "K", "", folder / "Vexal.ini"), "v");
    EXPECT_EQ(GetPrivateProfileString("Other", "B", "", folder / "Vexal.ini"), "2");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "A", "", folder / "Vexal.ini"), "1");
}

TEST(IniFile, TextIsWindows1252OnDisk)
{
    TempFolder folder;
    ASSERT_TRUE(WritePrivateProfileString("Vexal", "Name", "caf\u00E9", folder / "Vexal.ini"));
    EXPECT_EQ(folder.Read("Vexal.ini"), "[Vexal]\r\nName=caf\xE9\r\n");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Name", "", folder / "Vexal.ini"), "caf\u00E9");
}

// A file an editor saved with a UTF-8 mark, then another added a Windows-1252 byte to: every
// character reads as it was written and survives a write of another key.
TEST(IniFile, AUtf8MarkedFileKeepsEveryCharacterThroughAWrite)
{
    TempFolder folder;
    folder.Write("Vexal.ini", "\xEF\xBB\xBF[Vexal]\r\nTeam=Caf\xE9\r\nCity=Z\xC3\xBCrich \xC5\x81\xC3\xB3" "d\xC5\xBA\r\n");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Team", "", folder / "Vexal.ini"), "Caf\u00E9");
    ASSERT_TRUE(WritePrivateProfileString("Vexal", "Year to Load", "4", folder / "Vexal.ini"));
    EXPECT_EQ(folder.Read("Vexal.ini"), "\xEF\xBB\xBF[Vexal]\r\nTeam=Caf\xC3\xA9\r\nCity=Z\xC3\xBCrich \xC5\x81\xC3\xB3" "d\xC5\xBA\r\n"
                                        "Year to Load=4\r\n");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Team", "", folder / "Vexal.ini"), "Caf\u00E9");
    EXPECT_EQ(GetPrivateProfileString("Vexal", "City", "", folder / "Vexal.ini"), "Z\u00FCrich \u0141\u00F3" "d\u017A");
}

// An entry the file's own reader would split, take for another line, or call damage (a
// control character: a byte no text holds) is refused at the write, with its reason, and the
// file stays as it was and reads as before.
TEST(IniFile, AWriteThatWouldBreakTheFileChangesNothing)
{
    struct Row {
        const char* name;
        std::string section, key, value;
        const char* reason; // a part of the reason given
    };
    const Row rows[] = {
        {"a line break in the value", "Vexal", "Year to Load", "3\r\n[Evil]", "line break"},
        {"an equals sign in the key", "Vexal", "A=B", "1", "name no profile entry"},
        {"no key", "Vexal", "", "1", "name no profile entry"},
        {"a bracket in the section", "Ve]xal", "K", "1", "name no profile entry"},
        {"a control byte in the value", "Vexal", "Year to Load", "3\x01", "control character"},
        {"a NUL in the value", "Vexal", "Year to Load", std::string("3\0" "4", 3), "control character"},
        {"a delete in the value", "Vexal", "Year to Load", "3\x7F", "control character"},
        {"an escape in the key", "Vexal", "Year\x1Bto", "3", "control character"},
        {"a control byte in the section", "Vex\x02" "al", "K", "3", "control character"},
    };
    TempFolder folder;
    const std::filesystem::path ini = folder / "Vexal.ini";
    folder.Write("Vexal.ini", "[Vexal]\r\nYear to Load=2\r\n");
    ScriptedMessages& messages = InstallScriptedMessages();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string reason;
        EXPECT_FALSE(WritePrivateProfileString(row.section, row.key, row.value, ini, reason));
        EXPECT_NE(reason.find(row.reason), std::string::npos) << reason;
        EXPECT_FALSE(WritePrivateProfileString(row.section, row.key, row.value, ini));
        EXPECT_EQ(folder.Read("Vexal.ini"), "[Vexal]\r\nYear to Load=2\r\n");
        EXPECT_EQ(GetPrivateProfileString("Vexal", "Year to Load", "", ini), "2");
    }
    EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
    // A tab is text: written and read back.
    ASSERT_TRUE(WritePrivateProfileString("Vexal", "Name", "a\tb", ini));
    EXPECT_EQ(GetPrivateProfileString("Vexal", "Name", "", ini), "a\tb");
    EXPECT_TRUE(messages.shown.empty()) << messages.shown[0].text;
}
