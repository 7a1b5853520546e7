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
#include <QtTest>

namespace {
QStringList canvasNames(const PainterArea& canvas)
{
    QStringList names;
    for (const PaintImage* photo : canvas.paintImages)
        names << photo->name;
    return names;
}

// The grid in reading order; a cell whose index, visibility or photo disagrees with its place is "?".
QStringList gridNames(EditPhotoContent* grid)
{
    QStringList names;
    QGridLayout* layout = grid->gridLayout();
    for (int i = 0; QLayoutItem* item = layout->itemAtPosition(i / 3, i % 3); ++i) {
        auto* cell = qobject_cast<EditPhotoItem*>(item->widget());
        const bool sound = cell && cell->index == i && cell->isVisibleTo(grid) && cell->photo &&
                           cell->nameLabel()->text() == cell->photo->name;
        names << (sound ? cell->photo->name : QString("?"));
    }
    if (layout->count() != names.size())
        names << "stray cell";
    return names;
}

EditPhotoItem* cellNamed(EditPhotoContent* grid, const QString& name)
{
    for (EditPhotoItem* cell : grid->cells()) {
        if (cell->isVisibleTo(grid) && cell->photo && cell->photo->name == name)
            return cell;
    }
    return nullptr;
}

// One drop as the toolkit delivers it: enter, move, drop. Returns whether the grid took it.
bool dropAt(EditPhotoContent* grid, const QMimeData* data, const QPoint& at)
{
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &enter);
    if (!enter.isAccepted())
        return false;
    QDragMoveEvent move(at, actions, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(grid, &move);
    QDropEvent drop(at, actions, data, Qt::LeftButton, Qt::NoModifier);
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
    return dropAt(grid, data.data(), target->geometry().center());
}

void deleteByMenu(EditPhotoContent* grid, const QString& name)
{
    EditPhotoItem* cell = cellNamed(grid, name);
    QVERIFY(cell);
    answerNextPopup(chooseFirstEntry);
    QTest::mouseClick(grid, Qt::RightButton, Qt::NoModifier, cell->geometry().center());
}

// Runs what the grid queued (a rebuild) and deletes what went away.
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
        for (int i = 0; i < photoCount; ++i) {
            QImage image(300 + 40 * i, 200, QImage::Format_RGB32);
            image.fill(QColor::fromHsv(60 * i, 200, 220));
            canvas->addImage(image, QString("p%1.png").arg(i));
        }
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
        QCOMPARE(gridNames(grid), canvasNames(*canvas));
        QCOMPARE(grid->gridLayout()->itemAtPosition(1, 1)->widget(), cellNamed(grid, "p4.png"));
        // Three whole cells side by side fit the window; after the last cell there is no cell.
        QVERIFY(grid->width() <= dialog->width());
        EditPhotoItem* last = cellNamed(grid, "p4.png");
        QVERIFY(!grid->cellAt(last->geometry().center() + QPoint(last->width(), 0)));

