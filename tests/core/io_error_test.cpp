#include "morvantide/io_error.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace morvantide {
namespace {

struct ErrnoCase {
    int errnoValue;
    IoError error;       // what the errno stands for
    const char* message; // what the user reads
};

void PrintTo(const ErrnoCase& c, std::ostream* os) {
    *os << "errno " << c.errnoValue;
}

class IoErrorFromErrnoValue : public testing::TestWithParam<ErrnoCase> {};

TEST_P(IoErrorFromErrnoValue, ShowsTheTextOfWhatHappened) {
    const IoError error = IoErrorFromErrno(GetParam().errnoValue);
    EXPECT_EQ(error, GetParam().error);
    EXPECT_EQ(IoErrorMessage(error), GetParam().message);
}

// Errnos whose values equal the causes' numbers (EINTR 4, EIO 5, ENETDOWN 100, ...) must show
// their own number, never the cause's text.
INSTANTIATE_TEST_SUITE_P(
    Values, IoErrorFromErrnoValue,
    testing::Values(ErrnoCase{ENOENT, IoError::FileNotFound, "File not found"},
                    ErrnoCase{ENOTDIR, IoError::InvalidFilename, "Invalid filename"},
                    ErrnoCase{ENAMETOOLONG, IoError::InvalidFilename, "Invalid filename"},
                    ErrnoCase{EILSEQ, IoError::InvalidFilename, "Invalid filename"},
                    ErrnoCase{EMFILE, IoError::TooManyOpenFiles, "Too many open files"},
                    ErrnoCase{ENFILE, IoError::TooManyOpenFiles, "Too many open files"},
                    ErrnoCase{EACCES, IoError::FileAccessDenied, "File access denied"},
                    ErrnoCase{EPERM, IoError::FileAccessDenied, "File access denied"},
                    ErrnoCase{EROFS, IoError::system(EROFS), "I/O error 30"},
                    ErrnoCase{EISDIR, IoError::FileAccessDenied, "File access denied"},
                    ErrnoCase{ENOSPC, IoError::DiskFull, "Disk full"},
                    ErrnoCase{EDQUOT, IoError::DiskFull, "Disk full"},
                    ErrnoCase{EFBIG, IoError::DiskFull, "Disk full"},
                    ErrnoCase{EIO, IoError::system(EIO), "I/O error 5"},
                    ErrnoCase{EINTR, IoError::system(EINTR), "I/O error 4"},
                    ErrnoCase{EBUSY, IoError::system(EBUSY), "I/O error 16"},
                    ErrnoCase{ENXIO, IoError::system(ENXIO), "I/O error 6"},
                    ErrnoCase{100, IoError::system(100), "I/O error 100"},
                    ErrnoCase{101, IoError::system(101), "I/O error 101"},
                    ErrnoCase{106, IoError::system(106), "I/O error 106"},
                    ErrnoCase{ELOOP, IoError::system(ELOOP), "I/O error 40"}));

TEST(IoErrorMessage, CausesWithoutAnErrnoHaveTheirOwnText) {
    EXPECT_EQ(IoErrorMessage(IoError::ReadBeyondEndOfFile), "Read beyond end of file");
    EXPECT_EQ(IoErrorMessage(IoError::InvalidNumericInput), "Invalid numeric input");
    EXPECT_NE(IoError::system(5), IoError::FileAccessDenied);
    EXPECT_EQ(IoError::system(5).number(), IoError(IoError::FileAccessDenied).number());
    EXPECT_EQ(IoErrorMessage(IoError::folderNotSynced(EIO)),
              "Game saved, but its folder could not be synced: I/O error 5");
    EXPECT_NE(IoError::folderNotSynced(EIO), IoError::system(EIO));
}

} // namespace
} // namespace morvantide
