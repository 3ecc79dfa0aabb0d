#include "file_faults.h"
#include "morvantide/saved_game_file.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <map>
#include <sstream>
#include <string>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace morvantide {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;
const std::string kOld = "52\r\n52\r\n";
const std::string kNew = "92\r\n52\r\n132\r\n52\r\n";

// Everything in a folder tree, as it matters to the user: kind, permissions, owner, what a
// file holds or where a link points (a big file only by its size), and the extended
// attributes, ACLs among them, as the kernel stores them.
struct Entry {
    mode_t mode;
    uid_t uid;
    gid_t gid;
    std::string content;
    std::string attributes = {};
    bool operator==(const Entry&) const = default;
};
using Tree = std::map<std::string, Entry>;

std::ostream& operator<<(std::ostream& out, const Tree& tree) {
    for (const auto& [name, e] : tree)
        out << "\n  " << name << " mode " << std::oct << e.mode << std::dec << " " << e.uid << ":"
            << e.gid << " [" << e.content << "] " << e.attributes;
    return out;
}

// "name=byte,byte,...;" for each attribute, in the kernel's order.
std::string AttributesOf(const fs::path& path) {
    std::string names(4096, '\0'), text;
    names.resize(static_cast<std::size_t>(
        std::max<ssize_t>(0, ::llistxattr(path.c_str(), names.data(), names.size()))));
    for (std::size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const std::string name = names.c_str() + at;
        std::string value(4096, '\0');
        value.resize(static_cast<std::size_t>(
            std::max<ssize_t>(0, ::lgetxattr(path.c_str(), name.c_str(), value.data(), 4096))));
        text += name + "=";
        for (const char byte : value)
            text += std::to_string(static_cast<unsigned char>(byte)) + ",";
        text += ";";
    }
    return text;
}

Entry EntryOf(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0);
    Entry entry{info.st_mode, info.st_uid, info.st_gid, {}, AttributesOf(path)};
    if (S_ISLNK(info.st_mode)) {
        entry.content = fs::read_symlink(path).string();
    } else if (S_ISREG(info.st_mode) && info.st_size > 4096) {
        entry.content = std::to_string(info.st_size) + " bytes";
    } else if (S_ISREG(info.st_mode)) {
        std::ifstream in(path, std::ios::binary);
        entry.content.assign(std::istreambuf_iterator<char>(in), {});
    }
    return entry;
}

Tree Describe(const fs::path& root) {
    Tree tree;
    for (const auto& item : fs::recursive_directory_iterator(root))
        tree[item.path().lexically_relative(root).string()] = EntryOf(item.path());
    return tree;
}

// What a plain create of a file holding `content` gives in `folder`, made and taken away.
Entry PlainCreate(const fs::path& folder, const std::string& content) {
    const fs::path probe = folder / ".probe";
    const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0666);
    EXPECT_EQ(::write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    ::close(fd);
    const Entry entry = EntryOf(probe);
    fs::remove(probe);
    return entry;
}

// An ACL as the kernel stores it: a version word, then a tag, permissions and id per entry
// (tags: 1 owner, 2 named user, 4 group, 0x10 mask, 0x20 others).
std::string AclBytes(std::initializer_list<std::array<unsigned, 3>> entries) {
    std::string bytes{'\2', '\0', '\0', '\0'};
    for (const auto& [tag, permissions, id] : entries) {
        for (const unsigned value : {tag, permissions})
            bytes += {static_cast<char>(value & 0xff), static_cast<char>(value >> 8)};
        for (int shift = 0; shift < 32; shift += 8)
            bytes += static_cast<char>((id >> shift) & 0xff);
    }
    return bytes;
}
constexpr unsigned kNoId = ~0U;
// The group may do nothing, user 4343 may read and write.
const std::string kLimitingAcl =
    AclBytes({{1, 6, kNoId}, {2, 6, 4343}, {4, 0, kNoId}, {0x10, 6, kNoId}, {0x20, 0, kNoId}});
const std::string kDefaultAcl =
    AclBytes({{1, 7, kNoId}, {2, 7, 4343}, {4, 5, kNoId}, {0x10, 7, kNoId}, {0x20, 5, kNoId}});

void MakeSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(path.size(), sizeof address.sun_path);
    path.copy(address.sun_path, path.size());
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
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
        for (const fs::path& folder : appendOnly_)
            setFlags(folder, 0);
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    const fs::path& root() const { return root_; }
    fs::path at(const std::string& name) const { return root_ / name; }
    bool chattrRefused() const { return chattrRefused_; }

    // Makes what `plan` lists, separated by ';': "file NAME [MODE [OWNER]]" (holding an
    // old game), "dir NAME [MODE [OWNER]]" (with any missing parents), "link NAME TARGET
    // [OWNER]" ('$' in TARGET stands for the sandbox), "pipe NAME", "socket NAME", "device NAME"
    // (the null device's number, made here, never in /dev), "blanks NAME SIZE" (a sparse file of
    // zero bytes), "longline NAME SIZE" (the same after "52 "), "acl NAME" (kLimitingAcl),
    // "defaultacl NAME" (kDefaultAcl), "attr NAME KEY VALUE", "appendonly NAME" (chattr +a).
    // An OWNER is a user id, which is its group id too, or "UID:GID".
    void arrange(const std::string& plan) {
        std::istringstream items(plan);
        for (std::string item; std::getline(items, item, ';');) {
            std::istringstream words(item);
            std::string kind, name, extra, owner;
            words >> kind >> name >> extra >> owner;
            const std::string file = at(name).string();
            const char* path = file.c_str();
            const auto modeOr = [&extra](mode_t otherwise) {
                return extra.empty() ? otherwise
                                     : static_cast<mode_t>(std::stoul(extra, nullptr, 8));
            };
            const auto giveTo = [&owner, path] {
                const std::size_t colon = owner.find(':');
                const uid_t uid = owner.empty() ? ::geteuid() : std::stoul(owner);
                const gid_t gid = owner.empty() ? ::getegid()
                                  : colon == std::string::npos
                                      ? uid
                                      : std::stoul(owner.substr(colon + 1));
                EXPECT_EQ(::chown(path, uid, gid), 0);
            };
            if (kind == "file") {
                std::ofstream(path, std::ios::binary) << kOld;
                EXPECT_EQ(::chmod(path, modeOr(0644)), 0);
                giveTo();
            } else if (kind == "dir") {
                EXPECT_TRUE(fs::create_directories(path));
                EXPECT_EQ(::chmod(path, modeOr(0755)), 0);
                giveTo();
            } else if (kind == "link") {
                if (extra.front() == '$')
                    extra.replace(0, 1, root_.string());
                EXPECT_EQ(::symlink(extra.c_str(), path), 0);
                if (!owner.empty()) {
                    EXPECT_EQ(::lchown(path, std::stoul(owner), std::stoul(owner)), 0);
                }
            } else if (kind == "pipe") {
                EXPECT_EQ(::mkfifo(path, 0666), 0);
            } else if (kind == "socket") {
                MakeSocket(file);
            } else if (kind == "device") {
                EXPECT_EQ(::mknod(path, S_IFCHR | 0666, makedev(1, 3)), 0);
            } else if (kind == "blanks" || kind == "longline") {
                std::ofstream(path) << (kind == "longline" ? "52 " : "");
                EXPECT_EQ(::truncate(path, std::stol(extra)), 0);
            } else if (kind == "acl" || kind == "defaultacl") {
                const std::string& acl = kind == "acl" ? kLimitingAcl : kDefaultAcl;
                const char* key =
                    kind == "acl" ? "system.posix_acl_access" : "system.posix_acl_default";
                EXPECT_EQ(::setxattr(path, key, acl.data(), acl.size(), 0), 0) << errno;
            } else if (kind == "attr") {
                EXPECT_EQ(::setxattr(path, extra.c_str(), owner.data(), owner.size(), 0), 0);
            } else if (kind == "appendonly") {
                chattrRefused_ = !setFlags(file, FS_APPEND_FL);
                if (!chattrRefused_)
                    appendOnly_.push_back(file);
            } else {
                ADD_FAILURE() << "unknown kind " << kind;
            }
        }
    }

