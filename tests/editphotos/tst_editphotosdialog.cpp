#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "editphotos/editphotocontent.h"
#include "editphotos/editphotoimage.h"
#include "editphotos/editphotoitem.h"
#include "editphotos/editphotosdialog.h"
#include "support/popupanswerer.h"

#include <QGridLayout>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScopedPointer>
#include <QtTest>

namespace {
QImage photoImage(int width, int height, QColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QStringList canvasNames(const PainterArea& canvas)
{
    QStringList names;
    for (const PaintImage* photo : canvas.paintImages)
        names << photo->name;
    return names;
}

// Names of the visible cells in reading order (row by row), with their indexes checked against
// their places in the grid.
QStringList gridNames(EditPhotoContent* grid)
{
    QMap<int, QString> byPlace;
    for (EditPhotoItem* cell : grid->cells()) {
        const int at = grid->gridLayout()->indexOf(cell);
        if (cell->isHidden()) {
            if (at >= 0 || cell->index != -1)
                return {"a deleted cell is still in the grid"};
            continue;
        }
        int row, column, rowSpan, columnSpan;
        grid->gridLayout()->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
        if (row * 3 + column != cell->index)
            return {QString("cell %1 sits at (%2,%3)").arg(cell->index).arg(row).arg(column)};
        byPlace.insert(cell->index, cell->photo ? cell->photo->name : QString("<gone>"));
    }
    return byPlace.values();
}

EditPhotoItem* cellNamed(EditPhotoContent* grid, const QString& name)
{
    for (EditPhotoItem* cell : grid->cells()) {
        if (!cell->isHidden() && cell->photo && cell->photo->name == name)
            return cell;
    }
    return nullptr;
}

QPoint centreOf(EditPhotoItem* cell)
{
    return cell->geometry().center();
}

// Drives one drop as the toolkit delivers it: enter, move, drop. Returns whether the grid took it.
bool dropAt(EditPhotoContent* grid, const QMimeData* data, const QPoint& at)
{
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &move);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &drop);
    return drop.isAccepted();
}

bool dragOnto(EditPhotoContent* grid, const QString& from, const QString& onto)
{
    EditPhotoItem* source = cellNamed(grid, from);
    EditPhotoItem* target = cellNamed(grid, onto);
    if (!source || !target)
        return false;
    QScopedPointer<QMimeData> data(EditPhotoContent::dragData(source));
    return dropAt(grid, data.data(), centreOf(target));
}

void deleteByMenu(EditPhotoContent* grid, const QString& name)
{
    EditPhotoItem* cell = cellNamed(grid, name);
    QVERIFY(cell);
    answerNextPopup(chooseFirstEntry);
    QTest::mouseClick(grid, Qt::RightButton, Qt::NoModifier, centreOf(cell));
}

void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
} // namespace

class TestEditPhotosDialog : public QObject
{
    Q_OBJECT

    QScopedPointer<PainterArea> canvas;
    QScopedPointer<EditPhotosDialog> dialog;

    EditPhotoContent* openOn(int photoCount)
    {
        for (int i = 0; i < photoCount; ++i)
            canvas->addImage(photoImage(300 + 40 * i, 200, QColor::fromHsv(60 * i, 200, 220)),
                             QString("p%1.png").arg(i));
        dialog->loadPhotos(canvas.data());
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.data()))
            return nullptr;
        settle();
        return dialog->photoGrid();
    }

