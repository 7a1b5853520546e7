#include "app/recoverycontrols.h"

#include "canvas/painterarea.h"
#include "canvas/stripedit.h"
#include "project/recoverystore.h"
#include "settings/appsettings.h"
#include "widgets/theme.h"

#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QUndoStack>

namespace {

// "14:32" today, with the date on another day.
QString savedAt(const QDateTime& when)
{
    const QString time = when.time().toString(QStringLiteral("HH:mm"));
    if (when.date() == QDate::currentDate())
        return time;
    return RecoveryControls::tr("%1 on %2").arg(time, QLocale().toString(when.date(), QLocale::ShortFormat));
}

} // namespace

RecoveryControls::RecoveryControls(QWidget* window, PainterArea* canvas, QUndoStack* history)
    : QObject(window), window(window), canvas(canvas), recovery(new RecoveryStore(this)),
      delay(new QTimer(this))
{
    // The settings name the application, and with it the data folder the copies live in.
    AppSettings::instance();
    delay->setSingleShot(true);
    delay->setInterval(writeDelay);
    connect(delay, &QTimer::timeout, this, &RecoveryControls::writeCopy);
    connect(history, &QUndoStack::indexChanged, this, &RecoveryControls::changed);
}

RecoveryControls::~RecoveryControls()
{
    recovery->discard();
}

void RecoveryControls::changed()
{
    if (!canvas)
        return;
    if (canvas->paintImages.isEmpty()) {
        delay->stop();
        recovery->discard();
        return;
    }
    if (!delay->isActive())
        delay->start();
}

void RecoveryControls::writeCopy()
{
    // Saved or exported since: nothing to recover.
    if (!canvas || !window->window()->isWindowModified() || canvas->paintImages.isEmpty())
        recovery->discard();
    else
        recovery->write(canvas->state());
}

void RecoveryControls::discardCopy()
{
    delay->stop();
    recovery->discard();
}

void RecoveryControls::offerLeftovers()
{
    for (const RecoveryStore::Leftover& copy : RecoveryStore::leftovers()) {
        QMessageBox question(QMessageBox::Question, tr("Seamwright"),
                             tr("Restore the strip you were working on at %1?").arg(savedAt(copy.savedAt)),
                             QMessageBox::NoButton, window);
        question.setStyleSheet(Theme::dialogStyleSheet());
        question.setInformativeText(tr("Seamwright did not close normally and kept a copy of the strip."));
        QPushButton* restore = question.addButton(tr("Restore"), QMessageBox::AcceptRole);
        question.addButton(tr("Discard"), QMessageBox::DestructiveRole);
        question.setDefaultButton(restore);
        question.exec();
        if (question.clickedButton() == restore) {
            StripState state;
            QString error;
            if (RecoveryStore::restore(copy.folder, &state, &error) == ProjectFile::Result::Opened) {
                {
                    const StripEdit edit(canvas, tr("Restore"));
                    canvas->restoreState(state);
                }
                // One strip at a time: the other copies wait for the next start.
                RecoveryStore::remove(copy.folder);
                return;
            }
            QMessageBox::warning(window, tr("Seamwright"), error);
        }
        RecoveryStore::remove(copy.folder);
    }
}
