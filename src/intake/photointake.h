#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

class QWidget;

namespace PhotoIntake {

// The part of a path after its last "/": the name the canvas shows for a photo.
QString displayName(const QString& path);

// The two name filters of the "Choose Pictures" dialog: the image files of these formats, then any file.
QStringList nameFilters(const QList<QByteArray>& formats);
// The filters for every photo format the installed readers decode.
QStringList nameFilters();

// The "Choose Pictures" dialog: several existing files, the image filter first, opening in the folder
// photos were last chosen from (which it records). The chosen paths in the dialog's order; none when
// it was cancelled.
QStringList chooseFiles(QWidget* parent, const QString& title, const QStringList& filters = nameFilters());

// The local file paths of dropped URLs, in order; a URL that names no local file gives an empty path.
QStringList localPaths(const QList<QUrl>& urls);

} // namespace PhotoIntake
