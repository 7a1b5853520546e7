#pragma once

#include <QStringList>
#include <QWidget>

class QComboBox;
class QScrollArea;
class PhotoContent;
class PhotoItem;

// The photo-list page of the panorama window: photos come from the "open" button or a drop, a click
// selects or unselects one, "remove" deletes the selected ones, "next" sends the list on.
class DragDropWidget : public QWidget
{
    Q_OBJECT
public:
    explicit DragDropWidget(QWidget* parent = nullptr);

    // The full paths of the photos, in the order they were added.
    QStringList photoPaths() const;
    // The cell under a position of this page, or null.
    PhotoItem* photoItemAt(const QPoint& point) const;

    PhotoContent* content() const { return photoContent; }
    QWidget* emptyPanel() const { return emptyStatePanel; }
    QComboBox* styleSelector() const { return styleBox; }

signals:
    void signalsSelectImages(QStringList imageList, const QString& style);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private slots:
    void onClickNext();
    void onClickRemove();
    void onOpenFiles();

private:
    void addPhoto(const QImage& image, const QString& path);
    void addPhotoFiles(const QStringList& paths);
    void hidePanelIfFilled();

    QScrollArea* scrollArea = nullptr;
    PhotoContent* photoContent = nullptr;
    QComboBox* styleBox = nullptr;
    QWidget* emptyStatePanel = nullptr;
};
