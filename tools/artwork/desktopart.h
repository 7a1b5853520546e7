#pragma once

class QDir;

// Writes the desktop entry and the application icon, drawn at each size of the hicolor theme, into
// the desktop folder of the resources folder; false when a file cannot be written.
bool writeDesktopFiles(const QDir& resources);
