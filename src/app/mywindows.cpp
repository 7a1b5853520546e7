#include "app/mywindows.h"

#include "app/mainwindow.h"
#include "app/recoverycontrols.h"

#include <QCloseEvent>
#include <QTimer>
#include <QVBoxLayout>

MyWindows::MyWindows(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    main = new MainWindow(this);
    main->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    layout->addWidget(main);
    setMinimumSize(800, 600);
    resize(900, 673);
    setWindowTitle(tr("Seamwright") + QStringLiteral("[*]"));
    // Once the window shows: a strip a crash left behind is offered back.
    QTimer::singleShot(0, main, [this] { main->recovery()->offerLeftovers(); });
}

void MyWindows::closeEvent(QCloseEvent* event)
{
    if (main->confirmClose())
        event->accept();
    else
        event->ignore();
}
