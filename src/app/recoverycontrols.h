#pragma once

#include <QObject>
#include <QPointer>

class PainterArea;
class QTimer;
class QUndoStack;
class QWidget;
class RecoveryStore;

// Keeps a recovery copy of the strip while it has unsaved changes, a few seconds after each change,
// and offers at start the copy a process that ended without closing left behind.
class RecoveryControls : public QObject
{
    Q_OBJECT
public:
    RecoveryControls(QWidget* window, PainterArea* canvas, QUndoStack* history);
    // A clean close: the copy goes.
    ~RecoveryControls() override;

    // Asks, for each copy left behind (newest first), whether to restore it or discard it, until one is
    // restored.
    void offerLeftovers();
    // The strip is kept elsewhere now (saved as a project).
    void discardCopy();
    RecoveryStore* store() const { return recovery; }
    static constexpr int writeDelay = 2000;

private:
    void changed();
    void writeCopy();

    QWidget* window = nullptr;
    // The history outlives the canvas and says its last change while it goes.
    QPointer<PainterArea> canvas;
    RecoveryStore* recovery = nullptr;
    QTimer* delay = nullptr;
};
