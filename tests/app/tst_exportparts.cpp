#include "app/partsdialog.h"
#include "app/partsexporter.h"
#include "app/qualityrow.h"
#include "app/windowedits.h"
#include "canvas/geometry.h"
#include "canvas/stitcherconfig.h"
#include "support/filedialoganswer.h"
#include "support/filesizelimit.h"
#include "support/intakewait.h"
#include "support/isolatedsettings.h"
#include "support/modalanswerer.h"
#include "support/photolikeimage.h"
#include "support/windowfixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <optional>

namespace {

using WindowEdits::fileHead;

const QByteArray jpegMagic("\xff\xd8\xff", 3);
const QByteArray previous = "the strip exported yesterday";

// Chooses a file that exists: the file dialog then asks, in a loop of its own, whether to replace it,
// which only a second answerer can answer; the user says yes.
ModalAnswerer::Answer chooseExistingFile(const QString& path, ModalAnswerer& nested)
{
    return [path, &nested](QWidget* modal) {
        nested.queue(ModalAnswerer::pressButton(QMessageBox::Yes));
        chooseFileInDialog(path)(modal);
    };
}

} // namespace

// The export as the window runs it: one pixel per unit whatever the zoom, no trimming aids, and files
// that are replaced, cancelled or fail half-way; the file dialog's types and the quality asked for;
// the offer of parts for a strip too long for one file, the parts dialog and its cut lines.
class TestExportParts : public QObject
{
    Q_OBJECT
    QTemporaryDir dir;

    // A vertical strip of two 300 x 700 photos, shaded from side to side so that no row of them is calm,
    // with a white spacing of 5 rows between them.
    struct Fixture : WindowFixture
    {
        explicit Fixture(int photoHeight = 700) : WindowFixture(true)
        {
            QImage photo(300, photoHeight, QImage::Format_RGB32);
            for (int x = 0; x < 300; ++x)
                for (int y = 0; y < photoHeight; ++y)
                    photo.setPixel(x, y, qRgb(x * 255 / 299, 80, 255 - x * 255 / 299));
            canvas->addImage(photo, "a.png");
            canvas->addImage(photo.mirrored(true, false), "b.png");
            canvas->setDirection(Geometry::Vertical);
            canvas->spacingMode = Geometry::SpacingInnerBit;
            canvas->adjustSize();
        }
        PartsExporter* exporter() { return ui.partsExporter; }
        PartsDialog* dialog() { return ui.partsExporter->dialog(); }
    };

    QString existingTarget()
    {
        const QString path = dir.filePath("strip.png");
        return WindowEdits::writeFile(path, previous) ? path : QString();
    }

    QStringList otherFiles() const
    {
        QStringList files = QDir(dir.path()).entryList(QDir::Files);
        files.removeAll("strip.png");
        files.removeAll("blocker");
        return files;
    }

    static void setParts(PartsDialog* dialog, const QString& folder, int kindIndex, int length)
    {
        dialog->folderEdit->setText(folder);
        dialog->nameEdit->setText("page");
        dialog->formatBox->setCurrentIndex(kindIndex);
        dialog->lengthBox->setValue(length);
    }

private slots:
    void init()
    {
        StitcherConfig::instance()->spacingColor = Qt::white;
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(dir.filePath(name));
    }

