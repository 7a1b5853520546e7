#include "app/toolbutton.h"

#include <QHBoxLayout>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

ToolButton::ToolButton(const QString& name, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
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

void ToolButton::setMenu(QMenu* menu)
{
    if (!menuButton) {
        menuButton = new QToolButton(this);
        menuButton->setArrowType(Qt::DownArrow);
        menuButton->setPopupMode(QToolButton::InstantPopup);
        menuButton->setFixedSize(14, pushButton->height());
        menuButton->setAutoRaise(true);
        menuButton->setStyleSheet("QToolButton {border: none;} QToolButton::menu-indicator {image: none;}");
        // Beside the picture, over the margin before the next button.
        auto* row = new QHBoxLayout;
        row->setSpacing(0);
        layout()->removeWidget(pushButton);
        row->addWidget(pushButton);
        row->addWidget(menuButton);
        static_cast<QVBoxLayout*>(layout())->addLayout(row);
    }
    menuButton->setMenu(menu);
}
