#pragma once

#include "platform/file_descriptor.h"

#include <QString>

namespace grainlink {

// An advisory lock (flock) on a folder, held from construction to destruction, so that two
// GrainLink processes never read, change and replace a file of that folder at the same time and
// undo each other's change. The folder is locked rather than the file because every write
// replaces the file with a new one, which a lock on the old file would not cover.
//
// Waits while another process holds it; a writer holds it only for the moments of one write.
// A folder that cannot be locked (no permission to open it, a file system without locks) leaves
// the caller unlocked, as before this lock existed, rather than unable to write.
class FolderLock {
public:
    explicit FolderLock(const QString& folder);

private:
    FileDescriptor m_folder;  // closing it releases the lock
};

}  // namespace grainlink
