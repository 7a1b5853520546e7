#pragma once

#include <QLabel>

// Slider captions of the tool panel.
class HelveticaNeueLabel : public QLabel
{
    Q_OBJECT
public:
    explicit HelveticaNeueLabel(const QString& text, QWidget* parent = nullptr);
};
