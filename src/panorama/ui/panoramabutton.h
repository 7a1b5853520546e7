#pragma once

#include <QPushButton>

// The 84 x 24 picture button shared by the panorama pages; word names its pictures.
inline QPushButton* makePanoramaButton(const QString& word, QWidget* parent)
{
    auto* button = new QPushButton(parent);
    button->setFixedSize(84, 24);
    button->setStyleSheet(
        QStringLiteral("QPushButton {border-image: url(:/images/Panorama-%1.png);}"
                       "QPushButton:pressed {border-image: url(:/images/Panorama-%1-active.png);}")
            .arg(word));
    return button;
}
