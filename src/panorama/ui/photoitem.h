#pragma once

#include <QWidget>

class PhotoImage;

// One cell of the panorama photo list: thumbnail and file name; a red frame while selected.
class PhotoItem : public QWidget
{
    Q_OBJECT
public:
    PhotoItem(const QImage& image, const QString& path, QWidget* parent = nullptr);

    const QString filePath;
    bool selected = false;

    void toggleSelected();
    PhotoImage* thumbnail() const { return thumbnailView; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PhotoImage* thumbnailView = nullptr;
};
