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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The worker reads each photo again from its file, so the list keeps only a copy big enough for
    // a sharp thumbnail: a long list of camera photos would otherwise hold gigabytes.
    QImage photo;
    QSize photoSize;
    QPixmap scaled;
};
