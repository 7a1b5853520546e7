#include "intake/intakerun.h"

#include "widgets/theme.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

namespace {

QList<IntakeRun*>& runs()
{
    static QList<IntakeRun*> list;
    return list;
}

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::ContextMenu:
        return true;
    default:
        return false;
    }
}

} // namespace

IntakeRun::IntakeRun(QWidget* owner, Receiver receiver)
    : QObject(owner), owner(owner), receiver(std::move(receiver))
{
    connect(&photos, &Intake::photoReady, this,
            [this](const QImage& image, const QString& path) { this->receiver(image, path); });
    connect(&photos, &Intake::progressed, this, &IntakeRun::onProgressed);
    connect(&photos, &Intake::finished, this, &IntakeRun::onFinished);
}

IntakeRun::~IntakeRun()
{
    runs().removeAll(this);
    qApp->removeEventFilter(this);
    delete progress;
}

IntakeRun* IntakeRun::running()
{
    return runs().isEmpty() ? nullptr : runs().last();
}

void IntakeRun::start(const QStringList& paths)
{
    runs().append(this);
    // Until the dialog shows, the window must not change under the photos coming in.
    qApp->installEventFilter(this);
    QTimer::singleShot(progressDelay, this, &IntakeRun::showProgress);
    photos.start(paths);
}

void IntakeRun::showProgress()
{
    if (photos.isFinished() || progress)
        return;
    progress = new QProgressDialog(owner->window());
    progress->setWindowTitle(tr("Adding photos"));
    progress->setStyleSheet(Theme::dialogStyleSheet());
    progress->setCancelButtonText(tr("Cancel"));
    progress->setWindowModality(Qt::WindowModal);
    progress->setAutoClose(false);
    progress->setAutoReset(false);
    progress->setMinimumDuration(0);
    connect(progress, &QProgressDialog::canceled, &photos, &Intake::cancel);
    onProgressed(photos.handled(), photos.total());
    progress->show();
}

void IntakeRun::onProgressed(int handled, int total)
{
    if (!progress)
        return;
    progress->setMaximum(total);
    progress->setValue(handled);
    progress->setLabelText(tr("Adding photos: %1 of %2").arg(handled).arg(total));
}

void IntakeRun::onFinished()
{
    qApp->removeEventFilter(this);
    runs().removeAll(this);
    // Cancel may be what finished the run, from inside the dialog's own signal.
    if (progress) {
        progress->hide();
        progress->deleteLater();
    }
    const QPointer<IntakeRun> alive(this);
    const QString refused = Intake::refusalText(photos.refused());
    if (!refused.isEmpty()) {
        QMessageBox box(QMessageBox::Warning, tr("Add photos"), refused, QMessageBox::Ok, owner->window());
        box.setStyleSheet(Theme::dialogStyleSheet());
        box.exec();
    }
    if (!alive)
        return;
    emit finished();
    deleteLater();
}

bool IntakeRun::eventFilter(QObject* watched, QEvent* event)
{
    if (!isUserInput(event->type()))
        return false;
    // The dialog's own Cancel and keys go through.
    for (QObject* o = watched; o; o = o->parent()) {
        if (progress && o == progress)
            return false;
    }
    return watched->isWidgetType() || event->type() == QEvent::Shortcut;
}
