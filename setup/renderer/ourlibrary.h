// Telling our own libraries from others of the same file name.
//
// The splash renderer and its companions go into the system folder under
// names that other software uses too, so before the setup program replaces
// such a file, and before the renderer loads a companion, the file's version
// resource must say it is ours: CompanyName "Tavrin" and ProductName
// "Tavrin Glimmora splash" in the same string table.
#pragma once

#include <string>

// True only when the file exists, has a version resource, and one of its
// string tables names our company and our splash product.
bool IsOurLibrary(const std::u16string& path);

// One value ("CompanyName", "InternalName", ...) of the file's version
// resource, from the first string table that has it; empty when the file,
// its version resource or the value is missing.
std::u16string FileVersionString(const std::u16string& path, const std::u16string& name);
