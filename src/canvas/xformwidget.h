#pragma once

#include <QPoint>
#include <QWidget>

class PainterArea;
class QScrollBar;

// Hosts the canvas: places it on resize, scrolls it by wheel, keys, bars and drags, or hands the mouse
// to the current tool, takes drops.
class XFormWidget : public QWidget
{
    Q_OBJECT
public:
    explicit XFormWidget(QWidget* parent = nullptr);

    PainterArea* canvas() const { return painterArea; }
    QScrollBar* scrollBar(Qt::Orientation axis) const;

signals:
    // Ctrl+wheel: whole notches (positive toward zooming in) at a pointer in this widget's pixels.
    void signalWheelZoom(int steps, const QPoint& pointer);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void syncScrollBars();
    void setSpaceHeld(bool held);

    PainterArea* painterArea = nullptr;
    QScrollBar* alongX = nullptr;
    QScrollBar* alongY = nullptr;
    QPoint lastPosition;
    Qt::MouseButton gestureButton = Qt::NoButton;
    bool panning = false;
    bool spaceHeld = false;
    bool syncing = false;
    int wheelRemainder = 0; // part of a notch from a fine-grained wheel or touchpad
};
