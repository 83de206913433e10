// Injected faults for the tests (see fault_vfs.cpp): the name of the SQLite
// file layer to open the company with, or nullptr for the system's own.
#pragma once

namespace vx70::data {

// Set $VX70_FAULT_DISK_FULL to a path: while a file of that path exists,
// every write of the company database fails as on a full disk.
const char* fileLayerForFaults();

// In-process faults, for companies opened after install().
namespace faults {
// Puts the faulting file layer under every company opened from now on.
void install();
// The next `writes` writes to the disk succeed and every later one fails as
// on a full disk; a negative count lets every write through again.
void failWritesAfter(long writes);
}  // namespace faults

}  // namespace vx70::data
