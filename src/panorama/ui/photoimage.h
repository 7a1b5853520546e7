#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

// A photo's thumbnail in the panorama photo list: the whole picture, fitted and centred.
class PhotoImage : public QWidget
{
    Q_OBJECT
public:
    explicit PhotoImage(const QImage& image, QWidget* parent = nullptr);

    QImage image() const { return photo; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage photo;
    // Scaled once: repainting a large photo at full size on every paint would be slow.
    QPixmap scaled;
};
