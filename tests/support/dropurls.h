#pragma once

#include <QList>
#include <QPoint>
#include <QUrl>

class QWidget;

// Drags the URLs onto the widget and drops them at position, as a desktop drag would; returns
// whether the drop was accepted (false also when the drag's entry was refused). Returns once the photos
// it brought have come in.
bool dropUrls(QWidget* target, const QList<QUrl>& urls, const QPoint& position = QPoint(10, 10));
