#pragma once

#include <QString>

// The temporary folders stitches work in. Each one's name carries the id of the process it belongs
// to, so that a folder left by a process that is gone can be told from one in use.
namespace StitchFolders {

// The template for a new folder of this process, for QTemporaryDir.
QString folderTemplate();

// Removes this user's stitch folders whose process no longer runs; the number removed.
int sweep();

} // namespace StitchFolders
