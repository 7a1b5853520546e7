#pragma once

#include <QPixmap>
#include <QPointer>
#include <QWidget>

class PaintImage;

// The thumbnail of one photo: the whole image (not its crop), fitted and centred.
class EditPhotoImage : public QWidget
{
    Q_OBJECT
public:
    explicit EditPhotoImage(PaintImage* photo, QWidget* parent = nullptr);

    PaintImage* paintImage() const { return photo; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Not owned: the canvas may delete the photo while the window is open.
    QPointer<PaintImage> photo;
    // Scaling a full-size photo on every repaint is slow; the scaled copy is made once.
    QPixmap scaled;
    qint64 scaledKey = 0;
};
