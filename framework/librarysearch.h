// Where a program of ours takes its libraries from. A program started from a
// folder anybody can write to (a Downloads folder) must never load a library
// that somebody put beside it under the name of a system library.
//
// Every program calls RestrictLibrarySearch before anything else. Linking
// the library that holds it also makes every delay-loaded library of the
// program come from the system folder by its full path (see
// cmake/delayload.cmake for which libraries are delay-loaded).
#pragma once

namespace fw {

// Libraries loaded by name from now on come from the system folder (and the
// side-by-side store a manifest names) only: neither the program's folder
// nor the current folder nor PATH is searched. Returns false on a system
// that lacks SetDefaultDllDirectories (before Windows 8 without its update):
// there only the current folder leaves the search, and delay-loaded
// libraries still come from the system folder by full path.
bool RestrictLibrarySearch();

}  // namespace fw
