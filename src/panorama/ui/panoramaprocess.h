#pragma once

#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class PanoramaThread;
class QProgressBar;
class QTimer;

// The progress page of the panorama window: starts the stitch on its worker and animates a bar until
// the worker answers with a result or an error.
class PanoramaProcess : public QWidget
{
    Q_OBJECT
public:
    PanoramaProcess(const QStringList& imageList, const QString& style, QWidget* parent = nullptr);

    // The worker still to answer, or null once it has deleted itself.
    PanoramaThread* currentWorker() const;
    QProgressBar* progress() const { return progressBar; }

signals:
    void signalsPanorama(const QImage& img, const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;

private slots:
    void processTimer();
    void onPanoramaResult(QImage imgPath, QString message);
    void onPanoramaError(QString error);

private:
    void closeWindow();

    QTimer* tickTimer = nullptr;
    QProgressBar* progressBar = nullptr;
    // The worker deletes itself when it ends; the pointer must not outlive it.
    QPointer<PanoramaThread> worker;
};
