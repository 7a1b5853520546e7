#pragma once

#include <QSize>
#include <QStringList>

// Overlapping photos for stitching tests: views of one synthetic, feature-rich scene taken by a
// camera that turns about its vertical axis, saved as JPEG files.
namespace PanoramaViews {

// The default names: three views, left to right.
QStringList defaultFileNames();

// Renders one view per file name, left to right, each turned by yawStepDegrees from the previous
// one, and writes them into directory (which must exist). Names may hold any characters the file
// system accepts. Returns the absolute paths in order, or an empty list if a file could not be
// written. sensorNoise, the standard deviation of a noise of its own in each view, makes them decode
// and match like camera photos.
QStringList write(const QString& directory, const QStringList& fileNames = defaultFileNames(),
                  const QSize& viewSize = QSize(640, 480), double yawStepDegrees = 18.0,
                  double sensorNoise = 0);

// Views of a scene wrapped round the camera on a cylinder, for sets too wide for one plane: columns
// turned yawStepDegrees apart, and rows of them tilted pitchStepDegrees apart (fileNames go column by
// column, top row first). The scene's detail is drawn at the views' own size, never enlarged; the
// library warps it only while the unrolled scene stays under 32767 pixels each way.
QStringList writeAround(const QString& directory, const QStringList& fileNames, const QSize& viewSize,
                        int rows, double yawStepDegrees, double pitchStepDegrees, double sensorNoise);

} // namespace PanoramaViews
