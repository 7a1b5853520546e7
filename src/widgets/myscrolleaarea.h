#pragma once

#include <QPointer>
#include <QWidget>

// A strip whose one wide child (dragChild) the user drags sideways with a mouse button held.
class MyScrolleaArea : public QWidget
{
    Q_OBJECT
public:
    explicit MyScrolleaArea(QWidget* parent = nullptr);

    // Set by the owner after making the child.
    QPointer<QWidget> dragChild;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool dragging = false;
    int lastX = 0;
    int lastY = 0;
};
