#pragma once

#include <QObject>

class MainWindow;
class QAction;
class StripHistory;

// Undo and Redo of every edit of the strip: the keys, and the panel following the strip back.
class HistoryControls : public QObject
{
    Q_OBJECT
public:
    explicit HistoryControls(MainWindow* window);

    StripHistory* history() const { return stripHistory; }
    QAction* undoAction() const { return undo; }
    QAction* redoAction() const { return redo; }

private:
    void showRestoredSettings();
    void showToolSettings();
    void describeSteps();

    MainWindow* window = nullptr;
    StripHistory* stripHistory = nullptr;
    QAction* undo = nullptr;
    QAction* redo = nullptr;
};