private:
    static bool setFlags(const fs::path& folder, int flags) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
        const bool set = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return set;
    }

    fs::path root_;
    std::vector<fs::path> appendOnly_;
    bool chattrRefused_ = false;
};

enum class Command { Save, Open };
enum class Commands { Save, Open, Both };
enum class Runner {
    Self,      // this process's user, whoever it is
    Root,      // needs root: a device, another user's file replaced by root
    OtherUser, // a child that has dropped root's rights to those of nobody
};

struct FileCase {
    const char* name;
    Commands commands;
    std::string arrange;      // what is there before, as Sandbox::arrange takes it
    std::string path;         // the chosen name, in the sandbox
    std::string error = {};   // the text shown, "" for success
    std::string written = {}; // the file that holds the saved game after a save, "" for none
    Runner runner = Runner::Self;
    FileCall fault = FileCall::Read;
    int faultErrno = 0; // 0: no fault; EFBIG: a file size limit instead of a hook
};

void PrintTo(const FileCase& c, std::ostream* out) {
    *out << c.name;
}

// Stands for a check in place of an errno: without unnamed files, every write looks for the
// temporary file and fails when anybody else may open it.
constexpr int kOnlyOwnerMayOpen = -1;

FileCall injectedCall;
int injectedErrno;
int interruptions;
fs::path sandboxRoot;

bool TemporaryIsPrivate() {
    for (const auto& item : fs::directory_iterator(sandboxRoot)) {
        if (item.path().filename().string().starts_with(".morvantide-"))
            return (fs::status(item).permissions() &
                    (fs::perms::group_all | fs::perms::others_all)) == fs::perms::none;
    }
    return false;
}

int InjectFault(FileCall call) {
    // A short name is made only where the file system has no unnamed files.
    if (call == FileCall::CreateUnnamed &&
        (injectedCall == FileCall::CreateTemporary || injectedErrno == kOnlyOwnerMayOpen))
        return EOPNOTSUPP;
    if (injectedErrno == kOnlyOwnerMayOpen)
        return call == FileCall::Write && !TemporaryIsPrivate() ? EIO : 0;
    // A signal interrupts a call once.
    if (call != injectedCall || (injectedErrno == EINTR && interruptions++ > 0))
        return 0;
    return injectedErrno;
}

// Runs the command in a child, so that a change of user, a file size limit or a fault hook
// ends with it, and returns the text shown ("" for success).
std::string RunInChild(const FileCase& c, Command command, const Sandbox& sandbox) {
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
            // Files may not grow past 4 bytes: the write really fails part way, and the
            // program lives on as its start-up arranges.
            IgnoreFileSizeLimitSignal();
            rlimit small{4, 4};
            ::setrlimit(RLIMIT_FSIZE, &small);
        } else if (c.faultErrno != 0) {
            injectedCall = c.fault;
            injectedErrno = c.faultErrno;
            sandboxRoot = sandbox.root();
            SetFileFaultHook(InjectFault);
        }
        const std::string path = sandbox.at(c.path).string();
        const IoError error = command == Command::Save ? WriteFileReplacing(path, kNew)
                                                       : ReadSavedGameFile(path).error;
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
    for (const Command command : {Command::Save, Command::Open}) {
        if (c.commands != Commands::Both &&
            (c.commands == Commands::Save) != (command == Command::Save))
            continue;
        SCOPED_TRACE(command == Command::Save ? "Save" : "Open");
        Sandbox sandbox;
        sandbox.arrange(c.arrange);
        if (sandbox.chattrRefused())
            GTEST_SKIP() << "the file system takes no append-only flag";
        const Tree before = Describe(sandbox.root());

        EXPECT_EQ(RunInChild(c, command, sandbox), c.error);

        Tree expected = before;
        if (command == Command::Save && !c.written.empty()) {
            const auto old = before.find(c.written);
            if (old != before.end()) {
                expected[c.written] = old->second;
                expected[c.written].content = kNew;
            } else {
                expected[c.written] = PlainCreate(sandbox.at(c.written).parent_path(), kNew);
                if (c.runner == Runner::OtherUser)
                    expected[c.written].uid = expected[c.written].gid = kNobody;
            }
        }
        const Tree after = Describe(sandbox.root());
        EXPECT_EQ(after, expected) << "after:" << after << "\nexpected:" << expected;
    }
}

