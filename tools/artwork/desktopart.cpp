#include "desktopart.h"

#include "artkit.h"

#include <QDir>
#include <QSaveFile>
#include <cstdio>

namespace {

// Exec takes the files a file manager opens with the application; MimeType names the photo formats
// the installed readers take and the project files.
const char desktopEntry[] =
    "[Desktop Entry]\n"
    "Type=Application\n"
    "Name=Seamwright\n"
    "GenericName=Photo Stitcher\n"
    "Comment=Join photos into one long picture or stitch a panorama\n"
    "Exec=seamwright %F\n"
    "TryExec=seamwright\n"
    "Icon=seamwright\n"
    "Terminal=false\n"
    "StartupWMClass=seamwright\n"
    "Categories=Graphics;Photography;\n"
    "Keywords=stitch;panorama;collage;strip;screenshot;\n"
    "MimeType=image/png;image/jpeg;image/bmp;image/webp;image/x-portable-bitmap;"
    "image/x-portable-graymap;image/x-portable-pixmap;image/x-xbitmap;image/x-xpixmap;"
    "application/x-seamwright-project;\n";

const int iconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

bool complain(const QString& path)
{
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

} // namespace

bool writeDesktopFiles(const QDir& resources)
{
    const QDir desktop(resources.filePath(QStringLiteral("desktop")));
    bool ok = true;
    // Each size is drawn, not scaled, so that the small ones stay sharp.
    for (const int size : iconSizes) {
        const QString folder = desktop.filePath(QStringLiteral("icons/%1x%1/apps").arg(size));
        const QString path = folder + QStringLiteral("/seamwright.png");
        if (!QDir().mkpath(folder) || !Art::logo(size).save(path, "PNG"))
            ok = complain(path);
    }
    QSaveFile entry(desktop.filePath(QStringLiteral("app.seamwright.Seamwright.desktop")));
    if (!entry.open(QIODevice::WriteOnly) || entry.write(desktopEntry) < 0 || !entry.commit())
        ok = complain(entry.fileName());
    return ok;
}
