// The folder the user chose for the installation: completing it, checking
// it and creating it before anything is written there.
#pragma once

#include <string>
#include <vector>

// The longest path the system accepts, without the terminator.
constexpr size_t kMaxInstallPath = 259;
// Room kept below the install folder for the longest path of an installed
// file (the product's deepest file is far shorter; the rest is margin for
// later versions), and the longest folder a user may type so that the
// product folder and the files still fit.
constexpr size_t kReservedForInstalledFiles = 80;
constexpr size_t kMaxTypedFolder = kMaxInstallPath - kReservedForInstalledFiles - 10;  // "Glimmora\" and a backslash

// The folder as typed with every "/" turned into "\" and each run of
// separators made one: "C:/Tools//x" is "C:\Tools\x". Windows accepts both
// spellings, but every path the installation builds and compares uses the
// backslash form.
std::u16string NormalizeFolderSeparators(const std::u16string& typed);

// The normalised folder with a trailing backslash, and in a new installation the product's own folder
// "Glimmora\" below the chosen one; a repair uses the installed folder as
// it is.
std::u16string CompleteInstallFolder(const std::u16string& chosen, bool repair_mode);

// Why a folder cannot take the installation.
enum class FolderProblem {
  kNone,
  kNotRooted,    // not "X:\..." (empty, "C", "C:Tools", "\\server\share", "Tools")
  kBadName,      // a character no folder name may hold, or a "." / ".." level
  kTooLong,      // the longest file path of the installation would not fit
  kNotCreated,   // a level could not be created (or a file holds its name)
  kNotWritable,  // the folder exists but nothing can be written into it
};

// Text checks only (nothing touches the disk): `completed` is the folder as
// CompleteInstallFolder made it, `longest_relative` the longest path of an
// installed file below it.
FolderProblem CheckInstallFolderText(const std::u16string& completed, size_t longest_relative);

// Creates every missing level of `completed` ("/" counts as "\") and checks
// that the last one is a folder that can be written into (a probe file is
// created and removed). The levels it made are added to `made` (outermost
// first), so that an installation that fails can remove them again.
FolderProblem CreateInstallFolder(const std::u16string& completed, std::vector<std::u16string>* made = nullptr);
