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
    void setImage(const QImage& image);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture;
    // A large stitch is reduced once to twice the first size shown, which covers the whole zoom range,
    // so that a zoom step scales a small copy instead of the full picture.
    QImage reduced;
    // Scaled once per size, so that a drag only copies pixels.
    QPixmap scaled;
};
