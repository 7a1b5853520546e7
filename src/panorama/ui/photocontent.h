#pragma once

#include <QList>
#include <QWidget>

class QGridLayout;
class PhotoItem;

// The grid of the panorama photo list: five columns, filled row by row in the order photos came.
class PhotoContent : public QWidget
{
    Q_OBJECT
public:
    static constexpr int columns = 5;

    explicit PhotoContent(QWidget* parent = nullptr);

    PhotoItem* addPhoto(const QImage& image, const QString& path);
    // Places the cells again without gaps, keeping their order.
    void relayoutPhotos();
    // The cells in the order they were added.
    QList<PhotoItem*> photos() const;
    QGridLayout* grid() const { return gridLayout; }

private:
    QGridLayout* gridLayout = nullptr;
};
