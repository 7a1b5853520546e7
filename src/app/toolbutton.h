#pragma once

#include <QWidget>

class QMenu;
class QPushButton;
class QToolButton;

// A picture button of the main window's top bar, named after its pictures.
class ToolButton : public QWidget
{
    Q_OBJECT
public:
    ToolButton(const QString& name, QWidget* parent = nullptr);

    // A narrow arrow beside the picture opens the menu; the picture still does its own command.
    void setMenu(QMenu* menu);

    QPushButton* pushButton = nullptr;
    QToolButton* menuButton = nullptr;
};
