#include "panorama/ui/dragdropwidget.h"
#include "panorama/ui/photocontent.h"
#include "panorama/ui/photoimage.h"
#include "panorama/ui/photoitem.h"
#include "support/dropurls.h"
#include "support/modalanswerer.h"

#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QPushButton* buttonFor(QWidget* page, const QString& word)
{
    for (QPushButton* button : page->findChildren<QPushButton*>())
        if (button->styleSheet().contains("Panorama-" + word + ".png"))
            return button;
    return nullptr;
}

QPoint cellOf(const PhotoContent* content, const PhotoItem* item)
{
    int row = -1, column = -1, rowSpan = 0, columnSpan = 0;
    const int index = content->grid()->indexOf(const_cast<PhotoItem*>(item));
    if (index >= 0)
        content->grid()->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    return QPoint(column, row);
}

} // namespace

class TestDragDropWidget : public QObject
{
    Q_OBJECT

    QTemporaryDir folder;

    QString photo(const QString& name, QColor colour = Qt::darkCyan, QSize size = QSize(40, 30))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(colour);
        const QString path = folder.filePath(name);
        if (!QFile::exists(path))
            image.save(path);
        return path;
    }

    void addPhotos(DragDropWidget& page, int count)
    {
        for (int i = 0; i < count; ++i) {
            const QString path = photo(QString("p%1.png").arg(i));
            page.content()->addPhoto(QImage(path), path);
        }
    }

