#include "editphotos/editphotocontent.h"

#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "editphotos/editphotoitem.h"
#include "widgets/theme.h"

#include <QDebug>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

namespace {
const char* const kCellProperty = "EditItem";

QPoint rounded(const QPointF& point)
{
    return QPoint(qRound(point.x()), qRound(point.y()));
}

void placeCell(QGridLayout* grid, EditPhotoItem* cell)
{
    grid->addWidget(cell, cell->index / 3, cell->index % 3);
}
} // namespace

// Marks a drag or menu loop run from one of the grid's handlers; a rebuild asked for meanwhile
// runs once the handler is done. The grid itself may be gone by then.
struct EditPhotoContent::BusyScope
{
    explicit BusyScope(EditPhotoContent* grid) : grid(grid) { ++grid->busy; }
    ~BusyScope()
    {
        if (grid && --grid->busy == 0 && grid->stale)
            grid->scheduleRebuild();
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
    QPointer<EditPhotoContent> grid;
};

EditPhotoContent::EditPhotoContent(PainterArea* canvas, QWidget* parent) : QFrame(parent), canvas(canvas)
{
    grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setSpacing(2);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setColumnStretch(2, 0);
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    addCells();
    if (canvas)
        connect(canvas, &PainterArea::signalPhotosChanged, this, &EditPhotoContent::onCanvasPhotosChanged);
}

void EditPhotoContent::addCells()
{
    if (!canvas)
        return;
    const QList<PaintImage*>& photos = canvas->paintImages;
    for (int i = 0; i < photos.size(); ++i) {
        auto* cell = new EditPhotoItem(photos.at(i), i, this);
        placeCell(grid, cell);
        // A rebuilt grid is already on screen; its new cells must be found at once.
        cell->show();
    }
}

QAction* EditPhotoContent::pendingDelete() const
{
    return pendingDeleteAction;
}

QList<EditPhotoItem*> EditPhotoContent::cells() const
{
    return findChildren<EditPhotoItem*>(QString(), Qt::FindDirectChildrenOnly);
}

EditPhotoItem* EditPhotoContent::cellAt(const QPoint& point) const
{
    for (EditPhotoItem* cell : cells()) {
        if (cell->isVisibleTo(this) && cell->geometry().contains(point))
            return cell;
    }
    return nullptr;
}

bool EditPhotoContent::inStep(const EditPhotoItem* cell) const
{
    return canvas && cell->photo && cell->index >= 0 && cell->index < canvas->paintImages.size() &&
           canvas->paintImages.at(cell->index) == cell->photo;
}

QMimeData* EditPhotoContent::dragData(EditPhotoItem* cell)
{
    auto* data = new QMimeData;
    data->setText("drag && drop");
    data->setProperty(kCellProperty, QVariant::fromValue(static_cast<void*>(cell)));
    return data;
}

EditPhotoItem* EditPhotoContent::draggedCell(const QMimeData* data) const
{
    if (!data)
        return nullptr;
    const QVariant value = data->property(kCellProperty);
    if (!value.isValid() || !value.canConvert<void*>())
        return nullptr;
    // The pointer is only compared, never followed, until it is known to be one of our cells:
    // a drag that outlived its grid carries a dangling one.
    const void* pointer = value.value<void*>();
    for (EditPhotoItem* cell : cells()) {
        if (cell == pointer)
            return cell;
    }
    return nullptr;
}

void EditPhotoContent::mousePressEvent(QMouseEvent* event)
{
    EditPhotoItem* cell = cellAt(rounded(event->localPos()));
    if (!cell || stale)
        return;
    if (event->button() == Qt::LeftButton)
        startDrag(cell);
    else if (event->button() == Qt::RightButton)
        showDeleteMenu(cell, event->globalPos());
}

void EditPhotoContent::startDrag(EditPhotoItem* cell)
{
    if (!cell->photo)
        return;
    BusyScope scope(this);
    QPointer<EditPhotoItem> dragged(cell);
    auto* drag = new QDrag(this);
    drag->setMimeData(dragData(cell));
    // Scale before converting: the photo may be far larger than the 100 x 90 drag image.
    drag->setPixmap(
        QPixmap::fromImage(cell->photo->image.scaled(100, 90, Qt::KeepAspectRatio, Qt::FastTransformation)));
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    if (!scope.grid || !dragged)
        return;
    if (action == Qt::MoveAction)
        qDebug() << "EditPhotoContent Close";
    else
        qDebug() << "EditPhotoContent Show" << grid->indexOf(dragged) << dragged->index;
}

void EditPhotoContent::showDeleteMenu(EditPhotoItem* cell, const QPoint& globalPos)
{
    BusyScope scope(this);
    // On the heap: if the grid went away during the menu's loop it would take a stack menu with it.
    auto* menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The window's dark background reaches the menu too; its text has to follow.
    menu->setStyleSheet(
        Theme::sheet("QMenu {background-color: @bar; color: @light; border: 1px solid @border;}"
                     "QMenu::item {padding: 4px 24px;}"
                     "QMenu::item:selected {background-color: @accent;}"));
    auto* action = new QAction(tr("delete"), cell);
    pendingDeleteAction = action;
    connect(action, &QAction::triggered, this, &EditPhotoContent::deletePaintImage);
    menu->addAction(action);
    menu->exec(globalPos);
}

void EditPhotoContent::deletePaintImage()
{
    QAction* action = pendingDeleteAction;
    if (!action)
        return;
    pendingDeleteAction = nullptr;
    auto* cell = qobject_cast<EditPhotoItem*>(action->parent());
    // The menu that triggered the action is still on the stack; it goes when control returns.
    action->deleteLater();
    deleteCell(cell);
}

void EditPhotoContent::deleteCell(EditPhotoItem* cell)
{
    if (!cell || cell->index < 0)
        return;
    if (!inStep(cell)) {
        stale = true;
        scheduleRebuild();
        return;
    }

    cell->hide();
    const int removed = cell->index;
    cell->index = -1;
    grid->removeWidget(cell);
    for (EditPhotoItem* other : cells()) {
        if (other->index > removed) {
            --other->index;
            placeCell(grid, other);
        }
    }
    grid->activate();
    changingCanvas = true;
    canvas->removePhoto(removed);
    changingCanvas = false;
    // The next photo takes the deleted one's place in the selection.
    select(selected >= canvas->paintImages.size() ? canvas->paintImages.size() - 1 : selected);
}

void EditPhotoContent::dragEnterEvent(QDragEnterEvent* event)
{
    if (draggedCell(event->mimeData())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void EditPhotoContent::dragMoveEvent(QDragMoveEvent* event)
{
    if (draggedCell(event->mimeData())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->acceptProposedAction();
    }
}

void EditPhotoContent::dropEvent(QDropEvent* event)
{
    EditPhotoItem* target = cellAt(rounded(event->posF()));
    EditPhotoItem* source = draggedCell(event->mimeData());
    if (!target || !source || source == target || stale) {
        event->ignore();
        return;
    }
    if (!swapCells(source, target)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
}

bool EditPhotoContent::swapCells(EditPhotoItem* source, EditPhotoItem* target)
{
    const int sourceAt = source && target ? grid->indexOf(source) : -1;
    const int targetAt = source && target ? grid->indexOf(target) : -1;
    if (sourceAt < 0 || targetAt < 0)
        return false;
    if (!inStep(source) || !inStep(target)) {
        stale = true;
        scheduleRebuild();
        return false;
    }
    int sourceRow, sourceColumn, sourceRowSpan, sourceColumnSpan;
    int targetRow, targetColumn, targetRowSpan, targetColumnSpan;
    grid->getItemPosition(sourceAt, &sourceRow, &sourceColumn, &sourceRowSpan, &sourceColumnSpan);
    grid->getItemPosition(targetAt, &targetRow, &targetColumn, &targetRowSpan, &targetColumnSpan);
    std::swap(source->index, target->index);
    grid->removeWidget(source);
    grid->removeWidget(target);
    grid->addWidget(target, sourceRow, sourceColumn, sourceRowSpan, sourceColumnSpan);
    grid->addWidget(source, targetRow, targetColumn, targetRowSpan, targetColumnSpan);
    // Hit tests read the cells' geometry: move them now, not on the next pass of the loop.
    grid->activate();

    changingCanvas = true;
    canvas->swapPhotos(target->index, source->index);
    changingCanvas = false;
    return true;
}

EditPhotoItem* EditPhotoContent::cellOf(int index) const
{
    for (EditPhotoItem* cell : cells()) {
        if (cell->index == index && index >= 0)
            return cell;
    }
    return nullptr;
}

void EditPhotoContent::select(int index)
{
    selected = cellOf(index) ? index : -1;
    update();
}

void EditPhotoContent::keyPressEvent(QKeyEvent* event)
{
    const int count = canvas && !stale ? canvas->paintImages.size() : 0;
    int step = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Right:
        step = 1;
        break;
    case Qt::Key_Up:
        step = -3;
        break;
    case Qt::Key_Down:
        step = 3;
        break;
    case Qt::Key_Delete:
        deleteCell(cellOf(selected));
        return;
    default:
        QFrame::keyPressEvent(event);
        return;
    }
    if (count == 0)
        return;
    if (selected < 0) {
        select(0);
        return;
    }
    const int next = std::clamp(selected + step, 0, count - 1);
    if (event->modifiers() & Qt::ControlModifier) {
        // One place along the strip, whichever arrow: the grid is the strip read in rows.
        const int neighbour = std::clamp(selected + (step > 0 ? 1 : -1), 0, count - 1);
        if (neighbour != selected && swapCells(cellOf(selected), cellOf(neighbour)))
            select(neighbour);
        return;
    }
    select(next);
}

void EditPhotoContent::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    const EditPhotoItem* cell = cellOf(selected);
    if (!cell)
        return;
    QPainter painter(this);
    painter.setPen(QPen(QColor(Theme::accent), 2));
    painter.drawRect(QRectF(cell->geometry()).adjusted(-1, -1, 1, 1));
}

void EditPhotoContent::onCanvasPhotosChanged()
{
    if (changingCanvas)
        return;
    stale = true;
    scheduleRebuild();
}

void EditPhotoContent::scheduleRebuild()
{
    if (rebuildQueued)
        return;
    rebuildQueued = true;
    QMetaObject::invokeMethod(this, &EditPhotoContent::rebuild, Qt::QueuedConnection);
}

void EditPhotoContent::rebuild()
{
    rebuildQueued = false;
    if (busy > 0)
        return; // the busy handler asks again when it is done
    pendingDeleteAction = nullptr;
    for (EditPhotoItem* cell : cells()) {
        grid->removeWidget(cell);
        delete cell;
    }
    stale = false;
    addCells();
    grid->activate();
    select(selected);
}
