#pragma once

#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherbutton.h"
#include "canvas/stitcherconfig.h"

#include <QFile>
#include <QLineEdit>
#include <QStringList>

// Edits the window suites make on the strip as a user makes them, and what they read back.
namespace WindowEdits {

// Presses at `at`, moves `steps` times by `by`, releases there; the tool is put down after.
inline void stroke(PainterArea* canvas, int tool, QPoint at, QPoint by = {4, 3}, int steps = 3)
{
    StitcherConfig::instance()->tool = tool;
    canvas->toolPress(at);
    for (int i = 1; i <= steps; ++i)
        canvas->toolMove(at + by * i, by);
    canvas->toolRelease(at + by * steps);
    StitcherConfig::instance()->tool = StitcherConfig::NoTool;
}

// Arms the edge, drags it `times` by `step`, and disarms it.
inline void dragEdge(PainterArea* canvas, StitcherButton* edge, QPoint step, int times = 1)
{
    edge->click();
    for (int i = 0; i < times; ++i)
        canvas->setStitchMove(step);
    edge->click();
}

// Types the text into the entry and leaves it, as Return or a change of focus does.
inline void enter(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    emit edit->editingFinished();
}

inline QStringList photoNames(const PainterArea* canvas)
{
    QStringList names;
    for (const PaintImage* photo : canvas->paintImages)
        names << photo->name;
    return names;
}

// The file's first bytes (all of them by default); empty when it cannot be read.
inline QByteArray fileHead(const QString& path, qint64 bytes = -1)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return bytes < 0 ? file.readAll() : file.read(bytes);
}

inline bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace WindowEdits
