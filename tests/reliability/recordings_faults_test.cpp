// The recordings folder under a hostile neighbour and a careless player: nothing written through
// a planted link or into a neighbour's folder, no pipe waited on, none of the player's own files
// pruned, no recording lost to another copy of the game.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "play/replay_recorder.h"
#include "test_support/other_user.h"
#include "test_support/temp_dir.h"

namespace vexlorn {
namespace {

constexpr uid_t neighbour = 12346;
// 2026-12-10 14:00:00 UTC: any fixed second does.
constexpr int64_t roundStart = 1796911200;

std::vector<uint8_t> bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<uint8_t> recording(int n) {
    return std::vector<uint8_t>(64, static_cast<uint8_t>(n));
}

void plantFile(const std::string& path, uid_t owner, const char* text = "theirs") {
    std::ofstream(path) << text;
    ASSERT_EQ(::lchown(path.c_str(), owner, owner), 0);
}

// A file's time set as if written `secondsAgo` before now (negative: in the future).
void age(const std::string& path, long secondsAgo) {
    struct timeval now {};
    ::gettimeofday(&now, nullptr);
    struct timeval times[2] = {now, now};
    times[0].tv_sec -= secondsAgo;
    times[1].tv_sec -= secondsAgo;
    ASSERT_EQ(::utimes(path.c_str(), times), 0);
}

std::set<std::string> namesIn(const std::string& path) {
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(path, error)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

class RecordingsFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as the player and a neighbour";
        ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
        ASSERT_EQ(::mkdir(home().c_str(), 0755), 0);
        ASSERT_EQ(::chown(home().c_str(), nobodyId, nobodyId), 0);
        ASSERT_EQ(::mkdir(shared().c_str(), 01777), 0);
        ASSERT_EQ(::chmod(shared().c_str(), 01777), 0);
        dir.enter();
    }
    std::string home() const { return dir.path() + "/home"; }
    std::string shared() const { return dir.path() + "/shared"; }
    std::string replays(const std::string& in) const { return in + "/" + replayFolder; }

    // One recording kept by the player from `place`; its name, "" when none was kept. A child
    // that had to wait more than two seconds is stopped, and counts as a failure.
    static std::string keepAsPlayerIn(const std::string& place, int n = 1, int millisecond = 0) {
        int channel[2];
        if (::pipe(channel) != 0) return "<no pipe>";
        const bool ran = runAsOtherUser([&] {
            ::alarm(2);
            if (::chdir(place.c_str()) != 0) ::_exit(1);
            const std::string name = keepReplayFile(recording(n), roundStart, millisecond);
            if (::write(channel[1], name.data(), name.size()) < 0) ::_exit(1);
        });
        ::close(channel[1]);
        char buffer[256] = {};
        const ssize_t got = ::read(channel[0], buffer, sizeof buffer - 1);
        ::close(channel[0]);
        if (!ran) return "<no child>";
        return got > 0 ? std::string(buffer, static_cast<size_t>(got)) : "";
    }

