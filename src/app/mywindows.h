#pragma once

#include <QWidget>

class MainWindow;

class MyWindows : public QWidget
{
    Q_OBJECT
public:
    explicit MyWindows(QWidget* parent = nullptr);

    MainWindow* mainWindow() const { return main; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    MainWindow* main = nullptr;
};
