#pragma once

#include "morvantide/io_error.h"

#include <string>
#include <sys/stat.h>
#include <vector>

namespace morvantide {

// What the file a save replaces hands on to the file that replaces it, or, for a new file,
// what a plain create in its folder would give it.
class CarriedAttributes {
public:
    // Those of the old file, open as `fd` and described by `info`: the permission bits with
    // set-user-ID and set-group-ID, the owner, the group and the extended attributes, among
    // them its ACL. An attribute that cannot be read fails with its errno's cause.
    IoError readFrom(int fd, const struct stat& info);
    // What a plain create in `folder` gives: the permission bits the kernel gives a new file
    // there (its default ACL, or 0666 less the umask), or 0600 when they cannot be known. The
    // kernel gives the rest (group, inherited ACL, security label) to any file made there.
    void readPlainCreate(int folder);

    // Gives them to the new file `fd`, after its last write, which would clear set-user-ID:
    // the owner and group first (a change of owner clears set-user-ID and file capabilities),
    // then exactly the old file's extended attributes, then the permission bits. Nothing is
    // left out: an owner that cannot be given back, or an attribute that cannot be set, fails
    // with its errno's cause, and a group that cannot be given back with FileAccessDenied
    // where the change could let anybody do more than before.
    IoError giveTo(int fd) const;

private:
    struct Attribute {
        std::string name;
        std::string value;
    };

    IoError giveOwner(int fd) const;
    bool hasAccessAcl() const;
    IoError giveAttributes(int fd) const;

    bool replacing_ = false;
    mode_t mode_ = 0;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    std::vector<Attribute> attributes_;
};

} // namespace morvantide
