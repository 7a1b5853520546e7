#include "support/modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>

ModalAnswerer::ModalAnswerer(QObject* parent) : QObject(parent)
{
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, this, &ModalAnswerer::poll);
}

void ModalAnswerer::queue(Answer answer)
{
    answers.append(std::move(answer));
    timer.start();
}

void ModalAnswerer::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    // A widget being closed may still be reported for a turn of the loop; never answer it twice,
    // but do answer a kept dialog that is shown again later.
    if (lastAnswered && (!lastAnswered->isVisible() || modal != lastAnswered))
        lastAnswered = nullptr;
    if (!modal || answers.isEmpty() || !modal->isVisible() || modal == lastAnswered)
        return;
    if (lastAnswered)
        lastAnswered->removeEventFilter(this);
    lastAnswered = modal;
    // Hiding may happen and the dialog be shown again between two polls (or while the timer is
    // stopped); the Hide event is what makes a kept dialog answerable again.
    modal->installEventFilter(this);
    Answer answer = answers.takeFirst();
    classes.append(QString::fromLatin1(modal->metaObject()->className()));
    ++answered;
    if (answers.isEmpty())
        timer.stop();
    answer(modal);
}

bool ModalAnswerer::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Hide && watched == lastAnswered) {
        lastAnswered->removeEventFilter(this);
        lastAnswered = nullptr;
    }
    return QObject::eventFilter(watched, event);
}

ModalAnswerer::Answer ModalAnswerer::pressButton(int standardButton, QString* said)
{
    return [standardButton, said](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (said)
                *said = box->windowTitle() + ": " + box->text();
            if (QAbstractButton* b = box->button(QMessageBox::StandardButton(standardButton))) {
                b->click();
                return;
            }
        }
        modal->close();
    };
}

namespace {

ModalAnswerer::Answer finish(void (QDialog::*how)())
{
    return [how](QWidget* modal) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            (dialog->*how)();
        else
            modal->close();
    };
}

} // namespace

ModalAnswerer::Answer ModalAnswerer::accept()
{
    return finish(&QDialog::accept);
}

ModalAnswerer::Answer ModalAnswerer::reject()
{
    return finish(&QDialog::reject);
}
