// Injected faults for the tests (see fault_vfs.cpp): the name of the SQLite
// file layer to open the company with, or nullptr for the system's own.
#pragma once

namespace vx70::data {

// Set $VX70_FAULT_DISK_FULL to a path: while a file of that path exists,
// every write of the company database fails as on a full disk.
const char* fileLayerForFaults();

}  // namespace vx70::data
