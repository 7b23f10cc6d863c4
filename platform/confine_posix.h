// POSIX backend only: confining the drives below the platform root.
//
// The packer unpacks packages that anyone can hand it into a folder that may
// already hold links, some of them planted. While confined, the drives below
// the root (see SetPosixRoot) are a closed space:
// - a drive path is walked from the root one name at a time, never through
//   a link, and a path with an empty name, "." or ".." in it is refused;
// - a file is opened and a folder is made without following a link in its
//   place, and a file that has a second hard link is not written;
// - only drive paths can be written or removed; other paths (relative, UNC,
//   the host's own) can still be read.
// A link in the way fails with kErrorStoppedOnSymlink, a refused name with
// kErrorInvalidName.
#pragma once

namespace platform {

void SetPosixConfinement(bool confined);

}  // namespace platform
