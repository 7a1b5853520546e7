#include "widgets/mainframe.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QVBoxLayout>

MainFrame::MainFrame(QWidget* parent) : QWidget(parent)
{
    layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

MainFrame::~MainFrame()
{
    // A caller still waiting in exec() must not wait on a window that no longer exists.
    if (runningLoop)
        runningLoop->quit();
}

void MainFrame::setContentWidget(QWidget* w)
{
    if (contentWidget) {
        layout->removeWidget(contentWidget);
        delete contentWidget;
    }
    contentWidget = w;
    if (!w)
        return;
    w->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    layout->addWidget(w);
}

int MainFrame::exec()
{
    show();
    QEventLoop loop;
    connect(this, SIGNAL(finished()), &loop, SLOT(quit()));
    QPointer<QEventLoop> outerLoop = runningLoop;
    runningLoop = &loop;
    QPointer<MainFrame> self(this);
    const int code = loop.exec();
    if (self)
        runningLoop = outerLoop;
    return code;
}

void MainFrame::done()
{
    closingFromDone = true;
    emit finished();
    close();
    closingFromDone = false;
}

bool MainFrame::event(QEvent* e)
{
    const bool handled = QWidget::event(e);
    // The window system's close control ends a running exec() the way done() would; a close made
    // by done() itself has already emitted finished().
    if (e->type() == QEvent::Close && e->isAccepted() && runningLoop && !closingFromDone)
        emit finished();
    return handled;
}
