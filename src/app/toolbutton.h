#pragma once

#include <QWidget>

class QPushButton;

// A picture button of the main window's top bar, named after its pictures.
class ToolButton : public QWidget
{
    Q_OBJECT
public:
    ToolButton(const QString& name, QWidget* parent = nullptr);

    QPushButton* pushButton = nullptr;
};