private slots:
    void photosFillRowsOfFive()
    {
        DragDropWidget page;
        addPhotos(page, 6);
        const QList<PhotoItem*> items = page.content()->photos();
        QCOMPARE(items.size(), 6);
        const QList<QPoint> expected{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {0, 1}};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(cellOf(page.content(), items[i]), expected[i]);
    }

    void removingSelectedCellsClosesTheGaps()
    {
        DragDropWidget page;
        addPhotos(page, 6);
        QList<PhotoItem*> items = page.content()->photos();
        items[2]->toggleSelected();
        items[4]->toggleSelected();
        buttonFor(&page, "remove")->click();
        const QStringList expectedNames{"p0.png", "p1.png", "p3.png", "p5.png"};
        items = page.content()->photos();
        QCOMPARE(items.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(QFileInfo(items[i]->filePath).fileName(), expectedNames[i]);
            QCOMPARE(cellOf(page.content(), items[i]), QPoint(i, 0));
        }
        QCOMPARE(QFileInfo(page.photoPaths().value(3)).fileName(), QStringLiteral("p5.png"));
    }

    void emptyPanelFollowsTheList()
    {
        DragDropWidget page;
        page.resize(700, 400);
        page.show();
        QVERIFY(page.emptyPanel()->isVisible());
        QVERIFY(dropUrls(&page, {QUrl::fromLocalFile(photo("a.png"))}));
        QVERIFY(!page.emptyPanel()->isVisible());

        for (PhotoItem* item : page.content()->photos())
            item->toggleSelected();
        buttonFor(&page, "remove")->click();
        QVERIFY(page.photoPaths().isEmpty());
        QVERIFY(page.emptyPanel()->isVisible());

        // A drop with nothing decodable adds nothing and leaves the panel up, but is refused.
        QFile text(folder.filePath("notes.txt"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a picture");
        text.close();
        QVERIFY(!dropUrls(&page, {QUrl::fromLocalFile(text.fileName())}));
        QVERIFY(page.emptyPanel()->isVisible());
        // A drag that carries no files is accepted and adds nothing.
        QVERIFY(dropUrls(&page, {}));
        QVERIFY(page.emptyPanel()->isVisible());

        // The drop stops at the first undecodable file; what came before stays and is not hidden.
        QVERIFY(!dropUrls(&page, {QUrl::fromLocalFile(photo("x.png")), QUrl::fromLocalFile(text.fileName()),
                                  QUrl::fromLocalFile(photo("y.png"))}));
        QCOMPARE(page.photoPaths(), QStringList{photo("x.png")});
        QVERIFY(!page.emptyPanel()->isVisible());
    }

    void openAddsChosenFilesAndHidesThePanel()
    {
        DragDropWidget page;
        page.show();
        const QString a = photo("a.png"), b = photo("b.png");
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::reject());
        buttonFor(&page, "open")->click();
        QVERIFY(page.photoPaths().isEmpty());
        QVERIFY(page.emptyPanel()->isVisible());

        answerer.queue([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->windowTitle(), QStringLiteral("Choose Pictures"));
            dialog->setDirectory(folder.path());
            dialog->selectFile("\"b.png\" \"a.png\"");
            static_cast<QDialog*>(dialog)->accept();
        });
        buttonFor(&page, "open")->click();
        QCOMPARE(answerer.answeredCount(), 2);
        QCOMPARE(page.photoPaths(), (QStringList{b, a}));
        QVERIFY(!page.emptyPanel()->isVisible());
    }

    void nextNeedsTwoPhotosAndSendsThemInOrder()
    {
        DragDropWidget page;
        QSignalSpy sent(&page, &DragDropWidget::signalsSelectImages);
        const QString a = photo("a.png"), b = photo("b.png");
        QPushButton* next = buttonFor(&page, "next");
        next->click();
        page.content()->addPhoto(QImage(b), b);
        next->click();
        QCOMPARE(sent.count(), 0);

        page.content()->addPhoto(QImage(a), a);
        next->click();
        QCOMPARE(sent.count(), 1);
        QCOMPARE(sent.at(0).at(0).toStringList(), (QStringList{b, a}));
        QCOMPARE(sent.at(0).at(1).toString(), QStringLiteral("Panorama"));

        page.styleSelector()->setCurrentIndex(1);
        page.content()->addPhoto(QImage(a), a);
        next->click();
        QCOMPARE(sent.count(), 2);
        // The same file twice fills two cells and is sent twice.
        QCOMPARE(page.content()->photos().size(), 3);
        QCOMPARE(sent.at(1).at(0).toStringList(), (QStringList{b, a, a}));
        QCOMPARE(sent.at(1).at(1).toString(), QStringLiteral("Scans"));
    }

    void clicksToggleOneCell()
    {
        DragDropWidget page;
        page.resize(700, 400);
        addPhotos(page, 7);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        const QList<PhotoItem*> items = page.content()->photos();

        // A click on the thumbnail reaches the page, which selects the cell under it.
        QTest::mouseClick(items[6]->thumbnail(), Qt::LeftButton);
        QVERIFY(items[6]->selected);
        QCOMPARE(page.photoItemAt(items[6]->mapTo(&page, QPoint(5, 5))), items[6]);
        QTest::mouseClick(items[6], Qt::RightButton);
        QVERIFY(items[6]->selected);
        QTest::mouseClick(items[6], Qt::LeftButton);
        QVERIFY(!items[6]->selected);
        for (PhotoItem* other : items)
            QVERIFY(!other->selected);
        // The gap between cells belongs to none.
        const QPoint gap = items[0]->mapTo(&page, QPoint(items[0]->width() + 5, 10));
        QCOMPARE(page.photoItemAt(gap), nullptr);
    }

    void thumbnailDrawsTheWholePictureFitted()
    {
        QImage wide(4000, 1000, QImage::Format_RGB32);
        wide.fill(Qt::red);
        PhotoImage thumb(wide);
        QImage shot(thumb.size(), QImage::Format_ARGB32);
        shot.fill(Qt::transparent);
        thumb.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
        // Fitted into 126x100 it is 126x31 at y 34, with nothing painted around it.
        for (int x : {0, 60, 125}) {
            QCOMPARE(shot.pixelColor(x, 34), QColor(Qt::red));
            QCOMPARE(shot.pixelColor(x, 64), QColor(Qt::red));
            QCOMPARE(shot.pixelColor(x, 33).alpha(), 0);
            QCOMPARE(shot.pixelColor(x, 65).alpha(), 0);
        }
    }
};

QTEST_MAIN(TestDragDropWidget)
#include "tst_dragdropwidget.moc"
