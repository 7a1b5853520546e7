#include "app/exportchoices.h"

#include "settings/appsettings.h"

#include <QDir>
#include <QSettings>

#include <algorithm>

namespace {

// Names the store before it is opened.
struct Store : QSettings
{
    Store() : QSettings(named()) {}
    static QObject* named()
    {
        AppSettings::instance();
        return nullptr;
    }
};

int kindIndex(ExportFormat::Kind kind)
{
    return int(kind);
}

ExportFormat::Kind kindAt(int index)
{
    const ExportFormat::Kind kinds[] = {ExportFormat::Kind::Png, ExportFormat::Kind::Jpeg,
                                        ExportFormat::Kind::Webp};
    return kinds[std::clamp(index, 0, 2)];
}

} // namespace

ExportFormat ExportChoices::format(ExportFormat::Kind kind)
{
    Store store;
    ExportFormat format;
    format.kind = kind;
    format.quality = std::clamp(store.value("export/quality", ExportFormat::defaultQuality).toInt(), 0, 100);
    format.lossless = store.value("export/lossless", false).toBool();
    return format;
}

void ExportChoices::remember(const ExportFormat& format)
{
    Store store;
    store.setValue("export/quality", format.quality);
    store.setValue("export/lossless", format.lossless);
}

ExportChoices::Parts ExportChoices::parts()
{
    Store store;
    Parts parts;
    parts.folder = store.value("parts/folder", QDir::homePath()).toString();
    parts.name = store.value("parts/name", QStringLiteral("untitled")).toString();
    parts.kind = kindAt(store.value("parts/format", 0).toInt());
    parts.partLength = std::max(1, store.value("parts/length", parts.partLength).toInt());
    parts.calm = store.value("parts/calm", true).toBool();
    parts.sensitivity = std::clamp(store.value("parts/sensitivity", parts.sensitivity).toInt(), 0, 100);
    return parts;
}

void ExportChoices::remember(const Parts& parts)
{
    Store store;
    store.setValue("parts/folder", parts.folder);
    store.setValue("parts/name", parts.name);
    store.setValue("parts/format", kindIndex(parts.kind));
    store.setValue("parts/length", parts.partLength);
    store.setValue("parts/calm", parts.calm);
    store.setValue("parts/sensitivity", parts.sensitivity);
}
