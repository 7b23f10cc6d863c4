// GDI+ for the rest of the process: started once, before any window paints.
#pragma once

namespace fw {

// True when GDI+ runs. Safe to call any number of times.
bool StartGdiplus();

}  // namespace fw
