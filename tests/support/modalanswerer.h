#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QWidget;

// Answers modal widgets for a test: each queued answer is given, in order, to the next widget that
// QApplication::activeModalWidget() reports, so a test can call a slot that blocks in a nested loop.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    using Answer = std::function<void(QWidget* modal)>;

    explicit ModalAnswerer(QObject* parent = nullptr);

    void queue(Answer answer);
    int answeredCount() const { return answered; }
    int pendingCount() const { return int(answers.size()); }
    // Class names of the widgets answered so far, for checking what was asked.
    QStringList answeredClasses() const { return classes; }

    // Presses a QMessageBox standard button (QMessageBox::Yes, No, Ok...); keeps "title: text" in *said.
    static Answer pressButton(int standardButton, QString* said = nullptr);
    // QDialog::accept()/reject() or, for other widgets, close().
    static Answer accept();
    static Answer reject();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void poll();

    QTimer timer;
    QList<Answer> answers;
    QPointer<QWidget> lastAnswered;
    QStringList classes;
    int answered = 0;
};
