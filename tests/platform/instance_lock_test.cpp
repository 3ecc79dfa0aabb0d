#include "platform_test_seam.h"

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace morvantide {
namespace {

namespace fs = std::filesystem;

constexpr const char* kName = "vRUMKordelis5";

mode_t ModeOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode;
}

// Each test gets its own runtime, home and temporary folders, so it never meets a running
// copy of the program or another test.
class InstanceLockTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "instance-lock-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        base_ = pattern;
        runtime_ = base_ / "runtime";
        home_ = base_ / "home";
        temporary_ = base_ / "tmp";
        for (const fs::path& folder : {runtime_, home_, temporary_}) {
            fs::create_directory(folder);
            fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
        }
        fs::permissions(temporary_, fs::perms::all | fs::perms::sticky_bit);
        for (const auto& [name, value] :
             {std::pair{"XDG_RUNTIME_DIR", runtime_}, {"HOME", home_}, {"TMPDIR", temporary_}}) {
            saveVariable(name);
            ::setenv(name, value.c_str(), 1);
        }
    }

    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
        std::error_code ignored;
        fs::permissions(base_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(base_, ignored);
    }

    fs::path fallback() const { return home_ / ".cache" / "morvantide"; }

    fs::path base_, runtime_, home_, temporary_;