    // The type comes from the name's suffix, else from the file type chosen; JPEG and WebP ask their
    // quality first, and a cancel there writes nothing.
    void formatByNameOrFileType_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("acceptQuality");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("jpg suffix") << QString("a.jpg") << QString() << true << jpegMagic;
        QTest::newRow("no suffix, WebP type")
            << "b" << ExportFormat::nameFilter(ExportFormat::Kind::Webp) << true << QByteArray("RIFF");
        QTest::newRow("png suffix under the JPEG type")
            << "c.png" << ExportFormat::nameFilter(ExportFormat::Kind::Jpeg) << true << QByteArray("\x89PNG");
        QTest::newRow("quality cancelled") << QString("d.webp") << QString() << false << QByteArray();
    }
    void formatByNameOrFileType()
    {
        QFETCH(QString, name);
        QFETCH(QString, filter);
        QFETCH(bool, acceptQuality);
        QFETCH(QByteArray, magic);
        Fixture f;
        const QString path = dir.filePath(name);
        ModalAnswerer answerer;
        answerer.queue([&](QWidget* modal) {
            if (!filter.isEmpty())
                qobject_cast<QFileDialog*>(modal)->selectNameFilter(filter);
            chooseFileInDialog(path)(modal);
        });
        if (!magic.startsWith("\x89PNG"))
            answerer.queue(acceptQuality ? ModalAnswerer::accept() : ModalAnswerer::reject());
        QCOMPARE(f.ui.exportStrip(), acceptQuality);
        QCOMPARE(answerer.pendingCount(), 0);
        QCOMPARE(fileHead(path, magic.size()), magic);
    }

    // One JPEG file holds 65500 rows: a taller strip is refused before its quality is asked or anything
    // is painted, with the offer of parts of that length in the same folder, name and format.
    void tooLongForOneJpegOffersParts()
    {
        Fixture f(33000);
        const QString path = dir.filePath("long.jpg");
        ModalAnswerer answerer;
        answerer.queue(chooseFileInDialog(path));
        QString offer;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Yes, &offer));
        QVERIFY(!f.ui.exportStrip());
        QCOMPARE(answerer.answeredClasses(), (QStringList{"QFileDialog", "QMessageBox"}));
        QVERIFY2(offer.contains("65500"), qPrintable(offer));
        QVERIFY(!QFile::exists(path));
        QVERIFY(f.dialog() && f.dialog()->isVisible());
        const ExportChoices::Parts parts = f.dialog()->parts();
        QCOMPARE(parts.partLength, 65500);
        QCOMPARE(parts.kind, ExportFormat::Kind::Jpeg);
        QCOMPARE(QDir(parts.folder), QDir(dir.path()));
        QCOMPARE(parts.name, QString("long"));
        QCOMPARE(f.canvas->cutPreview(), QVector<int>{65500});
        f.dialog()->reject();
    }

    // Shift+Ctrl+S and the Export button's menu open the parts dialog; its cut lines follow the choices
    // on the canvas and go when it closes; Export writes the parts where the cut lines showed.
    void partsDialogPreviewsAndWrites()
    {
        Fixture f;
        QToolButton* arrow = f.window.findChild<QToolButton*>();
        QVERIFY(arrow && arrow->menu());
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f.window.window()));
        QTest::keyClick(f.window.window(), Qt::Key_S, Qt::ShiftModifier | Qt::ControlModifier);
        QVERIFY(f.dialog() && f.dialog()->isVisible());

        // 700 + 5 + 700 rows: with parts of 800, the first cut moves back into the spacing.
        setParts(f.dialog(), dir.path(), 0, 800);
        f.dialog()->sensitivityBox->setValue(100);
        f.dialog()->calmBox->setChecked(false);
        QTRY_COMPARE(f.canvas->cutPreview(), QVector<int>{800});
        f.dialog()->calmBox->setChecked(true);
        QTRY_COMPARE(f.canvas->cutPreview(), QVector<int>{705});

        f.window.setWindowModified(true);
        QVERIFY(f.exporter()->exportNow());
        QVERIFY(!f.window.isWindowModified());
        QCOMPARE(QImage(dir.filePath("page-001.png")).size(), QSize(300, 705));
        QCOMPARE(QImage(dir.filePath("page-002.png")).size(), QSize(300, 700));
        QVERIFY(!f.dialog()->isVisible());
        QCOMPARE(f.canvas->cutPreview(), QVector<int>());

        // The choices are remembered for the next time; the name follows the strip's first photo.
        f.ui.exportParts();
        QCOMPARE(f.dialog()->parts().name, QString("a-strip"));
        QCOMPARE(f.dialog()->parts().partLength, 800);
        QCOMPARE(f.dialog()->parts().sensitivity, 100);
        QCOMPARE(f.dialog()->parts().kind, ExportFormat::Kind::Png);
        QTRY_COMPARE(f.canvas->cutPreview(), QVector<int>{705});
        f.dialog()->reject();
        QCOMPARE(f.canvas->cutPreview(), QVector<int>());
    }

    // A user takes a while to answer: the question stays on top and takes the click, whether it is
    // about parts replaced, asked once for them all, or about older parts beyond the new last one,
    // which go only on "Replace All".
    // A strip slow to write shows its progress instead, whose Cancel stops the parts and leaves none.
    void partsExportAnswered_data()
    {
        QTest::addColumn<int>("longPhotos");
        QTest::addColumn<QStringList>("earlier");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QStringList>("after");
        const QStringList two{"page-001.png", "page-002.png"};
        QTest::newRow("replace") << 0 << two << "&Yes" << two;
        QTest::newRow("replace, no") << 0 << QStringList{"page-002.png"} << "&No"
                                     << QStringList{"page-002.png"};
        QTest::newRow("older parts, replace all")
            << 0 << two + QStringList{"page-003.png", "page-0004.png"} << "Replace All" << two;
        QTest::newRow("older parts, cancel")
            << 0 << QStringList{"page-003.png"} << "Cancel" << QStringList{"page-003.png"};
        QTest::newRow("progress cancelled") << 8 << QStringList() << "Cancel" << QStringList();
    }
    void partsExportAnswered()
    {
        QFETCH(int, longPhotos);
        QFETCH(QStringList, earlier);
        QFETCH(QString, button);
        QFETCH(QStringList, after);
        QTemporaryDir folder;
        for (const QString& name : earlier)
            QVERIFY(QImage(3, 3, QImage::Format_RGB32).save(folder.filePath(name), "png"));
        Fixture f;
        const QImage photo = longPhotos ? photoLikeImage(300, 20000) : QImage();
        for (int i = 0; i < longPhotos; ++i)
            f.canvas->addImage(photo, "long.jpg");
        f.canvas->adjustSize();
        f.ui.exportParts();
        setParts(f.dialog(), folder.path(), 0, longPhotos ? 10000 : 800);
        f.dialog()->calmBox->setChecked(false);
        ModalAnswerer answerer;
        bool onTop = false; // after the user's while, for the questions
        answerer.queue([&](QWidget* modal) {
            if (!longPhotos) {
                QTest::qWait(900);
                const QWidgetList all = QApplication::allWidgets();
                onTop = QApplication::activeModalWidget() == modal &&
                        std::none_of(all.begin(), all.end(),
                                     [](QWidget* w) { return qobject_cast<QProgressDialog*>(w); });
            }
            for (QPushButton* b : modal->findChildren<QPushButton*>())
                if (b->text() == button)
                    QTest::mouseClick(b, Qt::LeftButton);
        });
        const bool written = button != "Cancel" && button != "&No";
        QCOMPARE(f.exporter()->exportNow(), written);
        QVERIFY(onTop || longPhotos);
        QCOMPARE(answerer.answeredClasses(), QStringList{longPhotos ? "QProgressDialog" : "QMessageBox"});
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 after);
        // The strip's parts where it wrote them, the earlier 3 x 3 ones where it did not.
        for (const QString& name : after)
            QCOMPARE(QImage(folder.filePath(name)).width(), written ? 300 : 3);
        QCOMPARE(f.dialog()->isVisible(), !written);
    }

    // At any zoom, with the trimming arrows out and a name the program has no format for: PNG data of
    // one pixel per unit and only the strip's own pixels, then no tool left on.
    void exportsOnePixelPerUnitWithoutTrimmingAids()
    {
        // Three photos whose strip is 1000 x 200, or 1020 x 210 with inner and outer spacing of 5.
        StitcherConfig::instance()->spacingColor = Qt::blue;
        WindowFixture f(true);
        const QList<QColor> photoColours{Qt::red, Qt::green, Qt::darkYellow};
        const QSize sizes[] = {{400, 200}, {300, 300}, {200, 100}};
        for (int i = 0; i < 3; ++i)
            f.addPhotos({sizes[i]}, photoColours[i]);
        f.ui.cutAllButton->click();
        f.canvas->spacingMode = Geometry::SpacingInnerBit | Geometry::SpacingOuterBit;
        f.canvas->adjustSize();
        f.ui.zoomSlider->setValue(0);
        const QString path = dir.filePath("strip.dat");
        ModalAnswerer answerer;
        answerer.queue(chooseFileInDialog(path));
        f.ui.save();
        QCOMPARE(answerer.answeredClasses(), QStringList{"QFileDialog"});
        QCOMPARE(fileHead(path, 8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        const QImage written(path);
        QCOMPARE(written.size(), QSize(1020, 210));
        QCOMPARE(QColor(written.pixel(0, 0)), QColor(Qt::blue));     // the border
        QCOMPARE(QColor(written.pixel(10, 10)), QColor(Qt::red));    // first photo
        QCOMPARE(QColor(written.pixel(407, 100)), QColor(Qt::blue)); // the gap after it
        const QList<QColor> own = photoColours + QList<QColor>{Qt::blue};
        int strays = 0; // an outline or an arrow button
        for (int y = 0; y < written.height(); ++y)
            for (int x = 0; x < written.width(); ++x)
                strays += !own.contains(QColor(written.pixel(x, y)));
        QCOMPARE(strays, 0);
        QCOMPARE(f.canvas->cutMode, int(Geometry::CutNone));
    }

    void cancelKeepsThePreviousFile()
    {
        WindowFixture f(true);
        // Long enough to encode that the progress dialog shows.
        const QImage photo = photoLikeImage(4000, 1500, 3);
        for (int i = 0; i < 10; ++i)
            f.canvas->addImage(photo, "photo.jpg");
        f.canvas->adjustSize();
        const QString path = existingTarget();
        ModalAnswerer answerer, nested;
        answerer.queue(chooseExistingFile(path, nested));
        answerer.queue([&f](QWidget* modal) {
            // Window-modal over the main window, so nothing else changes the strip meanwhile.
            QCOMPARE(modal->windowModality(), Qt::WindowModal);
            QCOMPARE(modal->parentWidget(), &f.window);
            modal->findChild<QPushButton*>()->click();
        });
        f.ui.save();

        QCOMPARE(answerer.answeredClasses(), (QStringList{"QFileDialog", "QProgressDialog"}));
        QCOMPARE(nested.answeredClasses(), QStringList{"QMessageBox"});
        QCOMPARE(fileHead(path), previous);
        QCOMPARE(otherFiles(), QStringList());
    }

    // A folder that is a file cannot be written into, not even by root; a full disk stops the file
    // half-way; one of the strip's own photos is never written over. Each way one message names the
    // file and the reason, and an old file stays whole.
    void failedWriteNamesTheFileAndKeepsIt_data()
    {
        QTest::addColumn<QString>("over");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder is a file") << QString("blocker/strip.png") << "directory";
        QTest::newRow("disk full") << QString("strip.png") << "large";
        QTest::newRow("one of its photos") << QString("photo.png") << "one of the strip's photos";
    }
    void failedWriteNamesTheFileAndKeepsIt()
    {
        QFETCH(QString, over);
        QFETCH(QString, reason);
        const bool fullDisk = over == "strip.png", photo = over == "photo.png";
        WindowFixture f(true);
        f.canvas->addImage(photoLikeImage(1000, 300, 4), "photo.jpg");
        QString path = dir.filePath(over);
        if (photo) {
            QVERIFY(photoLikeImage(200, 300, 5).save(path));
            f.canvas->addPhotoFiles({path});
            QVERIFY(waitForIntakes());
        }
        f.canvas->adjustSize();
        f.ui.zoomSlider->setValue(80);
        const QByteArray before = fileHead(path);
        if (fullDisk)
            path = existingTarget();
        else if (!photo)
            QVERIFY(QFile(dir.filePath("blocker")).open(QIODevice::WriteOnly));
        ModalAnswerer answerer, nested;
        answerer.queue(fullDisk || photo ? chooseExistingFile(path, nested) : chooseFileInDialog(path));
        QString message;
        answerer.queue(ModalAnswerer::pressButton(QMessageBox::Ok, &message));
        {
            std::optional<FileSizeLimit> limit;
            if (fullDisk)
                limit.emplace(100000);
            f.ui.save();
        }
        QCOMPARE(answerer.answeredClasses(), (QStringList{"QFileDialog", "QMessageBox"}));
        QVERIFY2(message.contains(photo ? QFileInfo(path).fileName() : QDir::toNativeSeparators(path)) &&
                     message.contains(reason, Qt::CaseInsensitive),
                 qPrintable(message));
        QCOMPARE(fileHead(path), fullDisk ? previous : before);
        if (!photo)
            QCOMPARE(otherFiles(), QStringList());
        QCOMPARE(f.canvas->painterScale, Geometry::zoomFactor(80));
    }
};

SEAMWRIGHT_ISOLATED_TEST_MAIN(TestExportParts)
#include "tst_exportparts.moc"
