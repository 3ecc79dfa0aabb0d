#include "morvantide/file_faults.h"
#include "morvantide/saved_game_file.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace morvantide {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;
const std::string kOld = "52\r\n52\r\n";
const std::string kNew = "92\r\n52\r\n132\r\n52\r\n";

// Everything in a folder tree, as it matters to the user: kind, permissions, owner, and
// what a file holds or where a link points.
struct Entry {
    mode_t mode;
    uid_t uid;
    gid_t gid;
    std::string content;
    bool operator==(const Entry&) const = default;
};
using Tree = std::map<std::string, Entry>;

std::ostream& operator<<(std::ostream& out, const Tree& tree) {
    for (const auto& [name, e] : tree)
        out << "\n  " << name << " mode " << std::oct << e.mode << std::dec << " " << e.uid << ":"
            << e.gid << " [" << e.content << "]";
    return out;
}

Tree describe(const fs::path& root) {
    Tree tree;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        struct stat info {};
        EXPECT_EQ(::lstat(item.path().c_str(), &info), 0);
        Entry entry{info.st_mode, info.st_uid, info.st_gid, {}};
        if (S_ISLNK(info.st_mode)) {
            entry.content = fs::read_symlink(item.path()).string();
        } else if (S_ISREG(info.st_mode)) {
            std::ifstream in(item.path(), std::ios::binary);
            entry.content.assign(std::istreambuf_iterator<char>(in), {});
        }
        tree[item.path().lexically_relative(root).string()] = entry;
    }
    return tree;
}

mode_t currentUmask() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0)
            return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
    }
    ADD_FAILURE() << "no Umask line";
    return 022;
}

// A folder in the temporary folder that every user may reach, so that a child running as
// another user meets the files prepared for it.
class Sandbox {
public:
    Sandbox() {
        std::string pattern = (fs::temp_directory_path() / "platform-XXXXXX").string();
        EXPECT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        fs::permissions(root_, fs::perms::all);
    }
    ~Sandbox() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    const fs::path& root() const { return root_; }
    fs::path at(const std::string& name) const { return root_ / name; }

