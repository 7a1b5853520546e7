#include "widgets/iconpushbutton.h"

IconPushButton::IconPushButton(const QString& normalIconPath, const QString& checkedIconPath, QWidget* parent)
    : QPushButton(parent), normalIcon(normalIconPath), checkedIcon(checkedIconPath)
{
    setIconSize(QSize(16, 16));
    setIcon(normalIcon);
    connect(this, &QPushButton::toggled, this, &IconPushButton::deltToggled);
}

void IconPushButton::deltToggled(bool checked)
{
    setIcon(checked ? checkedIcon : normalIcon);
}
