#include "app/toolbutton.h"

#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

ToolButton::ToolButton(const QString& name, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 0, 0, 3);
    pushButton = new QPushButton(this);
    layout->addWidget(pushButton);
    // The picture decides the size; a missing one leaves an empty 0x0 button.
    const QPixmap picture(QString(":/images/Buttons-%1.png").arg(name));
    pushButton->setFixedSize(picture.size());
    pushButton->setStyleSheet(
        QString("QPushButton {border-image: url(:/images/Buttons-%1.png);}"
                "QPushButton:pressed {border-image: url(:/images/Buttons-%1-active.png);}")
            .arg(name));
}
