#pragma once

#include <QString>
#include <QUrl>

// Where the user guide opened by "help" is found.
namespace HelpPage {
// The guide installed with the program: <prefix>/share/seamwright/help/index.html for a program in
// <prefix>/bin.
QString installedPath(const QString& applicationDir);

// The installed guide if it is there; otherwise the compiled-in copy, written out below extractDir
// so that a browser can open it. An empty URL when neither can be had.
QUrl locate(const QString& applicationDir, const QString& extractDir);

// The writable folder the compiled-in guide is written to.
QString defaultExtractDir();
} // namespace HelpPage
