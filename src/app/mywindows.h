#pragma once

#include <QWidget>

class MainWindow;

class MyWindows : public QWidget
{
    Q_OBJECT
public:
    explicit MyWindows(QWidget* parent = nullptr);
};
