#include "morvantide/io_error.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace morvantide {
namespace {

struct MessageCase {
    int code;
    const char* message;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
    *os << c.code;
}

class IoErrorMessageText : public testing::TestWithParam<MessageCase> {};

TEST_P(IoErrorMessageText, NamesTheError) {
    EXPECT_EQ(IoErrorMessage(GetParam().code), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, IoErrorMessageText,
    testing::Values(MessageCase{2, "File not found"}, MessageCase{3, "Invalid filename"},
                    MessageCase{4, "Too many open files"}, MessageCase{5, "File access denied"},
                    MessageCase{100, "Read beyond end of file"}, MessageCase{101, "Disk full"},
                    MessageCase{106, "Invalid numeric input"}, MessageCase{1, "I/O error 1"},
                    MessageCase{6, "I/O error 6"}, MessageCase{105, "I/O error 105"},
                    MessageCase{-3, "I/O error -3"}));

struct ErrnoCase {
    int errnoValue;
    int code;
};

void PrintTo(const ErrnoCase& c, std::ostream* os) {
    *os << "errno " << c.errnoValue;
}

class IoErrorFromErrnoValue : public testing::TestWithParam<ErrnoCase> {};

TEST_P(IoErrorFromErrnoValue, MapsToTheNumberShown) {
    EXPECT_EQ(IoErrorFromErrno(GetParam().errnoValue), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IoErrorFromErrnoValue,
    testing::Values(ErrnoCase{ENOENT, 2}, ErrnoCase{ENOTDIR, 2}, ErrnoCase{ENAMETOOLONG, 3},
                    ErrnoCase{EINVAL, 3}, ErrnoCase{EILSEQ, 3}, ErrnoCase{EMFILE, 4},
                    ErrnoCase{ENFILE, 4}, ErrnoCase{EACCES, 5}, ErrnoCase{EPERM, 5},
                    ErrnoCase{EROFS, 5}, ErrnoCase{EISDIR, 5}, ErrnoCase{ETXTBSY, 5},
                    ErrnoCase{ENOSPC, 101}, ErrnoCase{EDQUOT, 101}, ErrnoCase{EFBIG, 101},
                    ErrnoCase{EIO, EIO}, ErrnoCase{EBUSY, EBUSY}, ErrnoCase{ELOOP, ELOOP}));

} // namespace
} // namespace morvantide
