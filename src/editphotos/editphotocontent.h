#pragma once

#include <QAction>
#include <QFrame>
#include <QPointer>

class EditPhotoItem;
class PainterArea;
class QGridLayout;
class QMimeData;

// The grid of the Edit Photos window: three thumbnails per row in strip order. Dropping one
// thumbnail on another swaps the two photos on the canvas; the context menu deletes a photo. From the
// keyboard: arrows select, Delete deletes the selected photo, Ctrl+arrow moves it one place.
//
// The window is not modal, so the canvas may change behind the grid's back ("clear", "add", a
// panorama coming back). Every change the grid did not make itself makes it rebuild from the canvas,
// and until then it refuses to act, so its indexes never name the wrong photo.
class EditPhotoContent : public QFrame
{
    Q_OBJECT
public:
    explicit EditPhotoContent(PainterArea* canvas, QWidget* parent = nullptr);

    // The first visible cell whose rectangle contains the point (grid coordinates).
    EditPhotoItem* cellAt(const QPoint& point) const;
    // Every cell, deleted ones included, in child order.
    QList<EditPhotoItem*> cells() const;
    QGridLayout* gridLayout() const { return grid; }
    QAction* pendingDelete() const;
    // The selected photo's place in the strip, -1 for none.
    int selectedIndex() const { return selected; }

    // The mime data a drag of this cell carries.
    static QMimeData* dragData(EditPhotoItem* cell);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private slots:
    void deletePaintImage();

private:
    void startDrag(EditPhotoItem* cell);
    void deleteCell(EditPhotoItem* cell);
    // Swaps two cells and their photos; false when the grid is out of step with the canvas.
    bool swapCells(EditPhotoItem* source, EditPhotoItem* target);
    EditPhotoItem* cellOf(int index) const;
    void select(int index);
    void showDeleteMenu(EditPhotoItem* cell, const QPoint& globalPos);
    // The live cell of this grid that the mime data names, or null.
    EditPhotoItem* draggedCell(const QMimeData* data) const;
    // True when the cell's index still names its own photo on the canvas.
    bool inStep(const EditPhotoItem* cell) const;
    void addCells();
    void onCanvasPhotosChanged();
    void scheduleRebuild();
    void rebuild();

    QPointer<PainterArea> canvas;
    QGridLayout* grid = nullptr;
    QPointer<QAction> pendingDeleteAction;
    // Set while the grid itself changes the canvas, so that its own changes are not taken for
    // outside ones.
    bool changingCanvas = false;
    // The canvas changed behind the grid's back; the cells wait for a rebuild.
    bool stale = false;
    bool rebuildQueued = false;
    // Nesting of drag and menu loops run from the grid's own handlers: cells are not destroyed
    // under them.
    int busy = 0;
    int selected = -1;
    struct BusyScope;
};