    void file(const std::string& name, mode_t mode = 0644, uid_t owner = ::geteuid()) const {
        std::ofstream(at(name), std::ios::binary) << kOld;
        EXPECT_EQ(::chmod(at(name).c_str(), mode), 0);
        if (owner != ::geteuid()) {
            EXPECT_EQ(::chown(at(name).c_str(), owner, owner), 0);
        }
    }
    void folder(const std::string& name, mode_t mode = 0755) const {
        EXPECT_EQ(::mkdir(at(name).c_str(), mode), 0);
        EXPECT_EQ(::chmod(at(name).c_str(), mode), 0);
    }
    void link(const std::string& name, const std::string& target) const {
        EXPECT_EQ(::symlink(target.c_str(), at(name).c_str()), 0);
    }
    void pipe(const std::string& name) const { EXPECT_EQ(::mkfifo(at(name).c_str(), 0666), 0); }
    void socket(const std::string& name) const {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const std::string path = at(name).string();
        ASSERT_LT(path.size(), sizeof address.sun_path);
        path.copy(address.sun_path, path.size());
        EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    }
    // A device made here, never one of /dev: it is the null device's number.
    void device(const std::string& name) const {
        EXPECT_EQ(::mknod(at(name).c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    }

private:
    fs::path root_;
};

enum class Command { Save, Open };
enum class Runner {
    Self,      // this process's user, whoever it is
    Root,      // needs root: a device, another user's file replaced by root
    OtherUser, // a child that has dropped root's rights to those of nobody
};

struct FileCase {
    const char* name;
    Command command;
    void (*arrange)(const Sandbox&);
    std::string path;         // the chosen name, in the sandbox
    std::string error = {};   // the text shown, "" for success
    std::string written = {}; // the file that holds the saved game afterwards, "" for none
    Runner runner = Runner::Self;
    FileCall fault = FileCall::Read;
    int faultErrno = 0; // 0: no fault injected
};

void PrintTo(const FileCase& c, std::ostream* out) {
    *out << c.name;
}

FileCall injectedCall;
int injectedErrno;
int injectFault(FileCall call) {
    // A short name is made only where the file system has no unnamed files.
    if (call == FileCall::CreateUnnamed && injectedCall == FileCall::CreateTemporary)
        return EOPNOTSUPP;
    return call == injectedCall ? injectedErrno : 0;
}

// Runs the command in a child, so that a change of user, a file size limit or a fault hook
// ends with it, and returns the text shown ("" for success).
std::string runInChild(const FileCase& c, const Sandbox& sandbox) {
    int channel[2];
    EXPECT_EQ(::pipe(channel), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (c.runner == Runner::OtherUser &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
             ::setresuid(kNobody, kNobody, kNobody) != 0))
            ::_exit(2);
        if (c.faultErrno == EFBIG) {
            // Files may not grow past 4 bytes: the write really fails part way.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit small{4, 4};
            ::setrlimit(RLIMIT_FSIZE, &small);
        } else if (c.faultErrno != 0) {
            injectedCall = c.fault;
            injectedErrno = c.faultErrno;
            setFileFaultHook(injectFault);
        }
        const std::string path = sandbox.at(c.path).string();
        const IoError error = c.command == Command::Save ? writeFileReplacing(path, kNew)
                                                         : readSavedGameFile(path).error;
        const std::string text = error == IoError::None ? "" : IoErrorMessage(error) + ".";
        const bool sent =
            ::write(channel[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
        ::_exit(sent ? 0 : 3);
    }
    ::close(channel[1]);
    std::string text;
    char buffer[256];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(channel[0]);
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    return text;
}

class FileCommandTest : public testing::TestWithParam<FileCase> {};

TEST_P(FileCommandTest, ShowsWhatHappenedAndChangesOnlyTheSavedFile) {
    const FileCase& c = GetParam();
    if (c.runner != Runner::Self && ::geteuid() != 0)
        GTEST_SKIP() << "needs root";
    const Sandbox sandbox;
    if (c.arrange != nullptr)
        c.arrange(sandbox);
    const Tree before = describe(sandbox.root());

    EXPECT_EQ(runInChild(c, sandbox), c.error);

    Tree expected = before;
    if (!c.written.empty()) {
        const auto old = before.find(c.written);
        expected[c.written] =
            old != before.end()
                ? Entry{old->second.mode, old->second.uid, old->second.gid, kNew}
                : Entry{S_IFREG | (0666 & ~currentUmask()), ::geteuid(), ::getegid(), kNew};
    }
    const Tree after = describe(sandbox.root());
    EXPECT_EQ(after, expected) << "after:" << after << "\nexpected:" << expected;
}

const std::string kLongName = std::string(251, 'n') + ".sav";
const std::string kDenied = "File access denied.";
const std::string kInvalid = "Invalid filename.";
const std::string kNotFound = "File not found.";
const std::string kLoop = "I/O error " + std::to_string(ELOOP) + ".";

void oldFile(const Sandbox& s) {
    s.file("game.sav");
}

const FileCase kCases[] = {
    {"NewFile", Command::Save, nullptr, "game.sav", "", "game.sav"},
    {"ReplacesKeepingTheMode", Command::Save, [](const Sandbox& s) { s.file("game.sav", 0640); },
     "game.sav", "", "game.sav"},
    {"RootKeepsTheOwner", Command::Save,
     [](const Sandbox& s) { s.file("game.sav", 0640, kNobody); }, "game.sav", "", "game.sav",
     Runner::Root},
    {"RootMayReplaceAReadOnlyFile", Command::Save,
     [](const Sandbox& s) { s.file("game.sav", 0444); }, "game.sav", "", "game.sav", Runner::Root},
    {"RelativeLink", Command::Save,
     [](const Sandbox& s) {
         s.folder("sub");
         s.file("sub/real.sav");
         s.link("game.sav", "sub/real.sav");
     },
     "game.sav", "", "sub/real.sav"},
    {"AbsoluteLink", Command::Save,
     [](const Sandbox& s) {
         s.file("real.sav");
         s.link("game.sav", s.at("real.sav"));
     },
     "game.sav", "", "real.sav"},
    {"ChainOfTwoLinksEachReadInItsFolder", Command::Save,
     [](const Sandbox& s) {
         s.folder("sub");
         s.file("real.sav");
         s.link("sub/middle.sav", "../real.sav");
         s.link("game.sav", "sub/middle.sav");
     },
     "game.sav", "", "real.sav"},
    {"DanglingLinkMakesItsTarget", Command::Save,
     [](const Sandbox& s) {
         s.folder("sub");
         s.link("game.sav", "sub/new.sav");
     },
     "game.sav", "", "sub/new.sav"},
    {"DanglingLinkIntoAMissingFolder", Command::Save,
     [](const Sandbox& s) { s.link("game.sav", "gone/new.sav"); }, "game.sav", kInvalid},
    {"LinkLoop", Command::Save, [](const Sandbox& s) { s.link("game.sav", "game.sav"); },
     "game.sav", kLoop},
    {"LinkToAFolder", Command::Save,
     [](const Sandbox& s) {
         s.folder("sub");
         s.link("game.sav", "sub");
     },
     "game.sav", kDenied},
    {"Folder", Command::Save, [](const Sandbox& s) { s.folder("game.sav"); }, "game.sav", kDenied},
    {"Pipe", Command::Save, [](const Sandbox& s) { s.pipe("game.sav"); }, "game.sav", kDenied},
    {"Socket", Command::Save, [](const Sandbox& s) { s.socket("game.sav"); }, "game.sav", kDenied},
    {"Device", Command::Save, [](const Sandbox& s) { s.device("game.sav"); }, "game.sav", kDenied,
     "", Runner::Root},
    {"ReadOnlyFile", Command::Save, [](const Sandbox& s) { s.file("game.sav", 0444, kNobody); },
     "game.sav", kDenied, "", Runner::OtherUser},
    {"AnotherUsersFile", Command::Save, [](const Sandbox& s) { s.file("game.sav", 0644, 0); },
     "game.sav", kDenied, "", Runner::OtherUser},
    {"LinkIntoAFolderItMayNotWrite", Command::Save,
     [](const Sandbox& s) {
         s.folder("locked", 0755);
         s.file("locked/real.sav", 0666);
         s.link("game.sav", "locked/real.sav");
     },
     "game.sav", kDenied, "", Runner::OtherUser},
    {"LongestName", Command::Save, [](const Sandbox& s) { s.file(kLongName); }, kLongName, "",
     kLongName},
    {"LongestNewName", Command::Save, nullptr, kLongName, "", kLongName},
    {"NameTooLong", Command::Save, nullptr, "n" + kLongName, kInvalid},
    {"MissingFolder", Command::Save, nullptr, "gone/game.sav", kInvalid},
    {"FileInPlaceOfAFolder", Command::Save, oldFile, "game.sav/x.sav", kInvalid},
    {"WriteFails", Command::Save, oldFile, "game.sav", "I/O error 5.", "", Runner::Self,
     FileCall::Write, EIO},
    {"SyncFails", Command::Save, oldFile, "game.sav", "I/O error 5.", "", Runner::Self,
     FileCall::Sync, EIO},
    {"RenameFails", Command::Save, oldFile, "game.sav", "I/O error 5.", "", Runner::Self,
     FileCall::Rename, EIO},
    {"TemporaryNameFails", Command::Save, oldFile, "game.sav", "I/O error 5.", "", Runner::Self,
     FileCall::CreateTemporary, EIO},
    {"NoUnnamedFiles", Command::Save, oldFile, "game.sav", "", "game.sav", Runner::Self,
     FileCall::CreateUnnamed, EOPNOTSUPP},
    {"DiskFull", Command::Save, oldFile, "game.sav", "Disk full.", "", Runner::Self,
     FileCall::Write, EFBIG},

    {"OpenFile", Command::Open, oldFile, "game.sav", ""},
    {"OpenChainOfLinks", Command::Open,
     [](const Sandbox& s) {
         s.folder("sub");
         s.file("real.sav");
         s.link("sub/middle.sav", "../real.sav");
         s.link("game.sav", "sub/middle.sav");
     },
     "game.sav", ""},
    {"OpenDanglingLink", Command::Open, [](const Sandbox& s) { s.link("game.sav", "none.sav"); },
     "game.sav", kNotFound},
    {"OpenMissingFile", Command::Open, nullptr, "game.sav", kNotFound},
    {"OpenMissingFolder", Command::Open, nullptr, "gone/game.sav", kInvalid},
    {"OpenFileInPlaceOfAFolder", Command::Open, oldFile, "game.sav/x.sav", kInvalid},
    {"OpenLinkLoop", Command::Open, [](const Sandbox& s) { s.link("game.sav", "game.sav"); },
     "game.sav", kLoop},
    {"OpenFolder", Command::Open, [](const Sandbox& s) { s.folder("game.sav"); }, "game.sav",
     kDenied},
    {"OpenPipe", Command::Open, [](const Sandbox& s) { s.pipe("game.sav"); }, "game.sav", kDenied},
    {"OpenSocket", Command::Open, [](const Sandbox& s) { s.socket("game.sav"); }, "game.sav",
     kDenied},
    {"OpenDevice", Command::Open, [](const Sandbox& s) { s.device("game.sav"); }, "game.sav",
     kDenied, "", Runner::Root},
    {"OpenAnotherUsersFile", Command::Open, [](const Sandbox& s) { s.file("game.sav", 0600, 0); },
     "game.sav", kDenied, "", Runner::OtherUser},
    {"OpenReadFails", Command::Open, oldFile, "game.sav", "I/O error 5.", "", Runner::Self,
     FileCall::Read, EIO},
};

INSTANTIATE_TEST_SUITE_P(Cases, FileCommandTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace morvantide
