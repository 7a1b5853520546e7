#pragma once

#include "canvas/strokelayer.h"
#include "canvas/strokescene.h"

#include <QObject>
#include <QPainter>
#include <QThreadPool>

#include <array>
#include <atomic>

// The screen's finished strokes, one layer per tool, painted once per zoom and layout so that a repaint
// only copies them. A layer with more strokes than a frame can paint is painted by a worker thread;
// until it comes back the screen shows the previous layer scaled to the new zoom, or, when the layout
// changed under it, no finished strokes of that tool.
class StrokeLayers : public QObject
{
    Q_OBJECT
public:
    // Layers with at most this many strokes in their area are painted at once, on this thread.
    static constexpr int defaultPaintNowLimit = 40;

    explicit StrokeLayers(int paintNowLimit = defaultPaintNowLimit, QObject* parent = nullptr);
    ~StrokeLayers() override;

    struct Frame
    {
        PaintTarget target;
        quint64 layout = 0; // everything but the zoom that places the strokes: the layout and the photos
        // The first done[tool] strokes of each tool are finished; the rest are being drawn, painted live.
        std::array<int, 2> done = {0, 0};
    };
    // Paints the scene's strokes over what the painter, in device pixels, holds.
    void paint(QPainter& painter, const StrokeScene& scene, const Frame& frame);
    // Whether the last paint showed the exact layers: none is on its way from a worker.
    bool exact() const;
    // Waits for the workers; a superseded render stops within a few strokes.
    void waitForWorkers() { workers.waitForDone(); }

signals:
    // A worker's layer came back; the next paint shows it.
    void arrived();

private:
    using Tool = StrokeScene::Tool;
    struct Layer
    {
        StrokeLayer held;
        quint64 pending = 0; // the render on its way, 0 when none
        StrokeLayer::Key pendingKey;
        QRect pendingArea;
        StrokeLayer::Key failed; // a render that could not allocate its image is not asked for again
    };

    void bringUpToDate(Tool tool, const StrokeScene& scene, const Frame& frame,
                       const StrokeLayer::Key& wanted, QPainter::RenderHints hints);
    void show(QPainter& painter, Tool tool, const StrokeScene& scene, const Frame& frame,
              const StrokeLayer::Key& wanted);
    void request(Tool tool, const StrokeScene& scene, const StrokeLayer::Key& key, const Frame& frame,
                 const QRect& area, QPainter::RenderHints hints);
    void cancel(Tool tool);
    void accept(Tool tool, quint64 id, const StrokeLayer& painted);

    const int paintNowLimit;
    std::array<Layer, 2> layers;
    // The render each tool's worker should still finish; it stops when this names another.
    std::array<std::atomic<quint64>, 2> wanted = {};
    quint64 lastRequest = 0;
    QThreadPool workers;
};
