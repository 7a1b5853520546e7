#pragma once

#include "intake/intake.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QProgressDialog;
class QWidget;

// One intake as the user sees it: photos decode in the background and reach the receiver in order
// while the window keeps painting; a progress dialog with Cancel appears when it takes longer than the
// progress delay; other input is held off meanwhile; afterwards one message names every refused photo.
// Deletes itself when done.
class IntakeRun : public QObject
{
    Q_OBJECT
public:
    using Receiver = std::function<void(const QImage& image, const QString& path)>;

    // The run lives no longer than its owner, the widget the photos go to.
    IntakeRun(QWidget* owner, Receiver receiver);
    ~IntakeRun() override;

    Intake* intake() { return &photos; }
    void setProgressDelay(int milliseconds) { progressDelay = milliseconds; }
    void start(const QStringList& paths);
    void cancel() { photos.cancel(); }

    // The run in progress, if any: the close guard stops it.
    static IntakeRun* running();

signals:
    // After the last photo and the message, just before the run deletes itself.
    void finished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showProgress();
    void onProgressed(int handled, int total);
    void onFinished();

    QWidget* owner = nullptr;
    Receiver receiver;
    Intake photos;
    QPointer<QProgressDialog> progress;
    int progressDelay = 500;
};
