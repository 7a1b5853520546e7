#pragma once

#include <QIcon>
#include <QPushButton>

// A push button that shows a second icon while it is checked.
class IconPushButton : public QPushButton
{
    Q_OBJECT
public:
    IconPushButton(const QString& normalIconPath, const QString& checkedIconPath, QWidget* parent = nullptr);

private slots:
    void deltToggled(bool checked);

private:
    QIcon normalIcon;
    QIcon checkedIcon;
};
