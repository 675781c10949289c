// The desktop's one-copy lock on a machine shared by several users: where it lives, what it
// opens, whom a second start signals. The cases run in child processes, as two unprivileged
// users when the suite runs as root; a shared folder open to all (mode 1777) stands in for /tmp.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "hosts/posix_lock.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t kUserA = 4242, kUserB = 4243;  // ids no account of the machine has
constexpr const char* kLockName = "Class Kestrel";
constexpr int kHangGuardSeconds = 10;

bool IsRoot() { return geteuid() == 0; }

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteText(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

void Check(std::string* faults, bool holds, const std::string& what) {
    if (!holds) *faults += what + "; ";
}

// Where a child runs: its home and its runtime folder (none when empty).
struct Session {
    uid_t uid;  // ignored unless the suite runs as root
    std::string home;
    std::string runtime;
};

// In a child: becomes the session's user (as a process started by that user is: its /proc
// entry its own), with that home and runtime folder and no other cache folder.
bool Enter(const Session& session) {
    if (IsRoot()) {
        if (setgroups(0, nullptr) != 0 || setresgid(session.uid, session.uid, session.uid) != 0 ||
            setresuid(session.uid, session.uid, session.uid) != 0 || geteuid() == 0)
            return false;
        prctl(PR_SET_DUMPABLE, 1);
    }
    setenv("HOME", session.home.c_str(), 1);
    unsetenv("XDG_CACHE_HOME");
    if (session.runtime.empty())
        unsetenv("XDG_RUNTIME_DIR");
    else
        setenv("XDG_RUNTIME_DIR", session.runtime.c_str(), 1);
    alarm(kHangGuardSeconds);
    return true;
}

// Runs `body` in a child process of the session; what it finds wrong comes back as text.
std::string InChild(const Session& session, const std::function<void(std::string*)>& body) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return "no pipe";
    const pid_t child = fork();
    if (child < 0) return "no fork";
    if (child == 0) {
        close(pipeFds[0]);
        std::string faults;
        if (Enter(session))
            body(&faults);
        else
            faults = "could not become the user";
        const ssize_t ignored = write(pipeFds[1], faults.data(), faults.size());
        (void)ignored;
        _exit(0);
    }
    close(pipeFds[1]);
    std::string faults;
    char buffer[256];
    for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        faults.append(buffer, static_cast<size_t>(n));
    close(pipeFds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) faults += "the child did not end well";
    return faults;
}

// A process of the session that lives until it is ended: `setup` runs in it first (false:
// it ends at once), then it waits. The caller learns of it once `setup` has run.
class Resident {
public:
    Resident(const Session& session, const std::function<bool()>& setup) {
        int pipeFds[2];
        if (pipe(pipeFds) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(pipeFds[0]);
            const char ready = Enter(session) && setup() ? 'y' : 'n';
            alarm(0);
            const ssize_t ignored = write(pipeFds[1], &ready, 1);
            (void)ignored;
            close(pipeFds[1]);
            if (ready == 'y')
                for (;;) pause();
            _exit(1);
        }
        close(pipeFds[1]);
        char ready = 'n';
        ready_ = pid_ > 0 && read(pipeFds[0], &ready, 1) == 1 && ready == 'y';
        close(pipeFds[0]);
    }
    ~Resident() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    Resident(const Resident&) = delete;
    Resident& operator=(const Resident&) = delete;

    bool ready() const { return ready_; }
    pid_t pid() const { return pid_; }
    // Still running: not ended by a signal or anything else.
    bool alive() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

private:
    pid_t pid_ = -1;
    bool ready_ = false;
};

// Another program of the session (a `sleep`), started the usual way.
class Sleeper {
public:
    // Returns once the child is `sleep`: until its exec it is still this test's executable,
    // which the lock would rightly take for a copy of the game.
    explicit Sleeper(const Session& session) {
        int execed[2];
        if (pipe2(execed, O_CLOEXEC) != 0) return;
        pid_ = fork();
        if (pid_ == 0) {
            close(execed[0]);
            if (Enter(session)) {
                alarm(0);
                execlp("sleep", "sleep", "60", static_cast<char*>(nullptr));
            }
            _exit(127);
        }
        close(execed[1]);
        // The write end closes with the exec (or the exit): the read sees the end of the pipe.
        char byte;
        while (pid_ > 0 && read(execed[0], &byte, 1) < 0 && errno == EINTR) {}
        close(execed[0]);
    }
    ~Sleeper() {
        if (pid_ <= 0) return;
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    Sleeper(const Sleeper&) = delete;
    Sleeper& operator=(const Sleeper&) = delete;

    pid_t pid() const { return pid_; }
    bool alive() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }

private:
    pid_t pid_ = -1;
};

