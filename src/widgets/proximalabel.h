#pragma once

#include <QLabel>

// Section titles of the tool panel.
class ProximaLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ProximaLabel(const QString& text, QWidget* parent = nullptr);
};