        // The thumbnail shows the whole 300 x 200 photo in 200 x 180: 200 x 133 at y 23.
        const QImage shot = cellNamed(grid, "p0.png")->thumbnail()->grab().toImage();
        const QRgb colour = canvas->paintImages.first()->image.pixel(0, 0);
        QCOMPARE(shot.pixel(1, 24), colour);
        QVERIFY(shot.pixel(100, 10) != colour);
        QVERIFY(shot.pixel(100, 170) != colour);
    }

    void droppingOnePhotoOnAnotherSwapsThem()
    {
        EditPhotoContent* grid = openOn(5);
        QVERIFY(grid);
        // A press starts the real drag; without a window system it ends at once, unaccepted.
        QTest::ignoreMessage(QtDebugMsg, "EditPhotoContent Show 0 0");
        QTest::mousePress(grid, Qt::LeftButton, Qt::NoModifier,
                          cellNamed(grid, "p0.png")->geometry().center());

        QVERIFY(dragOnto(grid, "p0.png", "p4.png"));
        QCOMPARE(canvasNames(*canvas), QStringList({"p4.png", "p1.png", "p2.png", "p3.png", "p0.png"}));
        QCOMPARE(gridNames(grid), canvasNames(*canvas));

        // On itself, on empty space after the last cell and on the margin: nothing changes.
        EditPhotoItem* moved = cellNamed(grid, "p0.png");
        QScopedPointer<QMimeData> data(EditPhotoContent::dragData(moved));
        QVERIFY(!dropAt(grid, data.data(), moved->geometry().center()));
        QVERIFY(!dropAt(grid, data.data(), moved->geometry().center() + QPoint(moved->width(), 0)));
        QVERIFY(!dropAt(grid, data.data(), QPoint(1, 1)));
        QCOMPARE(canvasNames(*canvas), QStringList({"p4.png", "p1.png", "p2.png", "p3.png", "p0.png"}));
        QCOMPARE(gridNames(grid), canvasNames(*canvas));
    }

    void dragsFromElsewhereAreRefused()
    {
        EditPhotoContent* grid = openOn(3);
        QVERIFY(grid);
        const QPoint onto = cellNamed(grid, "p1.png")->geometry().center();
        QMimeData files, textOnly, stranger, wrongType;
        files.setUrls({QUrl::fromLocalFile("/tmp/photo.png")});
        textOnly.setText("drag && drop");
        // An address that is none of this grid's cells, as a drag from a replaced grid carries.
        int notACell = 0;
        stranger.setProperty("EditItem", QVariant::fromValue(static_cast<void*>(&notACell)));
        wrongType.setProperty("EditItem", QString("p0.png"));
        for (const QMimeData* data : {&files, &textOnly, &stranger, &wrongType})
            QVERIFY(!dropAt(grid, data, onto));
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
        QCOMPARE(canvasNames(*canvas), QStringList({"p0.png", "p2.png", "p3.png", "p4.png"}));
        QCOMPARE(gridNames(grid), canvasNames(*canvas));

        // p4 is now photo 3 of the canvas; a drag must move that photo and no other.
        QVERIFY(dragOnto(grid, "p4.png", "p0.png"));
        QCOMPARE(canvasNames(*canvas), QStringList({"p4.png", "p2.png", "p3.png", "p0.png"}));
        deleteByMenu(grid, "p0.png");
        QCOMPARE(canvasNames(*canvas), QStringList({"p4.png", "p2.png", "p3.png"}));
        QCOMPARE(gridNames(grid), canvasNames(*canvas));

        // A right click beside the cells shows no menu; a dismissed menu deletes nothing.
        QTest::mouseClick(grid, Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
        QVERIFY(!grid->pendingDelete());
        answerNextPopup(dismissMenu);
        QTest::mouseClick(grid, Qt::RightButton, Qt::NoModifier,
                          cellNamed(grid, "p2.png")->geometry().center());
        QVERIFY(grid->pendingDelete());
        QCOMPARE(canvasNames(*canvas), QStringList({"p4.png", "p2.png", "p3.png"}));
    }

    void deletingTheOnlyPhotoEmptiesTheCanvas()
    {
        EditPhotoContent* grid = openOn(1);
        QVERIFY(grid);
        deleteByMenu(grid, "p0.png");
        QVERIFY(canvas->paintImages.isEmpty());
        QVERIFY(canvas->addButton->isVisibleTo(canvas.data()));
        QCOMPARE(gridNames(grid), QStringList());
    }

    void outsideChangesRebuildTheGrid()
    {
        EditPhotoContent* grid = openOn(4);
        QVERIFY(grid);
        // Reordered elsewhere: until the rebuild the old indexes are wrong, so the cells act on nothing.
        canvas->swapPhotos(0, 3);
        QVERIFY(!dragOnto(grid, "p0.png", "p1.png"));
        QCOMPARE(canvasNames(*canvas), QStringList({"p3.png", "p1.png", "p2.png", "p0.png"}));
        settle();
        QCOMPARE(gridNames(grid), canvasNames(*canvas));

        // "clear": nothing the grid shows or hands on may point at the deleted photos.
        EditPhotoItem* oldCell = cellNamed(grid, "p2.png");
        const QPoint otherOldCell = cellNamed(grid, "p1.png")->geometry().center();
        QScopedPointer<QMimeData> oldDrag(EditPhotoContent::dragData(oldCell));
        canvas->removeAllPhotos();
        QVERIFY(!oldCell->thumbnail()->paintImage());
        oldCell->thumbnail()->grab(); // paints nothing, and must not crash
        QVERIFY(!dropAt(grid, oldDrag.data(), otherOldCell));
        settle();
        QCOMPARE(dialog->photoGrid(), grid);
        QCOMPARE(gridNames(grid), QStringList());

        // "add" with the window open, then a drag and a delete on the new cells.
        for (const char* name : {"a.png", "b.png", "c.png"})
            canvas->addImage(QImage(200, 100, QImage::Format_RGB32), name);
        settle();
        QCOMPARE(gridNames(grid), QStringList({"a.png", "b.png", "c.png"}));
        QVERIFY(!dropAt(grid, oldDrag.data(), cellNamed(grid, "b.png")->geometry().center()));
        QVERIFY(dragOnto(grid, "a.png", "c.png"));
        QCOMPARE(canvasNames(*canvas), QStringList({"c.png", "b.png", "a.png"}));
        deleteByMenu(grid, "b.png");
        QCOMPARE(canvasNames(*canvas), QStringList({"c.png", "a.png"}));
        QCOMPARE(gridNames(grid), canvasNames(*canvas));
    }
};

QTEST_MAIN(TestEditPhotosDialog)
#include "tst_editphotosdialog.moc"
