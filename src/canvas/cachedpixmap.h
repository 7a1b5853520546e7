#pragma once

#include <QPixmap>
#include <QString>

// A pixmap loaded by path once and then served from QPixmapCache; null when the path does not load.
QPixmap cachedPixmap(const QString& path);
