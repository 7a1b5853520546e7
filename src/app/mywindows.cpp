#include "app/mywindows.h"

#include "app/mainwindow.h"

#include <QVBoxLayout>

MyWindows::MyWindows(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* mainWindow = new MainWindow(this);
    mainWindow->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    layout->addWidget(mainWindow);
    setMinimumSize(800, 600);
    resize(900, 673);
    setWindowTitle(tr("Seamwright"));
}
