#include "app/session/recent_files.h"
#include "app/session/session_store.h"
#include "app/session/session_writer.h"
#include "app/session/user_folders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using List = std::vector<std::string>;

std::string readText(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

bool exists(const std::string& path)
{
    return !path.empty() && std::filesystem::exists(path);
}

// A folder of the test's own, with the XDG variables pointing into it.
class UserFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = ::testing::TempDir() + "graphonite-session-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        setenv("XDG_STATE_HOME", (m_root + "/state").c_str(), 1);
        setenv("XDG_CONFIG_HOME", (m_root + "/config").c_str(), 1);
    }
    void TearDown() override { std::filesystem::remove_all(m_root); }

    std::string file(const std::string& name)
    {
        const std::string path = m_root + "/" + name;
        writeText(path, "x");
        return path;
    }

    std::string m_root;
};

TEST(RecentFiles, TheListKeepsEightDistinctAbsolutePathsMostRecentFirst)
{
    struct Case {
        List before;
        std::string path;
        List after;
    };
    const List eight { "/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8" };
    const Case cases[] = {
        { {}, "/a.png", { "/a.png" } },
        { { "/a.png" }, "/b.png", { "/b.png", "/a.png" } },
        { { "/a.png", "/b.png", "/c.png" }, "/c.png", { "/c.png", "/a.png", "/b.png" } },
        { eight, "/9", { "/9", "/1", "/2", "/3", "/4", "/5", "/6", "/7" } },
        { eight, "/5", { "/5", "/1", "/2", "/3", "/4", "/6", "/7", "/8" } },
        { { "/a.png" }, "", { "/a.png" } },
        { { "/a.png" }, "relative.png", { "/a.png" } },
        { { "/a.png" }, "/line\nbreak.png", { "/a.png" } },
        { { "/a.png" }, "/carriage\rreturn.png", { "/a.png" } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(withRecentFile(c.before, c.path), c.after) << c.path;
}

TEST(RecentFiles, TheFileTextReadsBackAndForeignLinesAreSkipped)
{
    const List list { "/home/u/chart.png", "/home/u/Grafik \xC3\xA4.graphonite" };
    EXPECT_EQ(parseRecentFiles(recentFilesText(list)), list);
    EXPECT_EQ(parseRecentFiles(""), List {});
    EXPECT_EQ(parseRecentFiles("/a\n\nrelative\n/a\n/b"), (List { "/a", "/b" })) << "no line feed at the end";
    EXPECT_EQ(parseRecentFiles("/a\r\n/b\n"), (List { "/b" })) << "a CR belongs to no stored path";
    std::string many;
    for (int i = 0; i < 20; ++i)
        many += "/" + std::to_string(i) + "\n";
    EXPECT_EQ(parseRecentFiles(many).size(), MAX_RECENT_FILES);
    EXPECT_EQ(existingRecentFiles({ "/a", "/b", "/c" }, [](const std::string& p) { return p != "/b"; }),
        (List { "/a", "/c" }));
}

TEST(UserFolderRules, VariablesThenHomeAndRelativeValuesIgnored)
{
    struct Case {
        const char* xdg;
        const char* home;
        std::string folder;
    };
    const Case cases[] = {
        { "/x/state", "/home/u", "/x/state/graphonite" },
        { nullptr, "/home/u", "/home/u/.local/state/graphonite" },
        { "", "/home/u", "/home/u/.local/state/graphonite" },
        { "relative/state", "/home/u", "/home/u/.local/state/graphonite" },
        { nullptr, nullptr, "" },
        { nullptr, "relative", "" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(programFolder(c.xdg, c.home, ".local/state"), c.folder)
            << (c.xdg ? c.xdg : "unset") << " " << (c.home ? c.home : "unset");
}

TEST_F(UserFolders, RecentFilesAreStoredInTheConfigFolderAndMissingOnesDropped)
{
    const std::string a = file("a.png");
    const std::string b = file("b.graphonite");
    EXPECT_EQ(rememberRecentFile(a), "");
    EXPECT_EQ(rememberRecentFile(b), "");
    EXPECT_EQ(loadRecentFiles(), (List { b, a }));
    EXPECT_EQ(readText(m_root + "/config/graphonite/recent"), b + "\n" + a + "\n");

    std::filesystem::remove(b);
    EXPECT_EQ(loadRecentFiles(), (List { a }));
    EXPECT_EQ(forgetRecentFile(a), "");
    EXPECT_EQ(loadRecentFiles(), List {});
    EXPECT_NE(rememberRecentFile("/line\nbreak"), "");

    setenv("XDG_CONFIG_HOME", (a + "/below-a-file").c_str(), 1);
    EXPECT_NE(rememberRecentFile(a), "") << "a folder that cannot be made is reported";
}

// A session store in a child process that ends without cleaning up, as a crash does; its work
// file holds text. The child waits for a byte on the pipe first when keepRunning.
pid_t sessionInChild(const std::string& folder, const std::string& text, int waitFd = -1)
{
    const pid_t child = ::fork();
    if (child == 0) {
        SessionStore store(folder);
        if (!store.create().empty())
            ::_exit(1);
        if (!text.empty())
            writeText(store.workPath(), text);
        if (waitFd >= 0) {
            char byte = 0;
            (void)!::read(waitFd, &byte, 1);
        }
        ::_exit(0);
    }
    return child;
}

int waitForChild(pid_t child)
{
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST_F(UserFolders, ADeadProgramsSessionIsFoundAndALiveOneLeftAlone)
{
    const std::string folder = stateFolder();
    ASSERT_EQ(waitForChild(sessionInChild(folder, "dead work")), 0);

    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t live = sessionInChild(folder, "live work", pipeEnds[0]);
    // A failed expectation below must not leave the child waiting for ever.
    struct ChildEnd {
        ChildEnd(int writeEnd, pid_t child)
            : writeEnd(writeEnd)
            , child(child)
        {
        }
        ChildEnd(const ChildEnd&) = delete;
        int writeEnd;
        pid_t child;
        ~ChildEnd()
        {
            (void)!::write(writeEnd, "x", 1);
            ::waitpid(child, nullptr, 0);
        }
    };
    std::optional<ChildEnd> childEnd;
    childEnd.emplace(pipeEnds[1], live);
    // The live child has its lock once its session file is there.
    for (int i = 0; i < 500 && std::distance(std::filesystem::directory_iterator(folder), {}) < 4; ++i)
        ::usleep(10000);

    SessionStore store(folder);
    ASSERT_EQ(store.create(), "");
    std::vector<StaleSession> stale = store.findStaleSessions();
    ASSERT_EQ(stale.size(), 1u) << "the live program's session is not offered, ours neither";
    EXPECT_EQ(readText(stale[0].workPath), "dead work");

    // While this store holds the claim, a second start does not offer it again.
    SessionStore second(folder);
    ASSERT_EQ(second.create(), "");
    EXPECT_TRUE(second.findStaleSessions().empty());

    childEnd.reset();
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    const std::string deadWork = stale[0].workPath;
    store.keepAside(std::move(stale[0]));
    std::vector<StaleSession> now = second.findStaleSessions();
    ASSERT_EQ(now.size(), 1u) << "the live program has ended since";
    EXPECT_EQ(readText(now[0].workPath), "live work");
    now.clear();

    store.removeSessions();
    EXPECT_FALSE(exists(deadWork)) << "a clean end removes what was kept aside";
}

TEST_F(UserFolders, WorkKeptAsideIsOfferedAgainWhenItsKeeperEndsWithoutCleaningUp)
{
    const std::string folder = stateFolder();
    ASSERT_EQ(waitForChild(sessionInChild(folder, "dead work")), 0);
    {
        SessionStore keeper(folder);
        ASSERT_EQ(keeper.create(), "");
        std::vector<StaleSession> stale = keeper.findStaleSessions();
        ASSERT_EQ(stale.size(), 1u);
        keeper.keepAside(std::move(stale[0]));
        writeText(keeper.workPath(), "the keeper's own work");
    }
    SessionStore next(folder);
    ASSERT_EQ(next.create(), "");
    std::vector<StaleSession> stale = next.findStaleSessions();
    ASSERT_EQ(stale.size(), 2u);
    std::vector<std::string> works { readText(stale[0].workPath), readText(stale[1].workPath) };
    std::sort(works.begin(), works.end());
    EXPECT_EQ(works, (List { "dead work", "the keeper's own work" }));
}

TEST_F(UserFolders, AdoptedSessionsBecomeOursAndSessionsWithoutWorkAreCleanedUp)
{
    const std::string folder = stateFolder();
    ASSERT_EQ(waitForChild(sessionInChild(folder, "")), 0);
    ASSERT_EQ(waitForChild(sessionInChild(folder, "old work")), 0);
    ASSERT_EQ(waitForChild(sessionInChild(folder, "garbage")), 0);

    SessionStore store(folder);
    ASSERT_EQ(store.create(), "");
    const std::string fresh = store.workPath();
    writeText(fresh, "ours");
    std::vector<StaleSession> stale = store.findStaleSessions();
    ASSERT_EQ(stale.size(), 2u) << "the session without work is gone";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 6)
        << "three locks (ours, two claimed) and three works";

    StaleSession& unreadable = readText(stale[0].workPath) == "garbage" ? stale[0] : stale[1];
    StaleSession& old = readText(stale[0].workPath) == "garbage" ? stale[1] : stale[0];
    const std::string garbagePath = unreadable.workPath;
    store.setUnreadableAside(std::move(unreadable));
    EXPECT_EQ(readText(garbagePath + ".unreadable"), "garbage");
    EXPECT_FALSE(exists(garbagePath));

    const std::string oldPath = old.workPath;
    store.adopt(std::move(old));
    EXPECT_EQ(store.workPath(), oldPath);
    EXPECT_FALSE(exists(fresh)) << "the session made at the start went";
    store.removeWork();
    EXPECT_FALSE(exists(oldPath));
    store.removeSessions();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1) << "only the unreadable one";
}

TEST_F(UserFolders, TheWriterWritesTheNewestTextAndReportsFailures)
{
    const std::string path = m_root + "/work";
    SessionWriter writer;
    EXPECT_TRUE(writer.flush()) << "nothing to wait for";
    EXPECT_EQ(writer.writtenStamp(), 0u);
    for (std::uint64_t i = 1; i <= 50; ++i)
        writer.submit(path, "text " + std::to_string(i), i);
    EXPECT_TRUE(writer.flush());
    EXPECT_EQ(readText(path), "text 50");
    EXPECT_EQ(writer.writtenStamp(), 50u);

    writer.submit(m_root + "/no/such/folder/work", "lost", 51);
    EXPECT_FALSE(writer.flush());
    EXPECT_NE(writer.lastFailure(), "");
    EXPECT_EQ(writer.writtenStamp(), 50u) << "a failed write does not count";

    writer.submit(path, "text 52", 52);
    writer.cancel();
    std::filesystem::remove(path);
    EXPECT_TRUE(writer.flush() || !writer.lastFailure().empty());
    if (exists(path)) {
        EXPECT_EQ(readText(path), "text 52") << "a write already running may finish, and nothing after it";
    }
}

// The text is made on the writer's thread; a maker that has nothing to write leaves the file as
// it was.
TEST_F(UserFolders, TheWriterMakesTheTextOnItsOwnThread)
{
    const std::string path = m_root + "/work";
    SessionWriter writer;
    std::thread::id madeOn;
    for (std::uint64_t i = 1; i <= 20; ++i)
        writer.submit(
            path,
            [&madeOn, i] {
                madeOn = std::this_thread::get_id();
                return "work " + std::to_string(i);
            },
            i);
    EXPECT_TRUE(writer.flush());
    EXPECT_EQ(readText(path), "work 20");
    EXPECT_EQ(writer.writtenStamp(), 20u);
    EXPECT_NE(madeOn, std::this_thread::get_id());

    writer.submit(
        path, [] { return std::string(); }, 21);
    EXPECT_TRUE(writer.flush());
    EXPECT_EQ(readText(path), "work 20");
    EXPECT_EQ(writer.writtenStamp(), 20u);
}

TEST_F(UserFolders, TheWriterFinishesItsTextBeforeItEnds)
{
    const std::string path = m_root + "/work";
    {
        SessionWriter writer;
        writer.submit(path, std::string(1 << 20, 'p'), 1);
    }
    EXPECT_EQ(readText(path).size(), 1u << 20);
}

} // namespace