private slots:
    void init()
    {
        canvas.reset(new PainterArea);
        dialog.reset(new EditPhotosDialog);
    }

    void cleanup()
    {
        dialog.reset();
        canvas.reset();
    }

    void fivePhotosFillRowsOfThree()
    {
        EditPhotoContent* grid = openOn(5);
        QVERIFY(grid);
        QCOMPARE(dialog->size(), QSize(620, 600));
        QCOMPARE(gridNames(grid), QStringList({"p0.png", "p1.png", "p2.png", "p3.png", "p4.png"}));
        for (EditPhotoItem* cell : grid->cells()) {
            QCOMPARE(cell->nameLabel()->text(), cell->photo->name);
            QCOMPARE(cell->thumbnail()->paintImage(), canvas->paintImages.at(cell->index));
            QCOMPARE(grid->cellAt(centreOf(cell)), cell);
        }
        // Three whole cells side by side must fit the window without sideways scrolling.
        QVERIFY(grid->width() <= dialog->width());
        EditPhotoItem* last = cellNamed(grid, "p4.png");
        QVERIFY(!grid->cellAt(centreOf(last) + QPoint(last->width(), 0)));
    }

    void thumbnailShowsWholePhotoCentred()
    {
        EditPhotoContent* grid = openOn(1);
        QVERIFY(grid);
        EditPhotoImage* thumb = grid->cells().first()->thumbnail();
        const QImage shot = thumb->grab().toImage();
        // 300 x 200 in 200 x 180: 200 x 133 at y 23; the rest stays the background.
        const QRgb photo = canvas->paintImages.first()->image.pixel(0, 0);
        QCOMPARE(shot.pixel(100, 90), photo);
        QCOMPARE(shot.pixel(1, 24), photo);
        QVERIFY(shot.pixel(100, 10) != photo);
        QVERIFY(shot.pixel(100, 170) != photo);
    }

    void droppingOnePhotoOnAnotherSwapsThem()
    {
        EditPhotoContent* grid = openOn(5);
        QVERIFY(grid);
        // A press starts the real drag; without a window system it ends at once, unaccepted.
        QTest::ignoreMessage(QtDebugMsg, "EditPhotoContent Show 0 0");
        QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier, centreOf(cellNamed(grid, "p0.png")));

        QVERIFY(dragOnto(grid, "p0.png", "p4.png"));
        const QStringList swapped = {"p4.png", "p1.png", "p2.png", "p3.png", "p0.png"};
        QCOMPARE(canvasNames(*canvas), swapped);
        QCOMPARE(gridNames(grid), swapped);

        // Back again, from the other side.
        QVERIFY(dragOnto(grid, "p4.png", "p0.png"));
        QCOMPARE(canvasNames(*canvas), QStringList({"p0.png", "p1.png", "p2.png", "p3.png", "p4.png"}));
    }

    void dropsThatLandNowhereChangeNothing()
    {
        EditPhotoContent* grid = openOn(5);
        QVERIFY(grid);
        const QStringList before = canvasNames(*canvas);
        EditPhotoItem* first = cellNamed(grid, "p0.png");
        QScopedPointer<QMimeData> data(EditPhotoContent::dragData(first));
        QVERIFY(!dropAt(grid, data.data(), centreOf(first)));
        EditPhotoItem* last = cellNamed(grid, "p4.png");
        QVERIFY(!dropAt(grid, data.data(), centreOf(last) + QPoint(last->width(), 0)));
        QVERIFY(!dropAt(grid, data.data(), QPoint(1, 1))); // the margin
        QCOMPARE(canvasNames(*canvas), before);
        QCOMPARE(gridNames(grid), before);
    }

    void dragsFromElsewhereAreRefused()
    {
        EditPhotoContent* grid = openOn(3);
        QVERIFY(grid);
        const QPoint onto = centreOf(cellNamed(grid, "p1.png"));

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile("/tmp/photo.png")});
        QVERIFY(!dropAt(grid, &files, onto));

        QMimeData textOnly;
        textOnly.setText("drag && drop");
        QVERIFY(!dropAt(grid, &textOnly, onto));

        // A cell address that is not one of this grid's cells, e.g. from a grid since replaced.
        int notACell = 0;
        QMimeData stranger;
        stranger.setProperty("EditItem", QVariant::fromValue(static_cast<void*>(&notACell)));
        QVERIFY(!dropAt(grid, &stranger, onto));

        QMimeData wrongType;
        wrongType.setProperty("EditItem", QString("p0.png"));
        QVERIFY(!dropAt(grid, &wrongType, onto));

        QCOMPARE(canvasNames(*canvas), QStringList({"p0.png", "p1.png", "p2.png"}));
    }

    void deletingRenumbersTheCellsBehind()
    {
        EditPhotoContent* grid = openOn(5);
        QVERIFY(grid);
        QPointer<PaintImage> doomed = canvas->paintImages.at(1);
        deleteByMenu(grid, "p1.png");
        QVERIFY(!doomed);
        QVERIFY(!grid->pendingDelete());
        const QStringList left = {"p0.png", "p2.png", "p3.png", "p4.png"};
        QCOMPARE(canvasNames(*canvas), left);
        QCOMPARE(gridNames(grid), left);
        settle();
        QCOMPARE(gridNames(grid), left);

        // p4 is now photo 3 of the canvas; a drag must move that photo and no other.
        QVERIFY(dragOnto(grid, "p4.png", "p0.png"));
        QCOMPARE(canvasNames(*canvas), QStringList({"p4.png", "p2.png", "p3.png", "p0.png"}));
        QCOMPARE(gridNames(grid), canvasNames(*canvas));
        deleteByMenu(grid, "p0.png");
        QCOMPARE(canvasNames(*canvas), QStringList({"p4.png", "p2.png", "p3.png"}));
        QCOMPARE(gridNames(grid), canvasNames(*canvas));
    }

    void menuWithoutChoiceOrCellDeletesNothing()
    {
        EditPhotoContent* grid = openOn(2);
        QVERIFY(grid);
        EditPhotoItem* last = cellNamed(grid, "p1.png");
        QTest::mouseClick(grid, Qt::RightButton, Qt::NoModifier, centreOf(last) + QPoint(last->width(), 0));
        QVERIFY(!QApplication::activePopupWidget());
        QVERIFY(!grid->pendingDelete());

        answerNextPopup(dismissMenu);
        QTest::mouseClick(grid, Qt::RightButton, Qt::NoModifier, centreOf(last));
        QVERIFY(grid->pendingDelete());
        QCOMPARE(canvasNames(*canvas), QStringList({"p0.png", "p1.png"}));
    }

    void deletingTheOnlyPhotoEmptiesTheCanvas()
    {
        EditPhotoContent* grid = openOn(1);
        QVERIFY(grid);
        QVERIFY(!canvas->addButton->isVisibleTo(canvas.data()));
        deleteByMenu(grid, "p0.png");
        QVERIFY(canvas->paintImages.isEmpty());
        QVERIFY(canvas->addButton->isVisibleTo(canvas.data()));
        QCOMPARE(gridNames(grid), QStringList());
        QVERIFY(!grid->cellAt(QPoint(100, 100)));
    }

    void outsideChangesRebuildTheGrid()
    {
        EditPhotoContent* grid = openOn(4);
        QVERIFY(grid);
        // A reorder made elsewhere: until the rebuild the old cells' indexes are wrong, so they act
        // on nothing.
        canvas->swapPhotos(0, 3);
        QVERIFY(!dragOnto(grid, "p0.png", "p1.png"));
        QCOMPARE(canvasNames(*canvas), QStringList({"p3.png", "p1.png", "p2.png", "p0.png"}));
        settle();
        QCOMPARE(gridNames(grid), canvasNames(*canvas));

        EditPhotoItem* oldCell = cellNamed(grid, "p2.png");
        EditPhotoItem* otherOldCell = cellNamed(grid, "p1.png");
        QScopedPointer<QMimeData> oldDrag(EditPhotoContent::dragData(oldCell));
        // "clear": nothing the grid shows or hands on may point at the deleted photos.
        canvas->removeAllPhotos();
        QVERIFY(!oldCell->photo);
        QVERIFY(!oldCell->thumbnail()->paintImage());
        oldCell->thumbnail()->grab(); // paints nothing, and must not crash
        QVERIFY(!dropAt(grid, oldDrag.data(), centreOf(otherOldCell)));
        settle();
        QCOMPARE(dialog->photoGrid(), grid);
        QCOMPARE(gridNames(grid), QStringList());

        // "add" with the window open.
        for (const char* name : {"a.png", "b.png", "c.png"})
            canvas->addImage(photoImage(200, 100, Qt::gray), name);
        settle();
        QCOMPARE(gridNames(grid), QStringList({"a.png", "b.png", "c.png"}));
        // The drag data of a cell from before the rebuild names no cell any more.
        QVERIFY(!dropAt(grid, oldDrag.data(), centreOf(cellNamed(grid, "b.png"))));

        QVERIFY(dragOnto(grid, "a.png", "c.png"));
        QCOMPARE(canvasNames(*canvas), QStringList({"c.png", "b.png", "a.png"}));
        deleteByMenu(grid, "b.png");
        QCOMPARE(canvasNames(*canvas), QStringList({"c.png", "a.png"}));
        QCOMPARE(gridNames(grid), canvasNames(*canvas));
    }

    void reloadingReplacesTheGrid()
    {
        QPointer<EditPhotoContent> first = openOn(2);
        QVERIFY(first);
        dialog->loadPhotos(canvas.data());
        settle();
        QVERIFY(!first);
        QCOMPARE(gridNames(dialog->photoGrid()), QStringList({"p0.png", "p1.png"}));
    }
};

QTEST_MAIN(TestEditPhotosDialog)
#include "tst_editphotosdialog.moc"
