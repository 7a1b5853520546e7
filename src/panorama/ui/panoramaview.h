#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

class CropChoice;
class ImageView;
class QSlider;

// The result page of the panorama window: the panorama fitted into the page, zoomed with a slider,
// moved by dragging with any button; "done" takes it.
class PanoramaView : public QWidget
{
    Q_OBJECT
public:
    explicit PanoramaView(const QImage& img, QWidget* parent = nullptr);

    ImageView* picture() const { return pictureView; }
    QSlider* zoomSlider() const { return slider; }

    // The largest rectangle of the picture that no photo leaves empty; the whole picture until set.
    void setPictureArea(const QRect& area);
    // The picture as the user chose to take it: cut to its picture area, or whole.
    QImage result() const;
    CropChoice* cropChoice() const { return choice; }

signals:
    void signalsDone();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Zooms about the pointer, a slider step per notch.
    void wheelEvent(QWheelEvent* event) override;

private slots:
    void onSliderValue(int v);

private:
    void showChosenPicture();
    bool cropped() const;

    QImage whole;
    QRect pictureArea;
    CropChoice* choice = nullptr;
    ImageView* pictureView = nullptr;
    QSlider* slider = nullptr;
    double baseWidth = 0;
    double baseHeight = 0;
    bool dragging = false;
    int lastX = 0;
    int lastY = 0;
    int wheelRemainder = 0; // part of a notch from a fine-grained wheel
};