    TempDir dir;
};

TEST_F(RecordingsFaultsTest, ANeighboursLinkOrFolderInASharedDirectoryIsNotEntered) {
    // A link to a folder of the player's, where the pruning would then delete.
    ASSERT_EQ(::mkdir((home() + "/work").c_str(), 0755), 0);
    ASSERT_EQ(::chown((home() + "/work").c_str(), nobodyId, nobodyId), 0);
    for (int n = 0; n < keptOrdinaryReplays + 2; ++n) {
        plantFile(home() + "/work/" + std::to_string(2000 + n) + "-01-01_00-00-00.vxr", nobodyId);
    }
    ASSERT_EQ(::symlink((home() + "/work").c_str(), replays(shared()).c_str()), 0);
    ASSERT_EQ(::lchown(replays(shared()).c_str(), neighbour, neighbour), 0);
    EXPECT_EQ(keepAsPlayerIn(shared()), "");
    EXPECT_EQ(TempDir::countIn(home() + "/work"), keptOrdinaryReplays + 2);

    // A folder the neighbour made first, open to all: nothing of the player's goes in it.
    ASSERT_EQ(::unlink(replays(shared()).c_str()), 0);
    ASSERT_EQ(::mkdir(replays(shared()).c_str(), 0777), 0);
    ASSERT_EQ(::chmod(replays(shared()).c_str(), 0777), 0);
    ASSERT_EQ(::chown(replays(shared()).c_str(), neighbour, neighbour), 0);
    EXPECT_EQ(keepAsPlayerIn(shared()), "");
    EXPECT_EQ(TempDir::countIn(replays(shared())), 0);

    // The player's own link is followed, to a folder that is the player's.
    ASSERT_EQ(::rmdir(replays(shared()).c_str()), 0);
    ASSERT_EQ(::symlink((home() + "/work").c_str(), replays(shared()).c_str()), 0);
    ASSERT_EQ(::lchown(replays(shared()).c_str(), nobodyId, nobodyId), 0);
    EXPECT_NE(keepAsPlayerIn(shared()), "");
}

// The player's own replays/ open to all (made so by hand, or on a shared disk): a neighbour's
// pipes and files at every name the game would use neither stop it nor become its recordings.
TEST_F(RecordingsFaultsTest, PlantedPipesAndFilesAreNeitherWaitedOnNorTaken) {
    const std::string folder = replays(home());
    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    ASSERT_EQ(::chown(folder.c_str(), nobodyId, nobodyId), 0);
    const std::string first = keepAsPlayerIn(home(), 1, 7);
    ASSERT_FALSE(first.empty());
    ASSERT_EQ(::unlink((folder + "/" + first).c_str()), 0);
    // The name it took, with every number after it, and the temporaries earlier versions used.
    const std::string stem = first.substr(0, first.size() - 4);
    for (int number = 1; number < 5; ++number) {
        const std::string name = stem + (number > 1 ? "-" + std::to_string(number) : "") + ".vxr";
        for (const std::string& planted : {name, name + ".part", "." + name}) {
            ASSERT_EQ(::mkfifo((folder + "/" + planted).c_str(), 0666), 0);
            ASSERT_EQ(::lchown((folder + "/" + planted).c_str(), neighbour, neighbour), 0);
        }
    }
    const std::string plantedFile = folder + "/" + stem + "-5.vxr";
    plantFile(plantedFile, neighbour);
    ASSERT_EQ(::chmod(plantedFile.c_str(), 0666), 0);

    const std::string name = keepAsPlayerIn(home(), 2, 7);
    ASSERT_FALSE(name.empty()) << "the write was stopped (a pipe waited on?)";
    EXPECT_EQ(name, stem + "-6.vxr");
    struct stat kept {};
    ASSERT_EQ(::stat((folder + "/" + name).c_str(), &kept), 0);
    EXPECT_EQ(kept.st_uid, static_cast<uid_t>(nobodyId));
    EXPECT_EQ(kept.st_mode & 0022, 0u) << "writable by the neighbour";
    EXPECT_EQ(bytesOf(folder + "/" + name), recording(2));
    EXPECT_EQ(bytesOf(plantedFile), std::vector<uint8_t>({'t', 'h', 'e', 'i', 'r', 's'}));
}

// Twenty later names of the player's own (a clock set back), the player's own file with a name
// of their choosing, a link and a folder in the game's names, a neighbour's files in a shared
// replays/: the new recording and the hall of fame's stay, and so does everything not the
// game's own.
TEST_F(RecordingsFaultsTest, PruningTakesOnlyTheGamesOwnOldestFilesAndNeverTheNewOne) {
    const std::string folder = replays(home());
    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    ASSERT_EQ(::chown(folder.c_str(), nobodyId, nobodyId), 0);
    std::vector<std::string> later;
    for (int n = 0; n < keptOrdinaryReplays; ++n) {
        later.push_back(folder + "/2099-01-01_00-00-" + (n < 10 ? "0" : "") + std::to_string(n) +
                        "_000.vxr");
        plantFile(later.back(), nobodyId);
        // Written in the reverse order of their names: the last name is the oldest file.
        age(later.back(), -3600 - (keptOrdinaryReplays - n));
    }
    const std::string own = folder + "/2024-06-01 tournament final.vxr";
    plantFile(own, nobodyId);
    age(own, 86400);
    const std::string fame = folder + "/fame-2020-01-01_00-00-00.vxr";
    plantFile(fame, nobodyId);
    age(fame, 86400);
    ASSERT_EQ(::symlink(own.c_str(), (folder + "/2000-01-01_00-00-00.vxr").c_str()), 0);
    ASSERT_EQ(::lchown((folder + "/2000-01-01_00-00-00.vxr").c_str(), nobodyId, nobodyId), 0);
    ASSERT_EQ(::mkdir((folder + "/2000-01-01_00-00-01.vxr").c_str(), 0755), 0);
    const std::string theirs = folder + "/2000-01-01_00-00-02.vxr";
    plantFile(theirs, neighbour);
    age(theirs, 86400);

    const std::string name = keepAsPlayerIn(home());
    ASSERT_FALSE(name.empty());
    const std::set<std::string> names = namesIn(folder);
    EXPECT_TRUE(names.count(name)) << "the new recording was pruned";
    for (const std::string& path : {own, fame, theirs, folder + "/2000-01-01_00-00-00.vxr",
                                    folder + "/2000-01-01_00-00-01.vxr"}) {
        EXPECT_EQ(::access(path.c_str(), F_OK), 0) << path << " was pruned";
    }
    // Twenty of the game's own: the new one and nineteen of the later names.
    const auto later_kept = std::count_if(later.begin(), later.end(), [](const std::string& p) {
        return ::access(p.c_str(), F_OK) == 0;
    });
    EXPECT_EQ(later_kept, keptOrdinaryReplays - 1);
    EXPECT_EQ(::access(later.back().c_str(), F_OK), -1) << "the oldest file was kept";
    EXPECT_EQ(::access(later[0].c_str(), F_OK), 0) << "pruned by name, not by time";
}

// Temporaries of writes killed on the way (a power cut, SIGKILL) go once a minute old; a running
// write's, and anything of a neighbour's, stay.
TEST_F(RecordingsFaultsTest, OldTemporariesOfKilledWritesAreRemovedOthersKept) {
    const std::string folder = replays(home());
    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    ASSERT_EQ(::chown(folder.c_str(), nobodyId, nobodyId), 0);
    const std::string killed = folder + "/.2026-12-10_14-00-00_000.vxr.Ab3xYz";
    const std::string running = folder + "/.2026-12-10_14-00-00_001.vxr.Qq9Rr0";
    const std::string theirs = folder + "/.2026-12-10_14-00-00_002.vxr.Zz0Zz0";
    const std::string notes = folder + "/.notes";
    for (const std::string& path : {killed, running, notes}) plantFile(path, nobodyId);
    plantFile(theirs, neighbour);
    for (const std::string& path : {killed, theirs, notes}) age(path, 120);
    ASSERT_FALSE(keepAsPlayerIn(home()).empty());
    EXPECT_EQ(::access(killed.c_str(), F_OK), -1);
    for (const std::string& path : {running, theirs, notes}) {
        EXPECT_EQ(::access(path.c_str(), F_OK), 0) << path;
    }
}

// Copies of the game finishing rounds that started in the same millisecond: each keeps its own
// recording under a name of its own, and the name each reports holds its own round.
TEST_F(RecordingsFaultsTest, CopiesFinishingTogetherEachKeepTheirOwnRecording) {
    constexpr int copies = 6;
    const std::string folder = replays(home());
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    ASSERT_EQ(::chown(folder.c_str(), nobodyId, nobodyId), 0);
    for (int attempt = 0; attempt < 15; ++attempt) {
        int channel[2];
        ASSERT_EQ(::pipe(channel), 0);
        std::vector<pid_t> children;
        for (int copy = 0; copy < copies; ++copy) {
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child != 0) {
                children.push_back(child);
                continue;
            }
            ::alarm(5);
            if (::setresgid(nobodyId, nobodyId, nobodyId) != 0 ||
                ::setresuid(nobodyId, nobodyId, nobodyId) != 0 || ::chdir(home().c_str()) != 0) {
                ::_exit(1);
            }
            const std::string name = keepReplayFile(recording(copy + 1), roundStart, 500);
            const std::string line = std::to_string(copy + 1) + " " + name + "\n";
            // One write under PIPE_BUF bytes: the lines of the copies never mix.
            ::_exit(::write(channel[1], line.data(), line.size()) > 0 ? 0 : 1);
        }
        ::close(channel[1]);
        for (pid_t child : children) {
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "attempt " << attempt;
        }
        std::string lines;
        char buffer[512];
        for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
            lines.append(buffer, static_cast<size_t>(got));
        }
        ::close(channel[0]);
        std::istringstream in(lines);
        std::set<std::string> kept;
        int n = 0;
        for (std::string name; in >> n >> name;) {
            kept.insert(name);
            EXPECT_EQ(bytesOf(folder + "/" + name), recording(n)) << name << " holds another's";
        }
        EXPECT_EQ(kept.size(), static_cast<size_t>(copies)) << "attempt " << attempt;
        for (const std::string& name : namesIn(folder)) {
            ASSERT_EQ(::unlink((folder + "/" + name).c_str()), 0);
        }
    }
}

}  // namespace
}  // namespace vexlorn
