#include "app/windowedits.h"
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
    for (EditPhotoItem* cell : grid->cells())
        if (cell->isVisibleTo(grid) && cell->photo && cell->photo->name == name)
            return cell;
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

// Runs what the grid queued (a rebuild) and deletes what went away.
void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Right-clicks the cell and answers its menu, whose first entry deletes the photo.
void deleteByMenu(EditPhotoContent* grid, const QString& name, void (*answer)(QMenu*) = chooseFirstEntry)
{
    EditPhotoItem* cell = cellNamed(grid, name);
    QVERIFY(cell);
    answerNextPopup(answer);
    QTest::mouseClick(grid, Qt::RightButton, Qt::NoModifier, cell->geometry().center());
}
} // namespace

class TestEditPhotosDialog : public QObject
{
    Q_OBJECT

    QScopedPointer<PainterArea> canvas;
    QScopedPointer<EditPhotosDialog> dialog;

    // The canvas holds these photos and the grid shows them in the same order.
    void expect(EditPhotoContent* grid, const QStringList& names)
    {
        QCOMPARE(WindowEdits::photoNames(canvas.data()), names);
        QCOMPARE(gridNames(grid), names);
    }

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

    void fivePhotosSwapDeleteAndRefuseStrangers()
    {
        EditPhotoContent* grid = openOn(5);
        QVERIFY(grid);
        expect(grid, {"p0.png", "p1.png", "p2.png", "p3.png", "p4.png"});
        QCOMPARE(grid->gridLayout()->itemAtPosition(1, 1)->widget(), cellNamed(grid, "p4.png"));

        QVERIFY(dragOnto(grid, "p0.png", "p4.png"));
        expect(grid, {"p4.png", "p1.png", "p2.png", "p3.png", "p0.png"});

        // On itself, on empty space after the last cell, or from outside the grid: nothing changes.
        EditPhotoItem* moved = cellNamed(grid, "p0.png");
        QScopedPointer<QMimeData> own(EditPhotoContent::dragData(moved));
        QMimeData files, stranger;
        files.setUrls({QUrl::fromLocalFile("/tmp/photo.png")});
        int notACell = 0; // an address that is none of this grid's cells
        stranger.setProperty("EditItem", QVariant::fromValue(static_cast<void*>(&notACell)));
        QVERIFY(!dropAt(grid, own.data(), moved->geometry().center()));
        QVERIFY(!dropAt(grid, own.data(), moved->geometry().center() + QPoint(moved->width(), 0)));
        for (const QMimeData* data : {&files, &stranger})
            QVERIFY(!dropAt(grid, data, cellNamed(grid, "p1.png")->geometry().center()));
        expect(grid, {"p4.png", "p1.png", "p2.png", "p3.png", "p0.png"});

        // After photo 1 goes, the cells behind it are renumbered: p3 is photo 2 of the canvas.
        deleteByMenu(grid, "p1.png");
        expect(grid, {"p4.png", "p2.png", "p3.png", "p0.png"});
        QVERIFY(dragOnto(grid, "p3.png", "p4.png"));
        expect(grid, {"p3.png", "p2.png", "p4.png", "p0.png"});

        // A dismissed menu deletes nothing.
        deleteByMenu(grid, "p2.png", dismissMenu);
        settle();
        expect(grid, {"p3.png", "p2.png", "p4.png", "p0.png"});
    }

    void keysSelectMoveAndDelete()
    {
        EditPhotoContent* grid = openOn(5);
        QVERIFY(grid);
        // The photos by their numbers, "p" and ".png" left out.
        const struct
        {
            int key;
            Qt::KeyboardModifiers modifiers;
            int selected;
            const char* order;
        } steps[] = {
            {Qt::Key_Right, Qt::NoModifier, 0, "01234"}, // the first
            {Qt::Key_Down, Qt::NoModifier, 3, "01234"},
            {Qt::Key_Down, Qt::NoModifier, 4, "01234"}, // the last
            {Qt::Key_Left, Qt::ControlModifier, 3, "01243"},
            {Qt::Key_Up, Qt::ControlModifier, 2, "01423"},
            {Qt::Key_Delete, Qt::NoModifier, 2, "0123"},
            {Qt::Key_Right, Qt::NoModifier, 3, "0123"},
            {Qt::Key_Delete, Qt::NoModifier, 2, "012"}, // the one before follows
        };
        for (const auto& step : steps) {
            QTest::keyClick(grid, Qt::Key(step.key), step.modifiers);
            QCOMPARE(grid->selectedIndex(), step.selected);
            QStringList names;
            for (const char digit : QByteArray(step.order))
                names << QString("p%1.png").arg(digit);
            expect(grid, names);
        }
    }

    void clearAndAddWhileOpen()
    {
        EditPhotoContent* grid = openOn(3);
        QVERIFY(grid);
        // Nothing the grid shows or hands on may point at the deleted photos.
        EditPhotoItem* oldCell = cellNamed(grid, "p2.png");
        QScopedPointer<QMimeData> oldDrag(EditPhotoContent::dragData(oldCell));
        canvas->removeAllPhotos();
        oldCell->thumbnail()->grab(); // paints nothing, and must not crash
        settle();
        QCOMPARE(gridNames(grid), QStringList());

        for (const char* name : {"a.png", "b.png", "c.png"})
            canvas->addImage(QImage(200, 100, QImage::Format_RGB32), name);
        settle();
        QCOMPARE(gridNames(grid), QStringList({"a.png", "b.png", "c.png"}));
        QVERIFY(!dropAt(grid, oldDrag.data(), cellNamed(grid, "b.png")->geometry().center()));
        QVERIFY(dragOnto(grid, "a.png", "c.png"));
        expect(grid, {"c.png", "b.png", "a.png"});
        deleteByMenu(grid, "b.png");
        expect(grid, {"c.png", "a.png"});
        // Deleting the last photos one by one leaves an empty canvas waiting for photos.
        deleteByMenu(grid, "c.png");
        deleteByMenu(grid, "a.png");
        expect(grid, {});
        QVERIFY(canvas->addButton->isVisibleTo(canvas.data()));
    }
};

QTEST_MAIN(TestEditPhotosDialog)
#include "tst_editphotosdialog.moc"
