#pragma once

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QStringList>
#include <QWidget>

class PanoramaThread;
class QProgressBar;
class QPushButton;
class QTimer;

// The progress page of the panorama window: starts the stitch on its worker and animates a bar until
// the worker answers with a result or an error. Destroying the page cancels the stitch.
class PanoramaProcess : public QWidget
{
    Q_OBJECT
public:
    PanoramaProcess(const QStringList& imageList, const QString& style, QWidget* parent = nullptr);
    ~PanoramaProcess() override;

    // Ends the stitch: no message, no result. The page stays as it is.
    void cancel();
    // The photos the result was made without, known once the result has arrived.
    QStringList leftOutPhotos() const { return leftOut; }
    int photoCount() const { return photos; }
    // The result's largest rectangle of picture, known once the result has arrived.
    QRect pictureArea() const { return area; }

    // The worker still to answer, or null once it has deleted itself.
    PanoramaThread* currentWorker() const;
    QProgressBar* progress() const { return progressBar; }
    QPushButton* cancelButton() const { return cancelControl; }

signals:
    void signalsPanorama(const QImage& img, const QString& message);
    // The user cancelled: the stitch is ended, the list is wanted back.
    void signalsCancelled();

protected:
    void paintEvent(QPaintEvent* event) override;

private slots:
    void processTimer();
    void onPanoramaResult(QImage imgPath, QString message);
    void onPanoramaError(QString error);
    void onPhotosLeftOut(QStringList paths);

private:
    void closeWindow();

    QTimer* tickTimer = nullptr;
    QProgressBar* progressBar = nullptr;
    QPushButton* cancelControl = nullptr;
    // The worker deletes itself when it ends; the pointer must not outlive it.
    QPointer<PanoramaThread> worker;
    QStringList leftOut;
    QRect area;
    int photos = 0;
};
