#pragma once

#include <QPointer>
#include <QWidget>

class QEventLoop;
class QVBoxLayout;

// Base of every secondary window: shows one content widget and can run its own modal loop.
class MainFrame : public QWidget
{
    Q_OBJECT
public:
    explicit MainFrame(QWidget* parent = nullptr);
    ~MainFrame() override;

    // Replaces (and deletes) the previous content widget.
    void setContentWidget(QWidget* w);
    QWidget* content() const { return contentWidget; }

    // Shows the frame and waits in a local event loop until finished() is emitted.
    virtual int exec();
    // Emits finished() and closes the frame.
    virtual void done();

signals:
    void finished();

protected:
    bool event(QEvent* e) override;

private:
    QWidget* contentWidget = nullptr;
    QVBoxLayout* layout = nullptr;
    QPointer<QEventLoop> runningLoop;
    bool closingFromDone = false;
};