private:
    void saveVariable(const char* name) {
        const char* value = std::getenv(name);
        saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// --- Which folder holds the lock ----------------------------------------------------------

enum class Runtime { Private, GroupReadable, WorldWritable, Relative, Unset, Symlink, File };

struct FolderCase {
    const char* name;
    Runtime runtime;
    bool usesRuntime;
};

void PrintTo(const FolderCase& c, std::ostream* out) {
    *out << c.name;
}

class LockFolderTest : public InstanceLockTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(LockFolderTest, RuntimeFolderOnlyWhenPrivateElseAPrivateFallback) {
    const FolderCase& c = GetParam();
    switch (c.runtime) {
    case Runtime::Private:
        break;
    case Runtime::GroupReadable:
        fs::permissions(runtime_,
                        fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
        break;
    case Runtime::WorldWritable:
        fs::permissions(runtime_, fs::perms::all | fs::perms::sticky_bit);
        break;
    case Runtime::Relative:
        ::setenv("XDG_RUNTIME_DIR", "runtime", 1);
        break;
    case Runtime::Unset:
        ::unsetenv("XDG_RUNTIME_DIR");
        // Whatever anybody made in the shared temporary folder has no say.
        fs::create_directory(temporary_ / ("morvantide-" + std::to_string(::geteuid())));
        fs::permissions(temporary_ / ("morvantide-" + std::to_string(::geteuid())), fs::perms::all);
        break;
    case Runtime::Symlink:
        fs::create_directory_symlink(runtime_, base_ / "link");
        ::setenv("XDG_RUNTIME_DIR", (base_ / "link").c_str(), 1);
        break;
    case Runtime::File:
        fs::remove(runtime_);
        {
            std::FILE* file = std::fopen(runtime_.c_str(), "w");
            std::fclose(file);
        }
        break;
    }

    const std::optional<std::string> folder = PlatformTestSeam::lockFolder();
    ASSERT_TRUE(folder);
    EXPECT_EQ(*folder, (c.usesRuntime ? runtime_ : fallback()).string());

    InstanceLock lock(kName);
    ASSERT_TRUE(lock.isHeld());
    EXPECT_EQ(PlatformTestSeam::lockPath(lock), *folder + "/" + kName + ".lock");
    EXPECT_EQ(ModeOf(PlatformTestSeam::lockPath(lock)) & 0777, 0600u);
    if (!c.usesRuntime) {
        EXPECT_TRUE(S_ISDIR(ModeOf(fallback())));
        EXPECT_EQ(ModeOf(fallback()) & 0777, 0700u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, LockFolderTest,
    ::testing::Values(FolderCase{"Private", Runtime::Private, true},
                      FolderCase{"GroupReadable", Runtime::GroupReadable, false},
                      FolderCase{"WorldWritable", Runtime::WorldWritable, false},
                      FolderCase{"Relative", Runtime::Relative, false},
                      FolderCase{"Unset", Runtime::Unset, false},
                      FolderCase{"Symlink", Runtime::Symlink, false},
                      FolderCase{"File", Runtime::File, false}),
    [](const auto& info) { return std::string(info.param.name); });

// --- A fallback folder that somebody else prepared -----------------------------------------

enum class Planted {
    SymlinkToPrivateFolder,
    OpenFolder,
    PlainFile,
    OtherOwner,
    PipeAsLockFile,
    CacheOpenToOthers,
    HomeOfAnotherUser,
};

const char* NameOf(Planted planted) {
    switch (planted) {
    case Planted::SymlinkToPrivateFolder:
        return "SymlinkToPrivateFolder";
    case Planted::OpenFolder:
        return "OpenFolder";
    case Planted::PlainFile:
        return "PlainFile";
    case Planted::OtherOwner:
        return "OtherOwner";
    case Planted::PipeAsLockFile:
        return "PipeAsLockFile";
    case Planted::CacheOpenToOthers:
        return "CacheOpenToOthers";
    case Planted::HomeOfAnotherUser:
        return "HomeOfAnotherUser";
    }
    return "?";
}

void PrintTo(Planted planted, std::ostream* out) {
    *out << NameOf(planted);
}

class PlantedFallbackTest : public InstanceLockTest,
                            public ::testing::WithParamInterface<Planted> {};

TEST_P(PlantedFallbackTest, IsNotUsedAndNoLockIsMade) {
    ::unsetenv("XDG_RUNTIME_DIR");
    const fs::path target = base_ / "target";
    fs::create_directory(target);
    fs::permissions(target, fs::perms::owner_all, fs::perm_options::replace);
    fs::create_directory(home_ / ".cache");
    fs::permissions(home_ / ".cache", fs::perms::owner_all, fs::perm_options::replace);
    switch (GetParam()) {
    case Planted::SymlinkToPrivateFolder:
        fs::create_directory_symlink(target, fallback());
        break;
    case Planted::OpenFolder:
        fs::create_directory(fallback());
        fs::permissions(fallback(), fs::perms::all, fs::perm_options::replace);
        break;
    case Planted::PlainFile: {
        std::FILE* file = std::fopen(fallback().c_str(), "w");
        std::fclose(file);
        break;
    }
    case Planted::OtherOwner:
        if (::geteuid() != 0)
            GTEST_SKIP() << "only root can make a folder owned by another user";
        fs::create_directory(fallback());
        fs::permissions(fallback(), fs::perms::owner_all, fs::perm_options::replace);
        ASSERT_EQ(::chown(fallback().c_str(), 65534, 65534), 0);
        break;
    case Planted::PipeAsLockFile:
        // The folder is fine, but opening a pipe to read would wait for a writer forever.
        fs::create_directory(fallback());
        fs::permissions(fallback(), fs::perms::owner_all, fs::perm_options::replace);
        ASSERT_EQ(::mkfifo((fallback() / (std::string(kName) + ".lock")).c_str(), 0600), 0);
        break;
    case Planted::CacheOpenToOthers:
        fs::permissions(home_ / ".cache", fs::perms::all, fs::perm_options::replace);
        break;
    case Planted::HomeOfAnotherUser:
        if (::geteuid() != 0)
            GTEST_SKIP() << "only root can give a folder to another user";
        ASSERT_EQ(::chown(home_.c_str(), 65534, 65534), 0);
        break;
    }

    EXPECT_EQ(PlatformTestSeam::lockFolder().has_value(), GetParam() == Planted::PipeAsLockFile);
    InstanceLock lock(kName);
    EXPECT_FALSE(lock.isHeld());
    EXPECT_FALSE(lock.alreadyExisted());
    EXPECT_TRUE(PlatformTestSeam::lockPath(lock).empty());
    EXPECT_TRUE(fs::is_empty(target));
    if (GetParam() == Planted::OtherOwner) {
        EXPECT_TRUE(fs::is_empty(fallback()));
    }
    if (GetParam() == Planted::PipeAsLockFile) {
        EXPECT_TRUE(fs::is_fifo(fallback() / (std::string(kName) + ".lock")));
    }
}

INSTANTIATE_TEST_SUITE_P(Plants, PlantedFallbackTest,
                         ::testing::Values(Planted::SymlinkToPrivateFolder, Planted::OpenFolder,
                                           Planted::PlainFile, Planted::OtherOwner,
                                           Planted::PipeAsLockFile, Planted::CacheOpenToOthers,
                                           Planted::HomeOfAnotherUser),
                         [](const auto& info) { return std::string(NameOf(info.param)); });

// --- Holders ---------------------------------------------------------------------------------

// Each lock object opens the file anew, so two objects in one process compete as two
// processes do.
TEST_F(InstanceLockTest, NameIsHeldWhileAnyHolderRemains) {
    auto first = std::make_unique<InstanceLock>(kName);
    ASSERT_TRUE(first->isHeld());
    EXPECT_FALSE(first->alreadyExisted());

    InstanceLock second(kName);
    EXPECT_TRUE(second.alreadyExisted());

    first.reset();
    {
        InstanceLock third(kName);
        EXPECT_TRUE(third.alreadyExisted()) << "the second holder still runs";
    }
    PlatformTestSeam::release(second);
    PlatformTestSeam::release(second);

    InstanceLock fourth(kName);
    EXPECT_FALSE(fourth.alreadyExisted());
}

TEST_F(InstanceLockTest, OtherNamesAreIndependent) {
    InstanceLock first(kName);
    InstanceLock other("another-name");
    EXPECT_FALSE(other.alreadyExisted());
}

// A holder that ends without releasing, however it ends, leaves the name free.
enum class HolderEnd { Killed, ExitsWithoutRelease };

void PrintTo(HolderEnd end, std::ostream* out) {
    *out << (end == HolderEnd::Killed ? "Killed" : "ExitsWithoutRelease");
}

class HolderEndTest : public InstanceLockTest, public ::testing::WithParamInterface<HolderEnd> {};

TEST_P(HolderEndTest, FreesTheName) {
    std::array<int, 2> ready{};
    ASSERT_EQ(::pipe(ready.data()), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto* lock = new InstanceLock(kName); // never released on purpose
        const char held = lock->isHeld() && !lock->alreadyExisted() ? '1' : '0';
        (void)::write(ready[1], &held, 1);
        if (GetParam() == HolderEnd::ExitsWithoutRelease)
            ::_exit(0);
        for (;;)
            ::pause();
    }
    ::close(ready[1]);
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    ::close(ready[0]);
    EXPECT_EQ(held, '1');
    {
        InstanceLock meanwhile(kName);
        if (GetParam() == HolderEnd::Killed) {
            EXPECT_TRUE(meanwhile.alreadyExisted());
        }
    }
    if (GetParam() == HolderEnd::Killed)
        ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);

    InstanceLock next(kName);
    EXPECT_TRUE(next.isHeld());
    EXPECT_FALSE(next.alreadyExisted());
}

INSTANTIATE_TEST_SUITE_P(Ends, HolderEndTest,
                         ::testing::Values(HolderEnd::Killed, HolderEnd::ExitsWithoutRelease),
                         [](const auto& info) {
                             return std::string(info.param == HolderEnd::Killed
                                                    ? "Killed"
                                                    : "ExitsWithoutRelease");
                         });

// Processes released at the same instant: exactly one of them may find the name free, every
// time.
TEST_F(InstanceLockTest, SimultaneousStartsFindTheNameFreeExactlyOnce) {
    constexpr int kRounds = 25;
    constexpr int kProcesses = 6;
    for (int round = 0; round < kRounds; ++round) {
        std::array<int, 2> start{}, results{}, finish{};
        ASSERT_EQ(::pipe(start.data()), 0);
        ASSERT_EQ(::pipe(results.data()), 0);
        ASSERT_EQ(::pipe(finish.data()), 0);
        std::vector<pid_t> children;
        for (int i = 0; i < kProcesses; ++i) {
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                ::close(start[1]);
                ::close(results[0]);
                ::close(finish[1]);
                char go = 0;
                (void)::read(start[0], &go, 1); // returns when the parent closes its end
                InstanceLock lock(kName);
                const char first = !lock.isHeld() ? 'e' : lock.alreadyExisted() ? '0' : '1';
                (void)::write(results[1], &first, 1);
                (void)::read(finish[0], &go, 1); // holds the lock until told to end
                ::_exit(0);
            }
            children.push_back(child);
        }
        ::close(start[0]);
        ::close(results[1]);
        ::close(finish[0]);
        ::close(start[1]);

        std::string answers;
        char answer = 0;
        while (answers.size() < std::size_t(kProcesses) && ::read(results[0], &answer, 1) == 1)
            answers += answer;
        ::close(results[0]);
        ::close(finish[1]);
        for (pid_t child : children)
            ::waitpid(child, nullptr, 0);

        ASSERT_EQ(answers.size(), std::size_t(kProcesses)) << "round " << round;
        EXPECT_EQ(std::count(answers.begin(), answers.end(), '1'), 1)
            << "round " << round << ": " << answers;
        EXPECT_EQ(std::count(answers.begin(), answers.end(), 'e'), 0) << answers;
    }
}

} // namespace
} // namespace morvantide