const std::string kLongName = std::string(251, 'n') + ".sav";
const std::string kDenied = "File access denied.";
const std::string kInvalid = "Invalid filename.";
const std::string kNotFound = "File not found.";
const std::string kLoop = "I/O error " + std::to_string(ELOOP) + ".";

const std::string kIoError5 = "I/O error 5.";
const std::string kNotSynced = "Game saved, but its folder could not be synced: I/O error 5.";
const std::string kDiskFull = "Disk full.";
// Folders 16 deep with a 255-byte file name: the folder fits the system's path limit, the
// whole path does not.
const std::string kDeepFolder = [] {
    std::string folder;
    for (int level = 0; level < 16; ++level)
        folder += (level ? "/" : "") + std::string(248, static_cast<char>('a' + level));
    return folder;
}();
constexpr const char* kOldFile = "file game.sav";
constexpr const char* kChain = "dir sub; file real.sav; link sub/middle.sav ../real.sav; "
                               "link game.sav sub/middle.sav";

const FileCase kCases[] = {
    {"NewFile", Commands::Save, "", "game.sav", "", "game.sav"},
    {"ReplacesKeepingTheMode", Commands::Save, "file game.sav 640", "game.sav", "", "game.sav"},
    {"RootKeepsTheOwner", Commands::Save, "file game.sav 640 65534", "game.sav", "", "game.sav",
     Runner::Root},
    {"RootMayReplaceAReadOnlyFile", Commands::Save, "file game.sav 444", "game.sav", "", "game.sav",
     Runner::Root},
    {"RelativeLink", Commands::Save, "dir sub; file sub/real.sav; link game.sav sub/real.sav",
     "game.sav", "", "sub/real.sav"},
    {"AbsoluteLink", Commands::Save, "file real.sav; link game.sav $/real.sav", "game.sav", "",
     "real.sav"},
    {"ChainOfTwoLinksEachReadInItsFolder", Commands::Save, kChain, "game.sav", "", "real.sav"},
    {"DanglingLinkMakesItsTarget", Commands::Save, "dir sub; link game.sav sub/new.sav", "game.sav",
     "", "sub/new.sav"},
    {"DanglingLinkIntoAMissingFolder", Commands::Save, "link game.sav gone/new.sav", "game.sav",
     kInvalid},
    {"LinkLoop", Commands::Both, "link game.sav game.sav", "game.sav", kLoop},
    {"LinkToAFolder", Commands::Both, "dir sub; link game.sav sub", "game.sav", kDenied},
    {"Folder", Commands::Both, "dir game.sav", "game.sav", kDenied},
    {"Pipe", Commands::Both, "pipe game.sav", "game.sav", kDenied},
    {"Socket", Commands::Both, "socket game.sav", "game.sav", kDenied},
    {"Device", Commands::Both, "device game.sav", "game.sav", kDenied, "", Runner::Root},
    {"ReadOnlyFile", Commands::Save, "file game.sav 444 65534", "game.sav", kDenied, "",
     Runner::OtherUser},
    {"AnotherUsersFile", Commands::Save, "file game.sav 644 0", "game.sav", kDenied, "",
     Runner::OtherUser},
    {"LinkIntoAFolderItMayNotWrite", Commands::Save,
     "dir locked 755; file locked/real.sav 666; link game.sav locked/real.sav", "game.sav", kDenied,
     "", Runner::OtherUser},
    {"LongestName", Commands::Save, "", kLongName, "", kLongName},
    {"LongestNameReplaced", Commands::Save, "file " + kLongName, kLongName, "", kLongName},
    {"NameTooLong", Commands::Both, "", "n" + kLongName, kInvalid},
    {"MissingFolder", Commands::Both, "", "gone/game.sav", kInvalid},
    {"FileInPlaceOfAFolder", Commands::Both, kOldFile, "game.sav/x.sav", kInvalid},
    {"WriteFails", Commands::Save, kOldFile, "game.sav", kIoError5, "", Runner::Self,
     FileCall::Write, EIO},
    {"SyncFails", Commands::Save, kOldFile, "game.sav", kIoError5, "", Runner::Self, FileCall::Sync,
     EIO},
    {"RenameFails", Commands::Save, kOldFile, "game.sav", kIoError5, "", Runner::Self,
     FileCall::Rename, EIO},
    {"TemporaryNameFails", Commands::Save, kOldFile, "game.sav", kIoError5, "", Runner::Self,
     FileCall::CreateTemporary, EIO},
    {"NoUnnamedFiles", Commands::Save, kOldFile, "game.sav", "", "game.sav", Runner::Self,
     FileCall::CreateUnnamed, EOPNOTSUPP},
    {"DiskFull", Commands::Save, kOldFile, "game.sav", kDiskFull, "", Runner::Self, FileCall::Write,
     EFBIG},

    {"OpenFile", Commands::Open, kOldFile, "game.sav"},
    {"OpenChainOfLinks", Commands::Open, kChain, "game.sav"},
    {"OpenDanglingLink", Commands::Open, "link game.sav none.sav", "game.sav", kNotFound},
    {"OpenMissingFile", Commands::Open, "", "game.sav", kNotFound},
    {"OpenAnotherUsersFile", Commands::Open, "file game.sav 600 0", "game.sav", kDenied, "",
     Runner::OtherUser},
    {"OpenReadFails", Commands::Open, kOldFile, "game.sav", kIoError5, "", Runner::Self,
     FileCall::Read, EIO},
    {"OpenHugeFileOfBlanks", Commands::Open, "blanks game.sav 67108864", "game.sav",
     "Invalid numeric input."},

    {"AnotherUsersLinkInAStickyFolder", Commands::Both,
     "dir shared 1777; file shared/real.sav; link shared/game.sav real.sav 65534",
     "shared/game.sav", kDenied, "", Runner::Root},
    {"OwnLinkInAStickyFolder", Commands::Save,
     "dir shared 1777; file shared/real.sav; link shared/game.sav real.sav", "shared/game.sav", "",
     "shared/real.sav"},
    {"AclLimitingTheGroupKept", Commands::Save, "file game.sav 660; acl game.sav", "game.sav", "",
     "game.sav"},
    {"AclThatCannotBeCarriedRefused", Commands::Save, "file game.sav 660; acl game.sav", "game.sav",
     kDenied, "", Runner::Self, FileCall::SetAttribute, EPERM},
    {"UserAttributeKept", Commands::Save, "file game.sav; attr game.sav user.note mine", "game.sav",
     "", "game.sav"},
    {"FolderDefaultAclNotTakenByAFileWithout", Commands::Save,
     "dir sub; file sub/game.sav 640; defaultacl sub", "sub/game.sav", "", "sub/game.sav"},
    {"NewFileUnderADefaultAclAsAPlainCreate", Commands::Save, "dir sub; defaultacl sub",
     "sub/game.sav", "", "sub/game.sav"},
    {"SetIdBitsKeptForAnUnprivilegedSaver", Commands::Save, "file game.sav 6755 65534", "game.sav",
     "", "game.sav", Runner::OtherUser},
    {"TemporaryFileIsPrivate", Commands::Save, kOldFile, "game.sav", "", "game.sav", Runner::Self,
     FileCall::Write, kOnlyOwnerMayOpen},
    {"NoProcToNameTheUnnamedFile", Commands::Save, kOldFile, "game.sav", "", "game.sav",
     Runner::Self, FileCall::NameUnnamed, ENOENT},
    {"FolderSyncInterrupted", Commands::Save, kOldFile, "game.sav", "", "game.sav", Runner::Self,
     FileCall::SyncFolder, EINTR},
    {"FolderSyncFailsAfterTheRename", Commands::Save, kOldFile, "game.sav", kNotSynced, "game.sav",
     Runner::Self, FileCall::SyncFolder, EIO},
    {"FolderGoneMeanwhile", Commands::Save, kOldFile, "game.sav", kInvalid, "", Runner::Self,
     FileCall::Rename, ENOENT},
    {"AppendOnlyFolderLeftClean", Commands::Save, "dir sub; file sub/game.sav; appendonly sub",
     "sub/game.sav", kDenied, "", Runner::Root},
    {"PathLongerThanTheSystemTakes", Commands::Both, "dir " + kDeepFolder,
     kDeepFolder + "/" + kLongName, kInvalid},

    // Every link on the way counts, a folder's as much as the last name's.
    {"AnotherUsersLinkToAFolderInAStickyFolder", Commands::Both,
     "dir shared 1777; dir private; file private/game.sav; link shared/games $/private 65534",
     "shared/games/game.sav", kDenied, "", Runner::Root},
    {"OwnLinkToAFolderInAStickyFolder", Commands::Save,
     "dir shared 1777; dir private; file private/game.sav; link shared/games ../private",
     "shared/games/game.sav", "", "private/game.sav"},
    // A folder sync that fails for any reason but "this file system cannot" is no success.
    {"FolderTurnedReadOnlyBeforeItsSync", Commands::Save, kOldFile, "game.sav",
     "Game saved, but its folder could not be synced: I/O error 30.", "game.sav", Runner::Self,
     FileCall::SyncFolder, EROFS},
    {"FileSystemThatCannotSyncAFolder", Commands::Save, kOldFile, "game.sav", "", "game.sav",
     Runner::Self, FileCall::SyncFolder, EINVAL},
    // Nobody may do more with the file than before, the owner stays, nothing is dropped.
    {"OwnerAndGroupOfAnotherUserKept", Commands::Save, "file game.sav 606 0", "game.sav", kDenied,
     "", Runner::OtherUser},
    {"GroupThatCannotBeGivenBackWidens", Commands::Save, "file game.sav 640 65534:0", "game.sav",
     kDenied, "", Runner::OtherUser},
    {"RootThatCannotGiveTheOwnerBack", Commands::Save, "file game.sav 640 65534", "game.sav",
     kDiskFull, "", Runner::Root, FileCall::GiveOwner, EDQUOT},
    {"NewFileInAFolderItMayNotRead", Commands::Save, "dir sub 311 65534; defaultacl sub",
     "sub/game.sav", "", "sub/game.sav", Runner::OtherUser},
    {"NewFileWithoutUnnamedFiles", Commands::Save, "", "game.sav", "", "game.sav", Runner::Self,
     FileCall::CreateUnnamed, EOPNOTSUPP},
    {"AppendOnlyFolderItMayNotRead", Commands::Save,
     "dir sub 311 65534; file sub/game.sav 644 65534; appendonly sub", "sub/game.sav", kDenied, "",
     Runner::OtherUser},
    {"UserAttributeThatCannotBeRead", Commands::Save,
     "file game.sav 200 65534; attr game.sav user.note mine", "game.sav", kDenied, "",
     Runner::OtherUser},
    {"UserAttributeOnAFullDisk", Commands::Save, "file game.sav; attr game.sav user.note mine",
     "game.sav", kDiskFull, "", Runner::Self, FileCall::SetAttribute, ENOSPC},
    {"AclOnAFailingDisk", Commands::Save, "file game.sav 660; acl game.sav", "game.sav", kIoError5,
     "", Runner::Self, FileCall::SetAttribute, EIO},
    // Each failure says its own cause.
    {"ReadOnlyFileSystemBeforeTheRename", Commands::Save, kOldFile, "game.sav", "I/O error 30.", "",
     Runner::Self, FileCall::Sync, EROFS},
    {"FileGoneMeanwhile", Commands::Save, kOldFile, "game.sav", kNotFound, "", Runner::Self,
     FileCall::OpenOld, ENOENT},
    {"OpenNumberThenAHugeLine", Commands::Open, "longline game.sav 1099511627776", "game.sav",
     "Invalid numeric input."},
};

INSTANTIATE_TEST_SUITE_P(Cases, FileCommandTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace morvantide
