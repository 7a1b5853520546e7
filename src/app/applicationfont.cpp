#include "app/applicationfont.h"

#include <QFont>
#include <QFontDatabase>

QString registerApplicationFont()
{
    static QString family;
    if (!family.isEmpty())
        return family;
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/images/fonts/Proxima-Nova-Bold.ttf"));
    if (id < 0)
        return {};
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty())
        return {};
    family = families.first();
    QFont::insertSubstitution(QStringLiteral("Proxima Nova"), family);
    return family;
}
