#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Watching the stitch worker processes that this test process starts.
namespace StitchWorkers {

// The ids of this process's children that run the stitch worker.
QList<qint64> running();
// Whether a process with this id still exists (a zombie counts as gone).
bool alive(qint64 pid);
// The stitch folders left under the temporary folder.
QStringList leftoverFolders();

} // namespace StitchWorkers