// A folder of the test's own, removed afterwards; "shared" in it is open to all, as /tmp is.
class InstanceLockTest : public testing::Test {
protected:
    void SetUp() override {
        root_ = fs::path(testing::TempDir()) /
                ("plusrail_lock_" +
                 std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "_" +
                 std::to_string(getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "shared");
        chmod(root_.c_str(), 0755);
        chmod((root_ / "shared").c_str(), 01777);
    }
    void TearDown() override { fs::remove_all(root_); }

    // A home (and runtime folder, 0700) of a user's own; the current user's when not root.
    Session MakeSession(uid_t uid, const std::string& name) {
        const fs::path home = root_ / name;
        fs::create_directories(home / "run");
        for (const fs::path& folder : {home, home / "run"}) {
            chmod(folder.c_str(), 0700);
            if (IsRoot() && chown(folder.c_str(), uid, uid) != 0) ADD_FAILURE() << folder;
        }
        return Session{uid, home.string(), (home / "run").string()};
    }

    // A file of the session's user that nobody else should ever change.
    fs::path PreciousFile(const Session& session) {
        const fs::path file = fs::path(session.home) / "notes.txt";
        WriteText(file, "the player's own notes\n");
        if (IsRoot() && chown(file.c_str(), session.uid, session.uid) != 0) ADD_FAILURE() << file;
        return file;
    }

    fs::path root_;
};

// A copy of the game as far as the lock goes: it takes the lock and keeps it.
std::function<bool()> TakesLock() {
    return [] { return PosixTakeLock(kLockName) == PosixLockClaim::Taken; };
}

}  // namespace

