#pragma once

#include "app/mainwindow.h"
#include "support/mainwindowprobe.h"

#include <QColor>
#include <QSize>
#include <QVector>

class PainterArea;
class QPushButton;

// A main window of the size the program opens with, for the suites that drive it.
struct WindowFixture
{
    enum TopBar { Add, Clear, Apps, ZoomIn, ZoomOut, Fit, Edit, Export, Panorama, Help, About };

    explicit WindowFixture(bool shown = false);

    MainWindow window;
    MainWindowProbe ui{window};
    PainterArea* const canvas = ui.canvas();

    // Photos of one colour and these sizes join the strip, which takes its size.
    void addPhotos(const QVector<QSize>& sizes, const QColor& colour = Qt::darkGreen);
    QPushButton* topBar(TopBar which) const;
};
