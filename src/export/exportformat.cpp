#include "export/exportformat.h"

#include <QFileInfo>

#include <algorithm>
#include <climits>

namespace {

struct KindInfo
{
    ExportFormat::Kind kind;
    const char* name;
    const char* writer;
    const char* suffixes; // the first one is written
    int maxSide;
};

const KindInfo kinds[] = {
    {ExportFormat::Kind::Png, "PNG", "png", "png", INT_MAX},
    // The JPEG writer's own limit, below the format's 65535.
    {ExportFormat::Kind::Jpeg, "JPEG", "jpeg", "jpg jpeg jpe", 65500},
    {ExportFormat::Kind::Webp, "WebP", "webp", "webp", 16383},
};

const KindInfo& infoOf(ExportFormat::Kind kind)
{
    for (const KindInfo& info : kinds)
        if (info.kind == kind)
            return info;
    return kinds[0];
}

QStringList suffixesOf(const KindInfo& info)
{
    return QString::fromLatin1(info.suffixes).split(QLatin1Char(' '));
}

} // namespace

std::optional<ExportFormat::Kind> ExportFormat::kindOfName(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    for (const KindInfo& info : kinds)
        if (suffixesOf(info).contains(suffix))
            return info.kind;
    return std::nullopt;
}

QString ExportFormat::suffix(Kind kind)
{
    return suffixesOf(infoOf(kind)).first();
}

QString ExportFormat::displayName(Kind kind)
{
    return QString::fromLatin1(infoOf(kind).name);
}

QString ExportFormat::nameFilter(Kind kind)
{
    QStringList patterns;
    for (const QString& suffix : suffixesOf(infoOf(kind)))
        patterns << QStringLiteral("*.") + suffix;
    return tr("%1 image (%2)").arg(displayName(kind), patterns.join(QLatin1Char(' ')));
}

std::optional<ExportFormat::Kind> ExportFormat::kindOfNameFilter(const QString& filter)
{
    for (const KindInfo& info : kinds)
        if (filter == nameFilter(info.kind))
            return info.kind;
    return std::nullopt;
}

int ExportFormat::maxSide(Kind kind)
{
    return infoOf(kind).maxSide;
}

bool ExportFormat::fits(const QSize& size) const
{
    return std::max(size.width(), size.height()) <= maxSide(kind);
}

QString ExportFormat::tooLargeText(const QSize& size) const
{
    return tr("A %1 file holds at most %2 pixels a side; this picture is %3 x %4 pixels.")
        .arg(displayName(kind))
        .arg(maxSide(kind))
        .arg(size.width())
        .arg(size.height());
}

QByteArray ExportFormat::writerFormat() const
{
    return infoOf(kind).writer;
}

int ExportFormat::writerQuality() const
{
    // The WebP writer stores losslessly at quality 100 and only then.
    if (kind == Kind::Webp)
        return lossless ? 100 : std::clamp(quality, 0, 99);
    return std::clamp(quality, 0, 100);
}
