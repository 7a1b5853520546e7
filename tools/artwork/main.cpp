// Draws every compiled-in picture of the application, the resource collection that lists them and
// the desktop entry with its icon. Run it again after changing a picture and commit its output.
//
//   seamwright-artwork [--sheet contact.png [--scale n] [--only regex]] <resources folder>

#include "artkit.h"
#include "desktopart.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

namespace {

bool writeText(const QString& path, const QString& content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content.toUtf8());
    return file.commit();
}

QString resourceCollection(const Art::Pictures& pictures)
{
    QString xml;
    QTextStream out(&xml);
    out << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n<qresource prefix=\"/images\">\n";
    out << "    <file alias=\"fonts/Proxima-Nova-Bold.ttf\">fonts/Lato-Bold.ttf</file>\n";
    for (const Art::Picture& picture : pictures)
        out << "    <file>" << picture.path << "</file>\n";
    out << "</qresource>\n</RCC>\n";
    return xml;
}

// Pictures the generator no longer makes would otherwise linger beside the collection.
void removeStalePictures(const QDir& images, const Art::Pictures& pictures)
{
    QStringList kept;
    for (const Art::Picture& picture : pictures)
        kept << QDir::cleanPath(QFileInfo(images.filePath(picture.path)).absoluteFilePath());
    for (const QString& folder : {QStringLiteral("."), QStringLiteral("color")}) {
        const QDir dir(images.filePath(folder));
        for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*.png")}, QDir::Files)) {
            if (!kept.contains(QDir::cleanPath(info.absoluteFilePath())))
                QFile::remove(info.filePath());
        }
    }
}

// The pictures whose path matches `only` enlarged on the panel colour and labelled, for
// looking the set over.
QImage contactSheet(const Art::Pictures& pictures, int scale, const QString& only)
{
    const int sheetWidth = 1800, gap = 16, label = 14;
    struct Placed
    {
        QRect box;
        const Art::Picture* picture;
    };
    QVector<Placed> placed;
    int x = gap, y = gap, rowHeight = 0;
    for (const Art::Picture& picture : pictures) {
        if (!picture.path.contains(QRegularExpression(only)))
            continue;
        const QSize size = picture.image.size() * scale;
        const int boxWidth = qMax(size.width(), 110);
        if (x + boxWidth > sheetWidth - gap) {
            x = gap;
            y += rowHeight + gap;
            rowHeight = 0;
        }
        placed.append({QRect(x, y, boxWidth, size.height() + label), &picture});
        x += boxWidth + gap;
        rowHeight = qMax(rowHeight, size.height() + label);
    }
    QImage sheet = Art::blank(sheetWidth, y + rowHeight + gap, Art::panel);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const Placed& p : placed) {
        const QSize size = p.picture->image.size() * scale;
        painter.drawImage(QRect(p.box.topLeft(), size), p.picture->image);
        painter.setPen(Art::muted);
        painter.setFont(Art::font(10));
        painter.drawText(QRect(p.box.left(), p.box.top() + size.height(), p.box.width() + gap, label),
                         Qt::AlignLeft | Qt::AlignVCenter, p.picture->path);
    }
    return sheet;
}

} // namespace

int main(int argc, char* argv[])
{
    // Drawing needs no screen; the offscreen platform keeps the output the same everywhere.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList args = app.arguments().mid(1);
    auto option = [&args](const QString& name, const QString& fallback) {
        const int at = args.indexOf(name);
        if (at < 0 || at + 1 >= args.size())
            return fallback;
        const QString value = args.at(at + 1);
        args.erase(args.begin() + at, args.begin() + at + 2);
        return value;
    };
    const QString sheetPath = option(QStringLiteral("--sheet"), QString());
    const int sheetScale = qBound(1, option(QStringLiteral("--scale"), QStringLiteral("2")).toInt(), 8);
    const QString sheetFilter = option(QStringLiteral("--only"), QString());
    if (args.size() != 1) {
        std::fprintf(stderr, "usage: seamwright-artwork [--sheet contact.png [--scale n] [--only regex]] "
                             "<resources folder>\n");
        return 2;
    }
    const QDir resources(args.first());
    const QDir images(resources.filePath(QStringLiteral("images")));
    if (!Art::loadFont(images.filePath(QStringLiteral("fonts/Lato-Bold.ttf")))) {
        std::fprintf(stderr, "cannot load %s\n",
                     qPrintable(images.filePath(QStringLiteral("fonts/Lato-Bold.ttf"))));
        return 1;
    }

    // Every picture twice: as named, and drawn at twice the size as "name@2x.png" for scale factor 2.
    Art::Pictures pictures;
    for (int scale : {1, 2}) {
        Art::setScale(scale);
        Art::Pictures set;
        set << topBarPictures() << panelIconPictures() << controlPictures() << patternPictures()
            << posterPictures();
        for (Art::Picture& picture : set) {
            if (scale > 1)
                picture.path.replace(QRegularExpression(QStringLiteral("\\.png$")),
                                     QStringLiteral("@2x.png"));
            picture.image.setDevicePixelRatio(1);
        }
        pictures << set;
    }
    Art::setScale(1);
    std::sort(pictures.begin(), pictures.end(),
              [](const Art::Picture& a, const Art::Picture& b) { return a.path < b.path; });

    QDir().mkpath(images.filePath(QStringLiteral("color")));
    bool ok = true;
    for (const Art::Picture& picture : pictures) {
        if (!picture.image.save(images.filePath(picture.path), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(images.filePath(picture.path)));
            ok = false;
        }
    }
    removeStalePictures(images, pictures);
    ok = writeText(images.filePath(QStringLiteral("images.qrc")), resourceCollection(pictures)) && ok;
    ok = writeDesktopFiles(resources) && ok;
    if (!sheetPath.isEmpty())
        ok = contactSheet(pictures, sheetScale, sheetFilter).save(sheetPath, "PNG") && ok;
    std::printf("%d pictures written to %s\n", int(pictures.size()), qPrintable(images.absolutePath()));
    return ok ? 0 : 1;
}
