#include "panorama/ui/panoramaprocess.h"

#include "panorama/engine/panoramathread.h"
#include "widgets/theme.h"

#include <QLabel>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

PanoramaProcess::PanoramaProcess(const QStringList& imageList, const QString& style, QWidget* parent)
    : QWidget(parent), photos(imageList.size())
{
    progressBar = new QProgressBar(this);
    progressBar->setRange(0, 200);
    progressBar->setFixedWidth(500);
    progressBar->setEnabled(false);
    progressBar->move(100, 180);
    progressBar->setTextVisible(false);
    progressBar->setValue(20);
    // A dark track, as everything else on the page.
    progressBar->setStyleSheet(
        Theme::sheet("QProgressBar { border-radius: 5px; height: 10; background-color: @bar;"
                     " border: 1px solid @border;}"
                     "QProgressBar::chunk {border-radius: 5px; background-color: #4588d1;}"));

    auto* label = new QLabel(tr("Calculating and Stitching ..."), this);
    label->move(300, 200);
    label->setStyleSheet(QStringLiteral("color: #EBECEE"));

    cancelControl = new QPushButton(tr("Cancel"), this);
    cancelControl->setStyleSheet(Theme::sheet("QPushButton {background-color: @panel; color: @light;"
                                              " border: 1px solid @border; border-radius: 3px;"
                                              " padding: 4px 14px;}"
                                              "QPushButton:pressed {background-color: @accent;}"));
    cancelControl->adjustSize();
    cancelControl->move(350 - cancelControl->width() / 2, 250);
    connect(cancelControl, &QPushButton::clicked, this, [this] {
        cancel();
        emit signalsCancelled();
    });

    tickTimer = new QTimer(this);
    connect(tickTimer, &QTimer::timeout, this, &PanoramaProcess::processTimer);
    tickTimer->start(600);

    PanoramaRequest request;
    request.style = style.toUtf8().toStdString();
    for (const QString& path : imageList)
        request.imageList.push_back(path.toLocal8Bit().toStdString());
    auto* thread = new PanoramaThread(request, nullptr);
    worker = thread;
    connect(thread, &PanoramaThread::signalPanoramaResult, this, &PanoramaProcess::onPanoramaResult);
    connect(thread, &PanoramaThread::siganlPanoramaError, this, &PanoramaProcess::onPanoramaError);
    connect(thread, &PanoramaThread::signalPhotosLeftOut, this, &PanoramaProcess::onPhotosLeftOut);
    connect(thread, &PanoramaThread::signalPictureArea, this, [this](QRect picture) { area = picture; });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start(QThread::InheritPriority);
}

PanoramaProcess::~PanoramaProcess()
{
    cancel();
}

void PanoramaProcess::cancel()
{
    tickTimer->stop();
    if (!worker)
        return;
    disconnect(worker, nullptr, this, nullptr);
    worker->cancel();
}

PanoramaThread* PanoramaProcess::currentWorker() const
{
    return worker;
}

void PanoramaProcess::processTimer()
{
    const int value = progressBar->value();
    if (value < progressBar->maximum()) {
        progressBar->setValue(value + 2);
        return;
    }
    // The bar measures time, not the stitch: while the worker lives its answer is still to come, and
    // a slow stitch is not a failed one. Only a worker gone without an answer has failed.
    if (worker)
        return;
    tickTimer->stop();
    QMessageBox::information(this, QString(),
                             QStringLiteral("Camera params adjust failed, Try another projection."),
                             QMessageBox::Ok);
    closeWindow();
}

void PanoramaProcess::onPanoramaResult(QImage imgPath, QString message)
{
    tickTimer->stop();
    emit signalsPanorama(imgPath, message);
}

void PanoramaProcess::onPhotosLeftOut(QStringList paths)
{
    leftOut = paths;
}

void PanoramaProcess::onPanoramaError(QString error)
{
    tickTimer->stop();
    QMessageBox::information(this, QString(), error, QMessageBox::Ok);
    closeWindow();
}

void PanoramaProcess::closeWindow()
{
    // The page sits inside the panorama window, which is the window to close.
    window()->close();
}

void PanoramaProcess::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.fillRect(rect(), QColor(0x13, 0x18, 0x20));
}
