#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

// Draws a whole picture stretched to the widget's size; its owner keeps the proportions.
class ImageView : public QWidget
{
    Q_OBJECT
public:
    explicit ImageView(const QImage& image, QWidget* parent = nullptr);

    QImage image() const { return picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture;
    // Scaled once per size: a large panorama is slow to scale on every repaint of a drag.
    QPixmap scaled;
};
