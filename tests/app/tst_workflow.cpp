#include "app/historycontrols.h"
#include "app/windowedits.h"
#include "app/workflowvalues.h"
#include "canvas/geometry.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherconfig.h"
#include "canvas/tools/watermark.h"
#include "editphotos/editphotocontent.h"
#include "editphotos/editphotoitem.h"
#include "editphotos/editphotosdialog.h"
#include "history/striphistory.h"
#include "panorama/ui/panoramdialog.h"
#include "settings/aboutdialog.h"
#include "settings/appdialog.h"
#include "settings/appsettings.h"
#include "support/filledimage.h"
#include "support/intakewait.h"
#include "support/modalanswerer.h"
#include "support/scrollcorpus.h"
#include "support/windowfixture.h"

#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QtTest>

using WindowEdits::dragEdge;

namespace {
int shownCells(EditPhotosDialog* dialog)
{
    const auto cells = dialog->photoGrid()->cells();
    return int(std::count_if(cells.begin(), cells.end(), [](EditPhotoItem* c) { return !c->isHidden(); }));
}
} // namespace

// The editing work on the real main window: the questions before work is lost, the tools, the entries
// and the small windows, and every edit one step of the history.
class TestWorkflow : public QObject
{
    Q_OBJECT
private:
    StitcherConfig& config = *StitcherConfig::instance();
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

    // Two photos laid out horizontally at 200 units high: 400 + 200 wide.
    struct Fixture : WindowFixture
    {
        Fixture() { addPhotos({{400, 200}, {300, 300}}); }
        void makeChange(const QString& change)
        {
            if (change.contains("cut"))
                canvas->cutLeft = 10;
            if (change.contains("spacing"))
                ui.spacingAllButton->click();
            if (change.contains("watermark"))
                ui.watermarkTileButton->click();
            if (change.contains("text"))
                ui.watermarkEdit->setText("mine");
            if (change.contains("annotation"))
                canvas->annotations.append(Annotation{});
            if (change.contains("path"))
                ui.pathButton->click();
        }
        void click(TopBar which) { topBar(which)->click(); }
    };

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        AppSettings::instance();
        QSettings().remove("editor/PanoramaTips");
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

