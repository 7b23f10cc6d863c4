// Names as Windows compares them: two names that differ only in case are
// one file on the target machine.
#pragma once

#include <string>

namespace glimmora_pack {

// `name` with each UTF-16 unit in upper case, one unit at a time as NTFS
// compares names (so "é" meets "É" and "ı" meets "I"). Surrogates are kept.
std::u16string FoldName(const std::u16string& name);

}  // namespace glimmora_pack
