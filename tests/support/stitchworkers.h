#pragma once

#include "panorama/engine/panoramarequest.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <thread>

// Watching the stitch worker processes that this test process starts.
namespace StitchWorkers {

// The ids of this process's children that run the stitch worker.
// A stitch of the photos, their paths in the locale's encoding as the window sends them.
PanoramaRequest request(const QStringList& paths, const std::string& style = "Panorama");

QList<qint64> running();
// Whether a process with this id still exists (a zombie counts as gone).
bool alive(qint64 pid);
// The stitch folders left under the temporary folder.
QStringList leftoverFolders();

// Counts, from a thread of its own, how many stitch workers ever ran at once.
class Watch
{
public:
    Watch();
    ~Watch();
    // Stops watching and returns the most seen at once.
    int stop();

private:
    std::atomic<bool> done{false};
    std::atomic<int> most{0};
    std::thread sampler;
};

} // namespace StitchWorkers