    // Changing the direction, choosing a trim tool and opening Edit Photos ask only when work would be
    // lost. Yes discards the editing results (the trims too when the direction changes) but not the
    // watermark's text; no keeps everything.
    void asksOnlyWhenWorkWouldBeLost_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("asks");
        QTest::addColumn<bool>("yes");
        const struct
        {
            const char* change;
            bool direction, stitching;
        } rows[] = {{"nothing", false, false}, {"cut", true, false},         {"spacing", true, true},
                    {"watermark", true, true}, {"text alone", false, false}, {"annotation", true, true}};
        for (const auto& r : rows) {
            QTest::addRow("direction, %s", r.change) << "direction" << r.change << r.direction << true;
            QTest::addRow("stitching, %s", r.change) << "stitching" << r.change << r.stitching << true;
        }
        for (const char* action : {"direction", "stitching", "edit"})
            QTest::addRow("%s, all, answered no", action)
                << action << "cut spacing watermark annotation path" << true << false;
        QTest::newRow("edit, trims and watermark text") << QString("edit") << "cut text" << false << true;
        QTest::newRow("edit, spacing and a drawing tool")
            << QString("edit") << "spacing path" << true << true;
    }
    void asksOnlyWhenWorkWouldBeLost()
    {
        QFETCH(QString, action);
        QFETCH(QString, change);
        QFETCH(bool, asks);
        QFETCH(bool, yes);
        Fixture f;
        f.makeChange(change);
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::pressButton(yes ? QMessageBox::Yes : QMessageBox::No));
        const bool edit = action == "edit", toDirection = action == "direction";
        if (edit)
            f.click(Fixture::Edit);
        else
            (toDirection ? f.ui.verticalButton : f.ui.cutInnerButton)->click();
        QCOMPARE(answerer.answeredCount(), asks ? 1 : 0);
        if (!yes) {
            // Everything stays, and the direction already in effect changes nothing and asks nothing.
            f.ui.horizontalButton->click();
            QCOMPARE(answerer.answeredCount(), 1);
            QVERIFY(!f.ui.verticalButton->isChecked() && !f.ui.cutInnerButton->isChecked());
            QVERIFY(f.ui.horizontalButton->isChecked() && f.ui.pathButton->isChecked());
            QVERIFY(!f.ui.editPhotosDialog);
            QCOMPARE(config.tool, int(StitcherConfig::DrawTool));
            QCOMPARE(f.canvas->cutLeft, 10.0);
            QCOMPARE(f.canvas->spacingMode, int(Geometry::SpacingInnerBit | Geometry::SpacingOuterBit));
            QCOMPARE(f.canvas->annotations.size(), 1);
            QCOMPARE(config.watermarkMode, int(Watermark::Tile));
            return;
        }
        QCOMPARE(f.canvas->spacingMode, 0);
        QVERIFY(!f.ui.spacingAllButton->isChecked());
        QVERIFY(f.canvas->annotations.isEmpty());
        QCOMPARE(config.watermarkMode, int(Watermark::None));
        QCOMPARE(f.canvas->hasTrims(), !toDirection && change.contains("cut"));
        QCOMPARE(config.watermarkText, change.contains("text") ? QString("mine") : QString());
        QCOMPARE(f.ui.watermarkEdit->text(), config.watermarkText);
        QCOMPARE(f.canvas->direction, int(toDirection ? Geometry::Vertical : Geometry::Horizontal));
        // Edit Photos leaves a shape button checked and its tool on, but with no shape.
        const bool drawing = edit && change.contains("path");
        QCOMPARE(f.ui.pathButton->isChecked(), drawing);
        const int tool = drawing ? StitcherConfig::DrawTool : StitcherConfig::NoTool;
        QCOMPARE(config.tool, action == "stitching" ? int(StitcherConfig::TrimTool) : tool);
        if (edit) {
            QCOMPARE(config.shape, int(Annotation::NoShape));
            QCOMPARE(shownCells(f.ui.editPhotosDialog), 2);
        }
    }

    void toolButtonsFormOneExclusiveSet()
    {
        Fixture f;
        MainWindowProbe& w = f.ui;
        const struct
        {
            QPushButton* button;
            int tool, shape, cutMode;
            QString mosaic;
        } steps[] = {
            {w.cutOuterButton, StitcherConfig::TrimTool, Annotation::NoShape, Geometry::CutOuter,
             "mosaic:none"},
            {w.arrowButton, StitcherConfig::DrawTool, Annotation::Arrow, Geometry::CutNone, "mosaic:none"},
            {w.mosaicButtons[2], StitcherConfig::MosaicTool, Annotation::Arrow, Geometry::CutNone,
             "mosaic-red"},
            {w.cutAllButton, StitcherConfig::TrimTool, Annotation::Arrow, Geometry::CutAll, "mosaic-red"},
            {w.pathButton, StitcherConfig::DrawTool, Annotation::Path, Geometry::CutNone, "mosaic-red"}};
        for (const auto& s : steps) {
            s.button->click();
            for (QPushButton* tool : w.toolButtons())
                QCOMPARE(tool->isChecked(), tool == s.button);
            QCOMPARE(config.tool, s.tool);
            QCOMPARE(config.shape, s.shape);
            QCOMPARE(f.canvas->cutMode, s.cutMode);
            QCOMPARE(config.mosaicName, s.mosaic);
        }
        // A spacing mode switches every tool off; clicked again it is off itself.
        w.spacingOuterButton->click();
        QVERIFY(!w.pathButton->isChecked());
        QCOMPARE(config.tool, int(StitcherConfig::NoTool));
        w.spacingOuterButton->click();
        QCOMPARE(f.canvas->spacingMode, 0);

        // A watermark switches a trim tool off, but not a drawing tool.
        w.cutOuterButton->click();
        w.watermarkTileButton->click();
        QCOMPARE(config.tool, int(StitcherConfig::NoTool));
        QVERIFY(!w.cutOuterButton->isChecked());
        w.pathButton->click();
        w.watermarkBottomButton->click();
        QCOMPARE(config.tool, int(StitcherConfig::DrawTool));
        QVERIFY(w.pathButton->isChecked());
    }

    void sizeEntries()
    {
        Fixture f;
        using WindowEdits::enter;
        QCOMPARE(f.ui.heightEdit->text(), QString("200")); // the first photo's
        enter(f.ui.heightEdit, "100");
        QCOMPARE(config.paintHeight, 100);
        QCOMPARE(f.ui.widthEdit->text(), QString("300"));
        // Sizes the strip could not be rendered at are refused and the entry shows the size in effect.
        for (const QString& text : {QString::number(WorkflowValues::maxCommonSide + 1), QString(30, '9')}) {
            enter(f.ui.heightEdit, text);
            QCOMPARE(config.paintHeight, 100);
            QCOMPARE(f.ui.heightEdit->text(), QString("100"));
        }
        // In vertical layout only the width entry counts, with the same bound.
        f.ui.verticalButton->click();
        QVERIFY(f.ui.heightEdit->isReadOnly() && !f.ui.widthEdit->isReadOnly());
        const int width = config.paintWidth;
        enter(f.ui.heightEdit, "150");
        QCOMPARE(config.paintHeight, 100);
        enter(f.ui.widthEdit, QString::number(WorkflowValues::maxCommonSide + 1));
        QCOMPARE(config.paintWidth, width);
        QCOMPARE(f.ui.widthEdit->text(), QString::number(width));
        enter(f.ui.widthEdit, "150");
        QCOMPARE(config.paintWidth, 150);
    }

    // The small windows close on Escape and are made once: clicked again while open or after being
    // closed, the same window shows, with the canvas as it is now.
    void windowsAreMadeOnceAndCloseOnEscape()
    {
        Fixture f;
        f.click(Fixture::About);
        f.click(Fixture::Apps);
        f.click(Fixture::Edit);
        QPointer<AboutDialog> about = f.ui.aboutDialog;
        QPointer<AppDialog> apps = f.ui.appDialog;
        QPointer<EditPhotosDialog> edit = f.ui.editPhotosDialog;
        QVERIFY(about && apps && edit && edit->isVisible());
        f.click(Fixture::About);
        QVERIFY(about->isVisible());
        for (QWidget* opened : QList<QWidget*>{about, apps, edit}) {
            QApplication::setActiveWindow(opened); // as the window manager does with a new window
            QTest::keyClick(opened, Qt::Key_Escape);
            QVERIFY2(!opened->isVisible(), opened->metaObject()->className());
        }
        f.click(Fixture::Apps);
        f.canvas->addImage(QImage(100, 100, QImage::Format_RGB32), "d.png");
        f.click(Fixture::Edit);
        QCOMPARE(f.ui.aboutDialog, about.data());
        QCOMPARE(f.ui.appDialog, apps.data());
        QCOMPARE(f.ui.editPhotosDialog, edit.data());
        QVERIFY(apps->isVisible() && edit->isVisible());
        QCOMPARE(f.window.findChildren<AboutDialog*>().size(), 1);
        QCOMPARE(shownCells(edit), 3);
    }

    void panoramaIsAppendedAndChangesNothingElse()
    {
        Fixture f;
        f.ui.verticalButton->click();
        f.ui.cutInnerButton->click();
        f.canvas->paintImages.first()->cropLeft = 12;
        const QList<PaintImage*> before = f.canvas->paintImages;
        const int paintWidth = config.paintWidth;
        ModalAnswerer answerer;
        answerer.queue(ModalAnswerer::accept()); // the tips shown on the first opening of a run
        f.click(Fixture::Panorama);
        PanoramDialog* dialog = f.ui.panoramaDialog;
        QVERIFY(dialog && dialog->isVisible());
        const QImage panorama = filledImage(900, 150, Qt::darkRed);
        emit dialog->signalsPanoramaDone(panorama);
        QCOMPARE(f.canvas->paintImages.mid(0, 2), before);
        QCOMPARE(f.canvas->paintImages.size(), 3);
        QCOMPARE(f.canvas->paintImages.last()->image, panorama);
        QCOMPARE(f.canvas->direction, int(Geometry::Vertical));
        QCOMPARE(before.first()->cropLeft, 12.0);
        QCOMPARE(config.paintWidth, paintWidth);
        QCOMPARE(config.tool, int(StitcherConfig::TrimTool));
        QVERIFY(f.ui.cutInnerButton->isChecked());
        dialog->close();
    }

    // The key joins the strip; the message names the pair apart and the repeat taken out; the arrows
    // then trim the result like any other trim, and the strip still renders.
    void joinsAndTheArrowsAdjust()
    {
        using namespace ScrollCorpus;
        WindowFixture f(true);
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        const Screens s = cut(Page::Chat, 360, 640, 60, 40, {0, 270, 270, 1500});
        for (int i = 0; i < s.frames.size(); ++i)
            f.canvas->appendPhoto(s.frames[i], QStringLiteral("shot-0%1.png").arg(i + 1));
        f.ui.verticalButton->click();

        ModalAnswerer answerer;
        QString said;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok, &said));
        QTest::keySequence(&f.window, QKeySequence(Qt::CTRL | Qt::Key_J));
        QTRY_COMPARE(answerer.answeredCount(), 1);
        QVERIFY2(said.contains("shot-02.png and shot-04.png") && said.contains("shot-03.png"),
                 qPrintable(said));
        QCOMPARE(f.canvas->paintImages.size(), 3);
        // The joined run as long as the page, then the photo apart whole.
        QCOMPARE(f.canvas->contentSize().height(),
                 cut(Page::Chat, 360, 640, 60, 40, {0, 270}).expected.height() + 640);

        f.ui.cutInnerButton->click();
        PaintImage* second = f.canvas->paintImages[1];
        const double top = second->cropTop;
        const int height = f.canvas->contentSize().height();
        second->topButton->click();
        QVERIFY(f.canvas->nudgeArmedEdge(Qt::Key_Down, 10));
        QCOMPARE(second->cropTop, top + 10);
        QCOMPARE(f.canvas->contentSize().height(), height - 10);
        QCOMPARE(f.canvas->renderImage().height(), height - 10);

        // The trim is one step back, and the join, the repeat it took out included, one more.
        second->topButton->click();
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QTest::keySequence(&f.window, QKeySequence::Undo);
        QCOMPARE(f.canvas->contentSize().height(), height);
        QTest::keySequence(&f.window, QKeySequence::Undo);
        QCOMPARE(f.canvas->paintImages.size(), 4);
        QCOMPARE(f.canvas->contentSize().height(), 4 * 640);
    }

    // Each kind of edit, made as the user makes it, marks the window as changed and is one step that
    // the Undo key takes back to the very pixels before it and the Redo key brings forward again.
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

QTEST_MAIN(TestWorkflow)
#include "tst_workflow.moc"
