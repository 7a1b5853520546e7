#pragma once

#include <QPoint>
#include <QWidget>

class PainterArea;

// Hosts the canvas: places it on resize, pans it or hands the mouse to the current tool, takes drops.
class XFormWidget : public QWidget
{
    Q_OBJECT
public:
    explicit XFormWidget(QWidget* parent = nullptr);

    PainterArea* canvas() const { return painterArea; }

signals:
    // Ctrl+wheel: whole notches (positive toward zooming in) at a pointer in this widget's pixels.
    void signalWheelZoom(int steps, const QPoint& pointer);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    PainterArea* painterArea = nullptr;
    QPoint lastPosition;
    bool gesture = false;
    bool panning = false;
    int wheelRemainder = 0; // part of a notch from a fine-grained wheel or touchpad
};
