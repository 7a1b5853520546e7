#include "app/historycontrols.h"
#include "app/windowedits.h"
#include "history/striphistory.h"
#include "support/filledimage.h"
#include "support/intakewait.h"
#include "support/modalanswerer.h"
#include "support/windowfixture.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

using WindowEdits::dragEdge;

// Each kind of edit, made as the user makes it, marks the window as changed and is one
// step that the Undo key takes back to the very pixels before it and the Redo key brings forward again.
class TestUndoEdits : public QObject
{
    Q_OBJECT
    using Edit = std::function<void(WindowFixture& f)>;
    QTemporaryDir dir;
    QMap<QString, Edit> edits;

    static void stroke(WindowFixture& f, int tool)
    {
        StitcherConfig::instance()->shape = Annotation::Path;
        WindowEdits::stroke(f.canvas, tool, QPoint(f.canvas->width() / 4, f.canvas->height() / 2));
    }
    static void panelButton(WindowFixture& f, const QString& toolTip)
    {
        for (QAbstractButton* b : f.window.findChildren<QAbstractButton*>())
            if (b->toolTip().startsWith(toolTip + " ("))
                return b->click();
        QFAIL(qPrintable("no button " + toolTip));
    }
    static void slide(WindowFixture& f, const char* name)
    {
        auto* slider = f.window.findChild<QSlider*>(name);
        slider->setValue(20);
        slider->setValue(70);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QStringList files;
        for (int i = 0; i < 3; ++i) {
            files << dir.filePath(QString("in%1.png").arg(i));
            QVERIFY(filledImage(50 + 10 * i, 40, QColor::fromHsv(100 * i, 200, 200)).save(files.last()));
        }
        edits = {
            {"intake of three photos",
             [files](auto& f) {
                 f.canvas->addPhotoFiles(files);
                 QVERIFY(waitForIntakes());
             }},
            {"remove a photo", [](auto& f) { f.canvas->removePhoto(1); }},
            {"reorder", [](auto& f) { f.canvas->swapPhotos(0, 2); }},
            {"panorama handed back", [](auto& f) { f.ui.onPanoramaDone(filledImage(90, 30, Qt::red)); }},
            {"direction",
             [](auto& f) {
                 ModalAnswerer answerer;
                 answerer.queue(ModalAnswerer::pressButton(QMessageBox::Yes));
                 f.ui.verticalButton->click();
             }},
            {"common size", [](auto& f) { WindowEdits::enter(f.ui.heightEdit, "150"); }},
            {"trim drag",
             [](auto& f) { dragEdge(f.canvas, f.canvas->paintImages[0]->rightButton, QPoint(-5, 0), 3); }},
            {"strip cut drag",
             [](auto& f) { dragEdge(f.canvas, f.canvas->stripButtons[2], QPoint(0, 5), 3); }},
            {"spacing on", [](auto& f) { f.ui.spacingAllButton->click(); }},
            {"spacing size", [](auto& f) { slide(f, "spacingOuterSlider"); }},
            {"spacing colour", [](auto& f) { f.canvas->setSpacingColor(Qt::red); }},
            {"drawing", [](auto& f) { stroke(f, StitcherConfig::DrawTool); }},
            {"mosaic stroke", [](auto& f) { stroke(f, StitcherConfig::MosaicTool); }},
            {"panel undo drawing", [](auto& f) { panelButton(f, "Undo the last drawing"); }},
            {"panel clear drawings", [](auto& f) { panelButton(f, "Clear all drawings"); }},
            {"panel undo mosaic", [](auto& f) { panelButton(f, "Undo the last mosaic stroke"); }},
            {"panel clear mosaic", [](auto& f) { panelButton(f, "Clear all mosaic strokes"); }},
            {"watermark mode", [](auto& f) { f.ui.watermarkTileButton->click(); }},
            {"watermark text typed",
             [](auto& f) {
                 f.ui.watermarkEdit->setText("Se");
                 f.ui.watermarkEdit->setText("Sea");
             }},
            {"watermark opacity", [](auto& f) { slide(f, "watermarkOpacitySlider"); }},
            {"clear", [](auto& f) { f.topBar(WindowFixture::Clear)->click(); }},
        };
    }

    void eachEditIsOneStepBackToTheSamePixels_data()
    {
        QTest::addColumn<QString>("edit");
        for (const QString& name : edits.keys())
            QTest::newRow(qPrintable(name)) << name;
    }
    void eachEditIsOneStepBackToTheSamePixels()
    {
        QFETCH(QString, edit);
        WindowFixture f(true);
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        f.addPhotos({{60, 40}, {30, 90}}, Qt::darkCyan);
        f.canvas->addImage(filledImage(40, 40, Qt::yellow), "y.png");
        stroke(f, StitcherConfig::DrawTool);
        stroke(f, StitcherConfig::MosaicTool);
        f.ui.watermarkEdit->setText("W");
        f.ui.watermarkBottomButton->click();
        QUndoStack* stack = f.ui.historyControls->history()->stack();
        const int steps = stack->count();
        const StripState before = f.canvas->state();
        const QImage beforePixels = f.canvas->renderImage();

        f.window.setWindowModified(false);
        edits[edit](f);
        const StripState after = f.canvas->state();
        const QImage afterPixels = f.canvas->renderImage();
        // Work to lose, unless nothing is left or the spacing it sets is off.
        const bool unseen = edit == "spacing size" || edit == "spacing colour";
        QCOMPARE(f.window.isWindowModified(), !unseen && !f.canvas->paintImages.isEmpty());
        QVERIFY(after != before);
        QCOMPARE(stack->count(), steps + 1);

        QApplication::setActiveWindow(&f.window); // after any question the edit asked
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QTest::keySequence(&f.window, QKeySequence::Undo);
        QVERIFY(f.canvas->state() == before);
        QCOMPARE(f.canvas->renderImage(), beforePixels);
        QTest::keySequence(&f.window, QKeySequence::Redo);
        QVERIFY(f.canvas->state() == after);
        QCOMPARE(f.canvas->renderImage(), afterPixels);
        // The photos come back as the very pixels they were, shared and never copied.
        for (int i = 0; i < after.photos.size(); ++i)
            QCOMPARE(f.canvas->paintImages[i]->image.constBits(), after.photos[i].image.constBits());
        // The panel shows what the strip has.
        QCOMPARE(f.ui.watermarkEdit->text(), StitcherConfig::instance()->watermarkText);
        QCOMPARE(f.ui.verticalButton->isChecked(), f.canvas->isVertical());
        QCOMPARE(f.ui.heightEdit->isReadOnly(), f.canvas->isVertical());
    }
};

QTEST_MAIN(TestUndoEdits)
#include "tst_undoedits.moc"
