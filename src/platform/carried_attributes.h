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
    // them its ACL. FileAccessDenied when an attribute that limits access cannot be read.
    IoError readFrom(int fd, const struct stat& info);
    // What a plain create in `folder` gives: the permission bits its default ACL allows, or
    // 0666 less the umask. The kernel gives the rest (group, inherited ACL, security label)
    // to any file made in the folder.
    void readPlainCreate(int folder);

    // Gives them to the new file `fd`, after its last write, which would clear set-user-ID:
    // the owner and group first (a change of owner clears set-user-ID and file capabilities),
    // then exactly the old file's extended attributes, then the permission bits. What this
    // process may not set is left out, unless leaving it out could open the file to more
    // people: then FileAccessDenied.
    IoError giveTo(int fd) const;

private:
    struct Attribute {
        std::string name;
        std::string value;
    };

    IoError giveOwner(int fd) const;
    IoError giveAttributes(int fd) const;

    bool replacing_ = false;
    mode_t mode_ = 0;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    std::vector<Attribute> attributes_;
};

} // namespace morvantide
