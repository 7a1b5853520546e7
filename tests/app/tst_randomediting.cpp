#include "app/historycontrols.h"
#include "app/windowedits.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherbutton.h"
#include "canvas/stitcherconfig.h"
#include "history/striphistory.h"
#include "intake/intakerun.h"
#include "support/filedialoganswer.h"
#include "support/intakewait.h"
#include "support/windowfixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QImageReader>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QProgressDialog>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

// Thousands of random but valid user operations on a real main window, checking after each one that
// the strip stays sound: crops inside their images and at least a pixel, cuts within their bounds, a
// positive content size that equals what export writes, and every edit a step of the history. Then the
// whole session is undone to the empty start and redone to the same pixels. Reproduce a failure with
// SEAMWRIGHT_SEED.
class TestRandomEditing : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;
    QStringList photoFiles;
    std::unique_ptr<WindowFixture> f;
    QRandomGenerator random;
    QTimer answerer;
    QString pendingExportPath;
    QString lastExportPath;
    int exports = 0;
    QSet<QByteArray> seen;

    int randomInt(int bound) { return int(random.bounded(quint32(qMax(bound, 1)))); }
    PainterArea* canvas() const { return f->canvas; }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        const QList<QSize> sizes = {{60, 40}, {30, 90}, {120, 35}, {7, 7}, {1, 50}};
        for (int i = 0; i < sizes.size(); ++i) {
            QImage image(sizes[i], QImage::Format_RGB32);
            image.fill(QColor::fromHsv(i * 60, 200, 200));
            QPainter(&image).fillRect(0, 0, sizes[i].width() / 2, sizes[i].height() / 2, Qt::black);
            const QString path = dir.filePath(QString("photo%1.png").arg(i));
            QVERIFY(image.save(path));
            photoFiles << path;
        }

        // Answers whatever modal the operations raise: confirmations at random, the save dialog with the
        // pending export path, anything else by closing it.
        answerer.setInterval(5);
        connect(&answerer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                const bool yes = box->button(QMessageBox::Yes) && randomInt(3) != 0;
                QAbstractButton* b = box->button(yes ? QMessageBox::Yes : QMessageBox::No);
                if (!b)
                    b = box->buttons().value(0);
                if (b)
                    b->click();
            } else if (qobject_cast<QProgressDialog*>(modal)) {
                return; // closing it would cancel the export
            } else if (qobject_cast<QFileDialog*>(modal) && !pendingExportPath.isEmpty()) {
                const QString path = pendingExportPath;
                pendingExportPath.clear();
                chooseFileInDialog(path)(modal);
            } else {
                modal->close();
            }
        });
        answerer.start();
    }

