#include "app/mainwindow.h"

#include "app/helppage.h"
#include "app/toolbutton.h"
#include "app/workflowvalues.h"
#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "canvas/xformwidget.h"
#include "editphotos/editphotosdialog.h"
#include "export/stripexport.h"
#include "intake/intakerun.h"
#include "intake/photointake.h"
#include "panorama/ui/panoramdialog.h"
#include "panorama/ui/panoramtips.h"
#include "settings/aboutdialog.h"
#include "settings/appdialog.h"
#include "settings/appsettings.h"
#include "widgets/busycursor.h"
#include "widgets/iconpushbutton.h"

#include <QAction>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QRegExpValidator>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

namespace {

// Only an explicit No cancels: closing the box goes on, like Yes.
bool confirmed(const QString& title, const QString& text)
{
    return QMessageBox::warning(nullptr, title, text, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::NoButton) != QMessageBox::No;
}

// Opens a window made on first use over the middle of the main window rather than wherever the window
// system puts a new one.
void placeOver(QWidget* dialog, const QWidget* owner)
{
    QRect frame(QPoint(), dialog->size());
    frame.moveCenter(owner->window()->frameGeometry().center());
    dialog->move(frame.topLeft());
}

// The windows of the top bar are made once, as dialogs of the main window, and kept.
template <class Dialog> Dialog* keptDialog(Dialog*& dialog, QWidget* owner)
{
    if (!dialog) {
        dialog = new Dialog(owner);
        dialog->setWindowFlags(dialog->windowFlags() | Qt::Dialog);
        placeOver(dialog, owner);
    }
    return dialog;
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* topBar = new QWidget(this);
    topBar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    topBar->setFixedHeight(44);
    topBar->setStyleSheet("background-color:#283142");
    auto* body = new QWidget(this);
    body->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    outer->addWidget(topBar);
    outer->addWidget(body);

    auto* bodyLayout = new QHBoxLayout(body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(0);
    auto* canvasColumn = new QWidget(body);
    canvasColumn->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    canvasColumn->setStyleSheet("background-color:#131820;");
    auto* panelArea = new QScrollArea(body);
    panelArea->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    panelArea->setStyleSheet("background-color:#1c2431");
    panelArea->setFixedWidth(240);
    bodyLayout->addWidget(canvasColumn);
    bodyLayout->addWidget(panelArea);

    auto* columnLayout = new QVBoxLayout(canvasColumn);
    columnLayout->setContentsMargins(0, 0, 0, 0);
    columnLayout->setSpacing(0);
    canvasHolder = new XFormWidget(canvasColumn);
    canvasHolder->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    canvasHolder->setStyleSheet("background-color: #131820");
    auto* bottomBar = new QWidget(canvasColumn);
    columnLayout->addWidget(canvasHolder);
    columnLayout->addWidget(bottomBar);

    buildBottomBar(bottomBar);
    buildTopBar(topBar);
    buildToolPanel(panelArea);

    connect(canvas(), SIGNAL(signalSizeHint(int, int)), this, SLOT(onPaintAreaSizeHint(int, int)));
    connect(canvas(), &PainterArea::signalPhotosChanged, this, &MainWindow::markModified);
    connect(canvas(), &PainterArea::signalStripEdited, this, &MainWindow::markModified);
}

void MainWindow::buildBottomBar(QWidget* bar)
{
    bar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    bar->setFixedHeight(44);
    bar->setStyleSheet("background-color:#283142;");
    auto* layout = new QHBoxLayout(bar);
    layout->setSpacing(5);

    zoomSlider = new QSlider(Qt::Horizontal, bar);
    zoomSlider->setFixedWidth(200);
    zoomSlider->setValue(50);
    zoomSlider->setRange(0, 100);
    layout->addWidget(zoomSlider);
    layout->addStretch(1);

    auto* widthLabel = new QLabel(tr("Width"), bar);
    widthLabel->setStyleSheet("color: #ebecee");
    layout->addWidget(widthLabel);
    widthEdit = new QLineEdit(bar);
    widthEdit->setFixedSize(38, 20);
    widthEdit->setStyleSheet("QLineEdit {background:#1c2431; color: white; border: 1px solid #131820; "
                             "border-radius: 3px; padding: 2px 2px;}");
    widthEdit->setAlignment(Qt::AlignHCenter);
    widthEdit->setText("0");
    widthEdit->setReadOnly(true);
    layout->addWidget(widthEdit);
    widthLock = new QWidget(bar);
    widthLock->setFixedSize(7, 9);
    widthLock->setStyleSheet("border-image: url(:/images/lock.png)");
    layout->addWidget(widthLock, 0, Qt::AlignBottom);
    layout->addSpacing(10);

    auto* heightLabel = new QLabel(tr("Height"), bar);
    heightLabel->setStyleSheet("color: #ebecee");
    layout->addWidget(heightLabel);
    heightEdit = new QLineEdit(bar);
    heightEdit->setFixedSize(38, 20);
    heightEdit->setStyleSheet(
        "QLineEdit {background:#1c2431; color: white; border: 1px solid #131820; padding: 2px 2px;}");
    heightEdit->setAlignment(Qt::AlignHCenter);
    heightEdit->setText("0");
    layout->addWidget(heightEdit);
    heightLock = new QWidget(bar);
    heightLock->setFixedSize(7, 9);
    heightLock->setStyleSheet("border-image: url(:/images/lock.png)");
    layout->addWidget(heightLock, 0, Qt::AlignBottom);
    heightLock->hide();

    // At least two digits and no leading zero.
    auto* validator = new QRegExpValidator(QRegExp("[1-9][0-9]+$", Qt::CaseSensitive, QRegExp::RegExp), this);
    widthEdit->setValidator(validator);
    heightEdit->setValidator(validator);

    connect(zoomSlider, SIGNAL(valueChanged(int)), canvas(), SLOT(setPainterScale(int)));
    connect(widthEdit, &QLineEdit::editingFinished, this, &MainWindow::paintWidthChanged);
    connect(heightEdit, &QLineEdit::editingFinished, this, &MainWindow::paintHeightChanged);
}

void MainWindow::buildTopBar(QWidget* bar)
{
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(10, 5, 20, 0);
    layout->setSpacing(19);
    auto add = [&](const char* name) {
        auto* button = new ToolButton(name, bar);
        layout->addWidget(button);
        return button->pushButton;
    };
    connect(add("add"), &QPushButton::clicked, this, &MainWindow::open);
    connect(add("clear"), &QPushButton::clicked, this, &MainWindow::newPaint);
    connect(add("apps"), &QPushButton::clicked, this, &MainWindow::openApps);
    layout->addSpacing(20);
    connect(add("zoomin"), &QPushButton::clicked, this, &MainWindow::onClickZoomIn);
    connect(add("zoomout"), &QPushButton::clicked, this, &MainWindow::onClickZoomOut);
    connect(add("fit"), &QPushButton::clicked, this, &MainWindow::onClickFit);
    connect(add("edit"), &QPushButton::clicked, this, &MainWindow::editPhotos);
    connect(add("export"), &QPushButton::clicked, this, &MainWindow::save);
    connect(add("panorama"), &QPushButton::clicked, this, &MainWindow::openPanorama);
    layout->addStretch(1);
    connect(add("help"), &QPushButton::clicked, this, &MainWindow::openHelp);
    connect(add("about"), &QPushButton::clicked, this, &MainWindow::openAbout);
}

PainterArea* MainWindow::canvas() const
{
    return canvasHolder->canvas();
}

StitcherConfig& MainWindow::config()
{
    return *StitcherConfig::instance();
}

QList<QPushButton*> MainWindow::toolButtons() const
{
    return {cutOuterButton, cutInnerButton,   cutAllButton,     pathButton,       rectangleButton,
            arrowButton,    mosaicButtons[0], mosaicButtons[1], mosaicButtons[2], mosaicButtons[3]};
}

// ---- Photos and export -------------------------------------------------------------------------

void MainWindow::open()
{
    const QStringList paths = PhotoIntake::chooseFiles(this, "Choose Pictures");
    if (!paths.isEmpty())
        canvas()->addPhotoFiles(paths);
}

void MainWindow::restoreZoom()
{
    canvas()->setPainterScale(zoomSlider->value());
}

void MainWindow::save()
{
    exportStrip();
}

bool MainWindow::exportStrip()
{
    PainterArea* area = canvas();
    if (area->paintImages.isEmpty())
        return false;
    // Trim outlines and buttons must not reach the file, and one canvas unit must be one pixel.
    config().tool = 0;
    area->painterScale = 1.0;
    area->adjustSize();
    area->update();
    area->placeCanvas(canvasHolder->width(), canvasHolder->height());
    area->setCutMode(0);
    area->update();

    const QString fileName = askExportFile(proposedExportPath());
    // The bands are painted at zoom 1 whatever the zoom shown.
    restoreZoom();
    if (fileName.isEmpty() || !writeStrip(fileName))
        return false;
    window()->setWindowModified(false);
    return true;
}

QString MainWindow::proposedExportPath() const
{
    return QDir::homePath() + "/untitled.png";
}

QString MainWindow::askExportFile(const QString& proposedPath)
{
    return QFileDialog::getSaveFileName(this, tr("Save"), proposedPath);
}

bool MainWindow::writeStrip(const QString& fileName)
{
    PainterArea* area = canvas();
    const BandSource strip{area->contentSize(),
                           [area](int top, int rows) { return area->renderBand(top, rows); }};
    // Window-modal, so nothing changes the strip while it is written; it shows when the export takes
    // longer than half a second.
    QProgressDialog progress(tr("Exporting %1").arg(QFileInfo(fileName).fileName()), tr("Cancel"), 0,
                             strip.size.height(), this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0);

    StripExport exporter;
    // The dialog processes events in setValue once it is shown: that is what keeps the window painted.
    exporter.setProgress([&progress](int rowsDone, int) {
        if (rowsDone != progress.value())
            progress.setValue(rowsDone);
        else if (progress.isVisible())
            QCoreApplication::processEvents(); // setValue would skip an unchanged value
        return !progress.wasCanceled();
    });
    StripExport::Result result = StripExport::Result::Failed;
    {
        BusyCursor busy;
        result = exporter.save(strip, fileName);
    }
    if (result == StripExport::Result::Failed)
        QMessageBox::warning(this, tr("Export"),
                             tr("Could not write \"%1\":\n%2")
                                 .arg(QDir::toNativeSeparators(fileName), exporter.errorString()));
    return result == StripExport::Result::Saved;
}

// An empty strip has nothing to lose, whatever was done to it before.
void MainWindow::markModified()
{
    window()->setWindowModified(!canvas()->paintImages.isEmpty());
}

void MainWindow::markModifiedIf(bool affectsExport)
{
    if (affectsExport)
        markModified();
}

bool MainWindow::confirmClose()
{
    // Photos still coming in would arrive under the question; those already added stay.
    if (IntakeRun* run = IntakeRun::running())
        run->cancel();
    if (!window()->isWindowModified())
        return true;
    QMessageBox question(QMessageBox::Question, tr("Seamwright"),
                         tr("The strip has changes that were never exported."), QMessageBox::NoButton,
                         window());
    question.setInformativeText(tr("Export it before closing, or discard the changes?"));
    question.setStyleSheet(
        "QMessageBox { background-color: #283142; }"
        "QLabel { color: #ebecee; }"
        "QPushButton { background-color: #1c2431; color: #ebecee; border: 1px solid #3A4354;"
        " border-radius: 3px; padding: 4px 14px; min-width: 64px; }"
        "QPushButton:default { background-color: #177df7; border-color: #177df7; }"
        "QPushButton:pressed { background-color: #177df7; }");
    QPushButton* exportButton = question.addButton(tr("Export…"), QMessageBox::AcceptRole);
    QPushButton* discardButton = question.addButton(tr("Discard"), QMessageBox::DestructiveRole);
    QPushButton* cancelButton = question.addButton(tr("Cancel"), QMessageBox::RejectRole);
    question.setDefaultButton(exportButton);
    question.setEscapeButton(cancelButton);
    question.exec();
    if (question.clickedButton() == discardButton)
        return true;
    if (question.clickedButton() == exportButton)
        return exportStrip();
    return false;
}

void MainWindow::newPaint()
{
    resetAll();
    PainterArea* area = canvas();
    area->removeAllPhotos();
    area->adjustSize();
    area->update();
}

void MainWindow::onPanoramaDone(const QImage& img)
{
    PainterArea* area = canvas();
    area->addImage(img, "panorama.jpg");
    area->adjustSize();
    area->update();
}

// ---- Other windows -----------------------------------------------------------------------------

void MainWindow::openApps()
{
    keptDialog(appDialog, this)->show();
}

void MainWindow::openHelp()
{
    const QUrl page = HelpPage::locate(QCoreApplication::applicationDirPath(), HelpPage::defaultExtractDir());
    if (page.isValid())
        QDesktopServices::openUrl(page);
}

void MainWindow::editPhotos()
{
    if (hasEditingResults()) {
        if (!confirmed(tr("Waring"),
                       tr("Are you sure to go to Edit Photos and discard your current editing results?")))
            return;
        resetEditing();
    }
    keptDialog(editPhotosDialog, this);
    editPhotosDialog->loadPhotos(canvas());
    editPhotosDialog->show();
}

void MainWindow::openAbout()
{
    keptDialog(aboutDialog, this)->show();
}

void MainWindow::openPanorama()
{
    if (!AppSettings::instance()->readPanoramaTips()) {
        QPointer<PanoramTips> tips = new PanoramTips(this);
        tips->setWindowFlags(tips->windowFlags() | Qt::Dialog);
        tips->setWindowModality(Qt::ApplicationModal);
        placeOver(tips, this);
        tips->exec();
        delete tips;
    }
    if (!panoramaDialog) {
        keptDialog(panoramaDialog, this)->setWindowModality(Qt::ApplicationModal);
        connect(panoramaDialog, SIGNAL(signalsPanoramaDone(const QImage&)), this,
                SLOT(onPanoramaDone(const QImage&)));
    }
    panoramaDialog->showPhotoList();
    panoramaDialog->show();
}

// ---- Steps and tools ---------------------------------------------------------------------------

void MainWindow::checkOnlyTool(QPushButton* b)
{
    for (QPushButton* tool : toolButtons())
        tool->setChecked(tool == b);
}

bool MainWindow::hasEditingResults() const
{
    const PainterArea* area = canvas();
    return area->spacingMode != 0 || !area->annotations.isEmpty() || !area->mosaicStrokes.isEmpty() ||
           config().watermarkMode != 0;
}

bool MainWindow::hasAnyChanges() const
{
    return canvas()->hasTrims() || hasEditingResults();
}

void MainWindow::resetEditing()
{
    PainterArea* area = canvas();
    if (area->spacingMode != 0) {
        spacingInnerButton->setChecked(false);
        spacingOuterButton->setChecked(false);
        spacingAllButton->setChecked(false);
        area->spacingMode = 0;
        area->adjustSize();
        area->update();
        area->centreCrossAxis();
    }
    area->clearEdits();
    watermarkEdit->setText(QString());
    StitcherConfig& c = config();
    c.watermarkText.clear();
    c.watermarkMode = 0;
    c.shape = 0;
    c.mosaicName = "mosaic-normal";
    watermarkBottomButton->setChecked(false);
    watermarkTileButton->setChecked(false);
    markModified();
}

void MainWindow::resetAll()
{
    config().tool = 0;
    PainterArea* area = canvas();
    area->setCutMode(0);
    resetEditing();
    area->resetLayout();
    spacingInnerButton->setChecked(false);
    spacingOuterButton->setChecked(false);
    spacingAllButton->setChecked(false);
}

void MainWindow::onClickDirection(bool checked)
{
    auto* b = qobject_cast<QPushButton*>(sender());
    if (!b)
        return;
    if (!checked) {
        // The direction that is on cannot be switched off.
        b->setChecked(true);
        return;
    }
    if (hasAnyChanges()) {
        if (!confirmed(
                tr("Warning"),
                tr("Are you sure to go back to Pick Direction and discard your current editing results?"))) {
            b->setChecked(false);
            return;
        }
        resetAll();
    }
    checkOnlyTool(b);
    config().tool = 0;
    PainterArea* area = canvas();
    area->setCutMode(0);
    const bool vertical = b == verticalButton;
    (vertical ? horizontalButton : verticalButton)->setChecked(false);
    widthLock->setVisible(!vertical);
    widthEdit->setReadOnly(!vertical);
    heightLock->setVisible(vertical);
    heightEdit->setReadOnly(vertical);
    area->setDirection(vertical ? 1 : 0);
}

void MainWindow::onClickCutMode(bool checked)
{
    auto* b = qobject_cast<QPushButton*>(sender());
    if (!b)
        return;
    PainterArea* area = canvas();
    if (!checked) {
        config().tool = 0;
        area->setCutMode(0);
        area->update();
        return;
    }
    if (hasEditingResults()) {
        if (!confirmed(
                tr("Warning"),
                tr("Are you sure to go back to Stitching and discard your current editing results?"))) {
            b->setChecked(false);
            return;
        }
        resetEditing();
    }
    config().tool = 3;
    area->setCutMode(b == cutInnerButton ? 1 : b == cutOuterButton ? 2 : 3);
    checkOnlyTool(b);
    area->update();
}

void MainWindow::applySpacingMode(int mode)
{
    PainterArea* area = canvas();
    if (area->spacingMode == mode)
        return;
    area->spacingMode = mode;
    area->adjustSize();
    area->update();
    area->centreCrossAxis();
    markModified();
}

void MainWindow::onClickSpacingMode(bool checked)
{
    auto* b = qobject_cast<QPushButton*>(sender());
    if (!b)
        return;
    if (!checked) {
        applySpacingMode(0);
        return;
    }
    checkOnlyTool(b);
    const int index = b == spacingInnerButton ? 0 : b == spacingOuterButton ? 1 : 2;
    spacingInnerButton->setChecked(index == 0);
    spacingOuterButton->setChecked(index == 1);
    spacingAllButton->setChecked(index == 2);
    applySpacingMode(WorkflowValues::spacingModeFor(index));
    config().tool = 0;
    canvas()->setCutMode(0);
}

void MainWindow::onClickEditTool(bool checked)
{
    auto* b = qobject_cast<QPushButton*>(sender());
    if (!b)
        return;
    if (!checked) {
        config().tool = 0;
        return;
    }
    checkOnlyTool(b);
    config().tool = 1;
    canvas()->setCutMode(0);
    config().shape = b == pathButton ? 1 : b == arrowButton ? 2 : 3;
}

void MainWindow::setEditingWidth()
{
    auto* entry = qobject_cast<QAction*>(sender());
    config().penWidth = WorkflowValues::penWidthFor(entry == smallAction ? 0 : entry == mediumAction ? 1 : 2);
    smallAction->setChecked(entry == smallAction);
    mediumAction->setChecked(entry == mediumAction);
    largeAction->setChecked(entry == largeAction);
}

void MainWindow::onClickMosaic(bool checked)
{
    auto* b = qobject_cast<QPushButton*>(sender());
    if (!b)
        return;
    if (!checked) {
        config().tool = 0;
        return;
    }
    checkOnlyTool(b);
    config().tool = 2;
    canvas()->setCutMode(0);
    config().mosaicName = b->objectName();
}

void MainWindow::undoPen()
{
    canvas()->undoAnnotation();
    canvas()->update();
}

void MainWindow::clearPens()
{
    canvas()->clearAnnotations();
    canvas()->update();
}

void MainWindow::undoMosaic()
{
    canvas()->undoMosaic();
    canvas()->update();
}

void MainWindow::clearMosaics()
{
    canvas()->clearMosaics();
    canvas()->update();
}

// ---- Watermark ---------------------------------------------------------------------------------

void MainWindow::onClickWatermarkMode(bool checked)
{
    auto* b = qobject_cast<QPushButton*>(sender());
    if (!b)
        return;
    PainterArea* area = canvas();
    if (!checked) {
        config().watermarkMode = 0;
        area->update();
        markModified();
        return;
    }
    const bool bottom = b == watermarkBottomButton;
    config().watermarkMode = bottom ? 1 : 2;
    (bottom ? watermarkTileButton : watermarkBottomButton)->setChecked(false);
    if (config().tool == 3) {
        // A trim tool would cut through the watermark being placed.
        cutInnerButton->setChecked(false);
        cutOuterButton->setChecked(false);
        cutAllButton->setChecked(false);
        config().tool = 0;
        area->setCutMode(0);
    }
    area->update();
    markModified();
}

void MainWindow::onWatermarkTextChanged(const QString& text)
{
    config().watermarkText = text;
    canvas()->update();
    markModifiedIf(config().watermarkMode != 0);
}

void MainWindow::setWatermarkerOpcity(int value)
{
    config().watermarkOpacity = value;
    canvas()->update();
    markModifiedIf(config().watermarkMode != 0);
}

void MainWindow::setWatermarkerSpacing(int value)
{
    config().watermarkSpacing = value;
    canvas()->update();
    markModifiedIf(config().watermarkMode != 0);
}

void MainWindow::setWatermarkerSize(int value)
{
    config().watermarkSize = value;
    canvas()->update();
    markModifiedIf(config().watermarkMode != 0);
}

// ---- Colours -----------------------------------------------------------------------------------

void MainWindow::spacingColorToggled(int id, bool checked)
{
    if (!checked || id < 0 || id >= config().colorList.size())
        return;
    config().spacingColor = config().colorList.at(id);
    canvas()->update();
    markModifiedIf(canvas()->spacingMode != 0);
}

void MainWindow::editingColorToggled(int id, bool checked)
{
    if (!checked || id < 0 || id >= config().colorList.size())
        return;
    // Only new strokes use the pen colour: nothing to repaint.
    config().penColor = config().colorList.at(id);
}

void MainWindow::watermarkColorToggled(int id, bool checked)
{
    if (!checked || id < 0 || id >= config().colorList.size())
        return;
    config().watermarkColor = config().colorList.at(id);
    canvas()->update();
    markModifiedIf(config().watermarkMode != 0);
}

void MainWindow::ensureColorDialog()
{
    if (colorDialog)
        return;
    colorDialog = new QColorDialog(this);
    colorDialog->setStyleSheet("background-color:#283142; color: #ebecee;");
    for (QPushButton* button : colorDialog->findChildren<QPushButton*>())
        button->setStyleSheet("background-color: #177df7;");
    colorDialog->setOption(QColorDialog::DontUseNativeDialog);
}

bool MainWindow::pickColor(QColor* target)
{
    ensureColorDialog();
    if (colorDialog->exec() != QDialog::Accepted)
        return false;
    *target = colorDialog->selectedColor();
    return true;
}

void MainWindow::onClickSpacingColorPick()
{
    if (pickColor(&config().spacingColor)) {
        canvas()->update();
        markModifiedIf(canvas()->spacingMode != 0);
    }
}

void MainWindow::onClickEditingColorPick()
{
    pickColor(&config().penColor);
}

void MainWindow::onClickWatermarkerColorPick()
{
    if (pickColor(&config().watermarkColor)) {
        canvas()->update();
        markModifiedIf(config().watermarkMode != 0);
    }
}

// ---- Zoom and common size ----------------------------------------------------------------------

void MainWindow::onClickZoomIn()
{
    zoomSlider->setValue(WorkflowValues::zoomInValue(zoomSlider->value()));
}

void MainWindow::onClickZoomOut()
{
    zoomSlider->setValue(WorkflowValues::zoomOutValue(zoomSlider->value()));
}

void MainWindow::onClickFit()
{
    canvas()->fitPainterScale();
}

void MainWindow::onPaintAreaSizeHint(int width, int height)
{
    widthEdit->setText(QString::number(width));
    heightEdit->setText(QString::number(height));
}

void MainWindow::paintWidthChanged()
{
    applyCommonSide(1, widthEdit, config().paintWidth, &PainterArea::setPaintWidth);
}

void MainWindow::paintHeightChanged()
{
    applyCommonSide(0, heightEdit, config().paintHeight, &PainterArea::setPaintHeight);
}

// The entry across the strip sets the common size; the other one only shows the strip's length.
void MainWindow::applyCommonSide(int direction, QLineEdit* edit, int current, void (PainterArea::*set)(int))
{
    PainterArea* area = canvas();
    if (area->direction != direction)
        return;
    const std::optional<int> side = WorkflowValues::parseCommonSide(edit->text());
    if (!side) {
        // Refused: show the size still in effect.
        edit->setText(QString::number(current));
        return;
    }
    if (*side != current)
        (area->*set)(*side);
}
