// The entries of a package that extraction refuses. `verify` reports them
// and `extract` stops on them before it writes anything: a package is read
// from the index anyone may have written, so every name in a tree is
// checked where it would become part of a path.
#pragma once

#include <string>
#include <vector>

#include "install/extractfilelist.h"

namespace glimmora_pack {

struct EntryProblem {
  std::u16string path;  // the entry's tree path, as TreePath gives it
  std::string what;     // why it is refused, printable
};

// Every refused entry of `list`, in tree order, with the destination root
// standing for `installFolder` ("X:\...\"): an entry of another kind than a
// predefined folder whose name is no plain file or folder name (the list's
// root included, since each name is a prefix of those below it); a second
// entry of a name in one folder, ignoring case; and an entry whose target
// has no place below the drives.
std::vector<EntryProblem> CheckListEntries(const CExtractFileList& list, const std::u16string& installFolder);

// "Common:[ProgramFilesFolder]\Glimmora\x.exe", or "the root of list
// Common", printable.
std::string EntryLabel(const std::u16string& list, const std::u16string& path);

}  // namespace glimmora_pack
