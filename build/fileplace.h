// Putting a file in the place of another without losing the one that was
// there: the previous file is moved aside (a file in use can be renamed,
// though not removed or overwritten) and removed once it is no longer needed.
#pragma once

#include <string>

// Moves `target` aside into a unique name in its own folder; the new name,
// or empty when it could not be moved (nothing changed then).
std::u16string MoveAside(const std::u16string& target);

// Removes a file; one still in use is left for the next restart. True when
// it had to wait for the restart.
bool RemoveNowOrAtRestart(const std::u16string& path);