// User B plants what the lock used to be in the shared folder: a lock of the old name holding
// one of A's process ids, kept locked, and then a link to a file of A's. A's game starts all
// the same (with the shared folder as its runtime folder or with none), writes nothing there,
// follows no link and signals nothing of A's; B plays at the same time.
TEST_F(InstanceLockTest, AnotherUserCanNeitherStopNorSignalNorOverwriteThePlayer) {
    if (!IsRoot()) GTEST_SKIP() << "two users are needed: run as root to become uids 4242 and 4243";
    const Session a = MakeSession(kUserA, "a"), b = MakeSession(kUserB, "b");
    const fs::path precious = PreciousFile(a);
    const fs::path planted = root_ / "shared" / (std::string(kLockName) + ".lock");
    Sleeper asOther(a);
    const std::string forged = std::to_string(asOther.pid()) + "\n";

    Resident plant(b, [&] {
        const int fd = open(planted.c_str(), O_RDWR | O_CREAT, 0644);
        return fd >= 0 && write(fd, forged.data(), forged.size()) > 0 &&
               flock(fd, LOCK_EX | LOCK_NB) == 0;
    });
    ASSERT_TRUE(plant.ready());
    Resident bPlays(b, TakesLock());
    EXPECT_TRUE(bPlays.ready()) << "B's own game could not take B's lock";

    for (const std::string& runtime : {(root_ / "shared").string(), std::string()}) {
        Session aHere = a;
        aHere.runtime = runtime;
        Resident aPlays(aHere, TakesLock());
        EXPECT_TRUE(aPlays.ready()) << "A's game did not start; runtime folder '" << runtime << "'";
        // A's second start finds A's first, and only that one.
        EXPECT_EQ(InChild(aHere,
                          [&](std::string* f) {
                              Check(f, PosixTakeLock(kLockName) == PosixLockClaim::Held,
                                    "a second start of A's was not refused");
                              Check(f, PosixLockHolder(kLockName) == aPlays.pid(),
                                    "the second start would not raise A's first");
                          }),
                  "");
        EXPECT_TRUE(aPlays.alive());
    }
    EXPECT_TRUE(asOther.alive()) << "A's other process was signalled";
    EXPECT_EQ(ReadText(planted), forged);
    EXPECT_TRUE(plant.alive() && bPlays.alive());

    // The link: whatever it points at is never opened.
    fs::remove(planted);
    fs::create_symlink(precious, planted);
    Session aShared = a;
    aShared.runtime = (root_ / "shared").string();
    Resident aPlays(aShared, TakesLock());
    EXPECT_TRUE(aPlays.ready());
    EXPECT_EQ(ReadText(precious), "the player's own notes\n");
    EXPECT_TRUE(fs::is_symlink(planted));

    // A's lock is where only A can write.
    const fs::path lock = fs::path(a.home) / ".cache" / "plusrail" / "Class Kestrel.lock";
    struct stat info;
    ASSERT_EQ(stat(lock.parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, kUserA);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    ASSERT_EQ(lstat(lock.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_uid, kUserA);
    EXPECT_EQ(ReadText(lock), std::to_string(aPlays.pid()) + "\n");
}

// A second start signals the process named in the lock only when it is the player's own
// running game: a forged id of another program of the player's, of another user's copy of the
// game, of nobody or of itself gives nobody to signal.
TEST_F(InstanceLockTest, OnlyThePlayersOwnRunningGameIsNamedByTheLock) {
    const Session a = MakeSession(kUserA, "a");
    Resident first(a, TakesLock());
    ASSERT_TRUE(first.ready());
    const fs::path lock = fs::path(a.runtime) / "Class Kestrel.lock";
    EXPECT_EQ(InChild(a,
                      [&](std::string* f) {
                          Check(f, PosixLockHolder(kLockName) == first.pid(), "first not named");
                      }),
              "");

    Sleeper asOther(a);
    std::vector<std::string> forged = {std::to_string(asOther.pid()), "1", "0", "-5", "junk",
                                       "99999999999999999999"};
    std::unique_ptr<Resident> otherUsersCopy;
    if (IsRoot()) {
        otherUsersCopy = std::make_unique<Resident>(MakeSession(kUserB, "b"), [] { return true; });
        ASSERT_TRUE(otherUsersCopy->ready());
        forged.push_back(std::to_string(otherUsersCopy->pid()));
    }
    for (const std::string& id : forged) {
        WriteText(lock, id + "\n");
        EXPECT_EQ(InChild(a,
                          [&](std::string* f) {
                              Check(f, PosixTakeLock(kLockName) == PosixLockClaim::Held,
                                    "the lock was not held");
                              Check(f, PosixLockHolder(kLockName) == 0, "named " + id);
                          }),
                  "");
    }
    // Its own id, as a copy that took the lock and restarted would find it.
    EXPECT_EQ(InChild(a,
                      [&](std::string* f) {
                          WriteText(lock, std::to_string(getpid()) + "\n");
                          Check(f, PosixLockHolder(kLockName) == 0, "named itself");
                      }),
              "");
    EXPECT_TRUE(asOther.alive());
    EXPECT_TRUE(first.alive());
}

// In the player's own lock folder, a link, a FIFO or another user's file in the lock's place
// is refused as it is: nothing is opened through it, written to it or waited on.
TEST_F(InstanceLockTest, ALockThatIsNotAPlainFileOfThePlayersIsNeverUsed) {
    const Session a = MakeSession(kUserA, "a");
    const fs::path precious = PreciousFile(a);
    const fs::path run(a.runtime);
    fs::create_symlink(precious, run / "Link.lock");
    ASSERT_EQ(mkfifo((run / "Pipe.lock").c_str(), 0600), 0);
    fs::create_directory(run / "Folder.lock");
    if (IsRoot()) {
        WriteText(run / "Foreign.lock", "1\n");
        chmod((run / "Foreign.lock").c_str(), 0666);
        ASSERT_EQ(chown((run / "Foreign.lock").c_str(), kUserB, kUserB), 0);
    }
    EXPECT_EQ(InChild(a,
                      [&](std::string* f) {
                          for (const char* name : {"Link", "Pipe", "Folder", "Foreign"}) {
                              if (std::string(name) == "Foreign" && !IsRoot()) continue;
                              Check(f, PosixTakeLock(name) == PosixLockClaim::Unusable,
                                    std::string(name) + " taken");
                              Check(f, PosixLockHolder(name) == 0, std::string(name) + " named");
                          }
                          Check(f, PosixTakeLock("Plain") == PosixLockClaim::Taken,
                                "a plain lock beside them was not taken");
                      }),
              "");
    EXPECT_EQ(ReadText(precious), "the player's own notes\n");
    EXPECT_TRUE(fs::is_symlink(run / "Link.lock"));
    if (IsRoot()) {
        EXPECT_EQ(ReadText(run / "Foreign.lock"), "1\n");
    }
}

// The lock folder: the runtime folder only when it is the player's and private; otherwise the
// cache folder's own subfolder, made private.
TEST_F(InstanceLockTest, TheLockFolderIsOnlyEverAPrivateOneOfThePlayers) {
    const Session a = MakeSession(kUserA, "a");
    const std::string cache = a.home + "/.cache/plusrail";
    struct Case {
        std::string runtime;
        std::string expected;
    };
    chmod((root_ / "a" / "run").c_str(), 0700);
    const Case cases[] = {
        {a.runtime, a.runtime},
        {(root_ / "shared").string(), cache},  // open to all
        {"", cache},
        {"relative/run", cache},
    };
    for (const Case& c : cases) {
        Session here = a;
        here.runtime = c.runtime;
        EXPECT_EQ(InChild(here,
                          [&](std::string* f) {
                              char folder[1024];
                              Check(f, PosixLockFolder(folder, sizeof folder), "no lock folder");
                              Check(f, folder == c.expected, std::string("lock folder ") + folder);
                          }),
                  "")
            << c.runtime;
    }
    struct stat info;
    ASSERT_EQ(stat(cache.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // A runtime folder others may enter is not private; a cache folder of the player's that
    // others may enter is made private.
    chmod(a.runtime.c_str(), 0755);
    chmod(cache.c_str(), 0755);
    EXPECT_EQ(InChild(a,
                      [&](std::string* f) {
                          char folder[1024];
                          Check(f, PosixLockFolder(folder, sizeof folder) && folder == cache,
                                "the open runtime folder was used");
                      }),
              "");
    ASSERT_EQ(stat(cache.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}