private:
    void addByDrop()
    {
        QMimeData mime;
        QList<QUrl> urls;
        for (int n = 1 + randomInt(3); n > 0; --n)
            urls << QUrl::fromLocalFile(photoFiles.at(randomInt(photoFiles.size())));
        mime.setUrls(urls);
        XFormWidget* host = f->ui.canvasHolder;
        const QPoint at(host->width() / 2, host->height() / 2);
        QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(host, &enter);
        QDropEvent drop(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(host, &drop);
        // Mostly the photos are in before the next step; otherwise they keep arriving under the next steps,
        // whose clicks on the canvas are held off meanwhile.
        if (randomInt(3) != 0)
            QVERIFY(waitForIntakes());
    }

    void removeOrSwap()
    {
        const int count = canvas()->paintImages.size();
        // Indexes just outside the list too: the callers must survive them.
        const int i = randomInt(count + 2) - 1;
        const int j = randomInt(count);
        if (randomInt(2) == 0)
            canvas()->removePhoto(i);
        else if (count > 0 && i >= 0 && i < count)
            canvas()->swapPhotos(i, j);
    }

    void clickTrimArrow()
    {
        QList<StitcherButton*> visible;
        for (StitcherButton* b : canvas()->findChildren<StitcherButton*>())
            if (b->isVisibleTo(canvas()))
                visible << b;
        if (!visible.isEmpty())
            visible.at(randomInt(visible.size()))->click();
    }

    void dragOnCanvas()
    {
        XFormWidget* host = f->ui.canvasHolder;
        const QRect area = canvas()->geometry().intersected(host->rect());
        const QRect target = area.isEmpty() ? host->rect() : area;
        QPoint at(target.x() + randomInt(target.width()), target.y() + randomInt(target.height()));
        QMouseEvent press(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(host, &press);
        for (int n = 1 + randomInt(6); n > 0; --n) {
            at += QPoint(randomInt(61) - 30, randomInt(61) - 30);
            QMouseEvent move(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(host, &move);
        }
        QMouseEvent release(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(host, &release);
    }

    void moveSlider()
    {
        const QList<QSlider*> sliders = f->window.findChildren<QSlider*>();
        QSlider* slider = sliders.at(randomInt(sliders.size()));
        slider->setValue(slider->minimum() + randomInt(slider->maximum() - slider->minimum() + 1));
    }

    void typeCommonSize()
    {
        QLineEdit* edit = randomInt(2) ? f->ui.widthEdit : f->ui.heightEdit;
        // Sizes that keep a long session quick, the first refused size, one beyond int, one digit.
        static const QStringList values = {"10", "37", "320", "999", "16385", "99999999999", "5"};
        WindowEdits::enter(edit, values.at(randomInt(values.size())));
    }

    void topBar(int index) { f->topBar(WindowFixture::TopBar(index))->click(); }

    void exportStrip()
    {
        if (canvas()->paintImages.isEmpty())
            return;
        // Input is held off while photos come in: nobody reaches "export" then.
        QVERIFY(waitForIntakes());
        const QString path = dir.filePath(QString("export%1.png").arg(++exports));
        pendingExportPath = path;
        topBar(7); // "export"
        pendingExportPath.clear();
        lastExportPath = path;
    }

    QString check() const
    {
        const PainterArea* area = canvas();
        for (int i = 0; i < area->paintImages.size(); ++i) {
            const PaintImage* p = area->paintImages.at(i);
            if (!(p->cropLeft >= 0 && p->cropTop >= 0 && p->cropRight <= p->image.width() &&
                  p->cropBottom <= p->image.height() && p->cropRight - p->cropLeft >= 1 &&
                  p->cropBottom - p->cropTop >= 1))
                return QString("crop of photo %1 leaves its image or is thinner than a pixel").arg(i);
        }
        if (area->cutLeft < 0 || area->cutRight < 0 || area->cutTop < 0 || area->cutBottom < 0)
            return "negative strip cut";
        const bool vertical = area->isVertical();
        const double across = vertical ? area->cutLeft + area->cutRight : area->cutTop + area->cutBottom;
        if (across > int(vertical ? area->areaWidth : area->areaHeight) - 1 + 1e-9)
            return "strip cut across the strip leaves nothing";
        const QSize content = area->contentSize();
        if (!area->paintImages.isEmpty() && (content.width() <= 0 || content.height() <= 0))
            return "content size not positive";
        const double tool = StitcherConfig::instance()->tool;
        if (tool < StitcherConfig::NoTool || tool > StitcherConfig::TrimTool)
            return "unknown tool";
        if (f->ui.historyControls->history()->current() != area->state())
            return "an edit the history did not record";
        return {};
    }

    // The export's pixels, band by band, without holding a long strip at once.
    QByteArray exportHash() const
    {
        QCryptographicHash hash(QCryptographicHash::Sha1);
        const QSize content = canvas()->contentSize();
        if (canvas()->paintImages.isEmpty())
            return hash.result();
        for (int top = 0; top < content.height(); top += 256) {
            const QImage band = canvas()->renderBand(top, qMin(256, content.height() - top));
            for (int y = 0; y < band.height(); ++y)
                hash.addData(reinterpret_cast<const char*>(band.constScanLine(y)), band.width() * 4);
        }
        return hash.result();
    }

private slots:
    void randomSessionKeepsTheStripSound()
    {
        constexpr quint32 defaultSeed = 20261206u;
        constexpr int fullSteps = 4000;
        const quint32 seed = qEnvironmentVariableIsSet("SEAMWRIGHT_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("SEAMWRIGHT_SEED"))
                                 : defaultSeed;
        // The sanitized build is several times slower; it runs a shorter session.
        const int steps = qEnvironmentVariableIsSet("SEAMWRIGHT_SANITIZED") ? 600 : fullSteps;
        random.seed(seed);

        f = std::make_unique<WindowFixture>(true);
        QVERIFY(QTest::qWaitForWindowExposed(&f->window));
        MainWindowProbe* w = &f->ui;
        const StripState start = canvas()->state();
        const auto clickOneOf = [this](const QList<QAbstractButton*>& buttons) {
            buttons.at(randomInt(buttons.size()))->click();
        };
        const QList<QAbstractButton*> directions = {w->horizontalButton, w->verticalButton};
        const QList<QAbstractButton*> cuts = {w->cutInnerButton, w->cutOuterButton, w->cutAllButton};
        const QList<QAbstractButton*> spacings = {w->spacingInnerButton, w->spacingOuterButton,
                                                  w->spacingAllButton};
        const QList<QAbstractButton*> shapes = {w->pathButton, w->rectangleButton, w->arrowButton};
        const QList<QAbstractButton*> mosaics(std::begin(w->mosaicButtons), std::end(w->mosaicButtons));
        const QList<QAbstractButton*> watermarks = {w->watermarkBottomButton, w->watermarkTileButton};
        QList<QAbstractButton*> swatches;
        for (QRadioButton* b : w->window.findChildren<QRadioButton*>())
            swatches << b;

        struct Weighted
        {
            const char* name;
            int weight;
            std::function<void()> run;
        };
        const QList<Weighted> operations = {
            {"add by drop", 6, [this] { addByDrop(); }},
            {"remove or swap", 3, [this] { removeOrSwap(); }},
            {"direction", 2, [&] { clickOneOf(directions); }},
            {"cut mode", 4, [&] { clickOneOf(cuts); }},
            {"trim arrow", 4, [this] { clickTrimArrow(); }},
            {"arm and drag", 4,
             [this] {
                 clickTrimArrow();
                 dragOnCanvas();
             }},
            {"drag", 14, [this] { dragOnCanvas(); }},
            {"spacing mode", 3, [&] { clickOneOf(spacings); }},
            {"slider", 5, [this] { moveSlider(); }},
            {"shape", 4, [&] { clickOneOf(shapes); }},
            {"pen width", 1,
             [w, this] {
                 QList<QAction*>{w->smallAction, w->mediumAction, w->largeAction}.at(randomInt(3))->trigger();
             }},
            {"mosaic", 4, [&] { clickOneOf(mosaics); }},
            {"watermark mode", 2, [&] { clickOneOf(watermarks); }},
            {"watermark text", 1, [w, this] { w->watermarkEdit->setText(randomInt(3) ? "Seamwright" : ""); }},
            {"swatch", 2, [&] { clickOneOf(swatches); }},
            {"zoom in/out/fit", 4, [this] { topBar(3 + randomInt(3)); }},
            {"common size", 2, [this] { typeCommonSize(); }},
            {"undo or clear", 3,
             [w, this] {
                 using Slot = void (MainWindowProbe::*)();
                 const Slot panel[] = {&MainWindowProbe::undoPen, &MainWindowProbe::clearPens,
                                       &MainWindowProbe::undoMosaic, &MainWindowProbe::clearMosaics};
                 (w->*panel[randomInt(4)])();
             }},
            {"clear", 1, [this] { topBar(1); }},
            {"cancel intake", 1,
             [] {
                 if (IntakeRun* run = IntakeRun::running())
                     run->cancel();
             }},
        };
        int totalWeight = 0;
        for (const Weighted& op : operations)
            totalWeight += op.weight;
        const PainterArea* area = canvas();
        const std::pair<const char*, std::function<bool()>> states[] = {
            {"crop",
             [area] {
                 return std::any_of(
                     area->paintImages.begin(), area->paintImages.end(), [](const PaintImage* p) {
                         return p->cropLeft > 0 || p->cropTop > 0 || p->cropRight < p->image.width() ||
                                p->cropBottom < p->image.height();
                     });
             }},
            {"strip cut",
             [area] { return area->cutLeft + area->cutRight + area->cutTop + area->cutBottom > 0; }},
            {"annotation", [area] { return !area->annotations.isEmpty(); }},
            {"mosaic", [area] { return !area->mosaicStrokes.isEmpty(); }},
            {"vertical", [area] { return area->isVertical() && !area->paintImages.isEmpty(); }},
            {"spacing", [area] { return area->spacingMode != 0; }},
            {"photos arriving", [] { return IntakeRun::running() != nullptr; }},
        };

        for (int step = 0; step < steps; ++step) {
            const char* name = "export";
            if (step % 250 == 249) {
                exportStrip();
            } else {
                int pick = randomInt(totalWeight);
                for (const Weighted& op : operations) {
                    if ((pick -= op.weight) < 0) {
                        name = op.name;
                        op.run();
                        break;
                    }
                }
            }
            QCoreApplication::processEvents();
            const QString fault = check();
            QVERIFY2(fault.isEmpty(),
                     qPrintable(QString("seed %1, step %2 (%3): %4").arg(seed).arg(step).arg(name, fault)));
            for (const auto& [state, reached] : states)
                if (reached())
                    seen.insert(state);
            if (!lastExportPath.isEmpty()) {
                // The export writes exactly the strip's content size at zoom 1, or refuses a strip whose
                // picture would not fit in memory.
                const QSize written = QImageReader(lastExportPath).size();
                const QSize content = canvas()->contentSize();
                const bool tooLarge = qint64(content.width()) * content.height() * 4 >= (qint64(1) << 31);
                QVERIFY2(
                    written == content || (tooLarge && !QFile::exists(lastExportPath)),
                    qPrintable(QString("seed %1, step %2: export of the wrong size").arg(seed).arg(step)));
                lastExportPath.clear();
            }
        }
        QVERIFY(waitForIntakes());
        QUndoStack* history = w->historyControls->history()->stack();
        const StripState end = canvas()->state();
        const QByteArray endPixels = exportHash();
        while (history->canUndo())
            history->undo();
        QVERIFY2(canvas()->state() == start, "undone to the start, the strip is not empty");
        while (history->canRedo())
            history->redo();
        QVERIFY(canvas()->state() == end);
        QCOMPARE(exportHash(), endPixels);

        // A session that never reached these states would prove little.
        QVERIFY2(exports > 0, "the session never exported");
        if (seed != defaultSeed || steps != fullSteps)
            return;
        for (const auto& state : states)
            QVERIFY2(seen.contains(state.first), state.first);
    }
};

QTEST_MAIN(TestRandomEditing)
#include "tst_randomediting.moc"
