#include "app/mainwindow.h"

#include "app/arrivalfit.h"
#include "app/exportchoices.h"
#include "app/helppage.h"
#include "app/historycontrols.h"
#include "app/partsexporter.h"
#include "app/projectactions.h"
#include "app/qualityrow.h"
#include "app/recoverycontrols.h"
#include "app/sizequestion.h"
#include "app/toolbutton.h"
#include "app/workflowvalues.h"
#include "canvas/geometry.h"
#include "canvas/painterarea.h"
#include "canvas/paintimage.h"
#include "canvas/stitcherconfig.h"
#include "canvas/stripedit.h"
#include "canvas/tools/annotation.h"
#include "canvas/tools/watermark.h"
#include "canvas/xformwidget.h"
#include "editphotos/editphotosdialog.h"
#include "export/outputtarget.h"
#include "export/stripexport.h"
#include "history/striphistory.h"
#include "intake/intakerun.h"
#include "panorama/ui/panoramdialog.h"
#include "panorama/ui/panoramtips.h"
#include "settings/aboutdialog.h"
#include "settings/appdialog.h"
#include "settings/appsettings.h"
#include "widgets/busycursor.h"
#include "widgets/iconpushbutton.h"
#include "widgets/theme.h"

#include <QAction>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QRegExpValidator>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
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

void closeOnEscape(MainFrame* frame)
{
    auto* escape = new QShortcut(QKeySequence::Cancel, frame);
    QObject::connect(escape, &QShortcut::activated, frame, &MainFrame::done);
}

// A kept window opened again comes to the front and takes the keys, Escape included.
void showInFront(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

enum class Escape { Ignored, Closes };

// The windows of the top bar are made once, as dialogs of the main window, and kept.
template <class Dialog> Dialog* keptDialog(Dialog*& dialog, QWidget* owner, Escape escape = Escape::Ignored)
{
    if (!dialog) {
        dialog = new Dialog(owner);
        dialog->setWindowFlags(dialog->windowFlags() | Qt::Dialog);
        placeOver(dialog, owner);
        if (escape == Escape::Closes)
            closeOnEscape(dialog);
    }
    return dialog;
}

// The keys of the commands that have one: the desktop's standard key where there is one.
QList<QKeySequence> commandKeys(const QString& command)
{
    if (command == QLatin1String("add"))
        return QKeySequence::keyBindings(QKeySequence::Open);
    if (command == QLatin1String("export"))
        return QKeySequence::keyBindings(QKeySequence::Save);
    if (command == QLatin1String("zoomin")) // Ctrl+= too: the same key as "+" without Shift
        return QKeySequence::keyBindings(QKeySequence::ZoomIn) << QKeySequence(Qt::CTRL | Qt::Key_Equal);
    if (command == QLatin1String("zoomout"))
        return QKeySequence::keyBindings(QKeySequence::ZoomOut);
    if (command == QLatin1String("fit"))
        return {QKeySequence(Qt::CTRL | Qt::Key_0)};
    if (command == QLatin1String("help"))
        return QKeySequence::keyBindings(QKeySequence::HelpContents);
    return {};
}

QString withKey(const QString& text, const QList<QKeySequence>& keys)
{
    if (keys.isEmpty())
        return text;
    return QStringLiteral("%1 (%2)").arg(text, keys.first().toString(QKeySequence::NativeText));
}

// The strip's length reaches six digits; the entry's border, padding and inner margin take 5 pixels a
// side, and one more keeps the cursor clear of the last digit.
int sixDigitEntryWidth(const QFont& font)
{
    const QFontMetrics metrics(font);
    int digit = 0;
    for (char c = '0'; c <= '9'; ++c)
        digit = qMax(digit, metrics.horizontalAdvance(QLatin1Char(c)));
    return qMax(38, 6 * digit + 2 * 5 + 1);
}

QString titleFor(int photos)
{
    if (photos == 0)
        return MainWindow::tr("Seamwright[*]");
    if (photos == 1)
        return MainWindow::tr("Seamwright \u2014 1 photo[*]");
    return MainWindow::tr("Seamwright \u2014 %1 photos[*]").arg(photos);
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QWidget(parent)
{
    // Qt's own dialogs and menus take the application's colours before any of them is made.
    Theme::install();
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

    partsExporter = new PartsExporter(canvas(), this);
    projectActions = new ProjectActions(this, canvas());
    buildBottomBar(bottomBar);
    buildTopBar(topBar);
    buildToolPanel(panelArea);

    connect(canvas(), SIGNAL(signalSizeHint(int, int)), this, SLOT(onPaintAreaSizeHint(int, int)));
    connect(canvas(), &PainterArea::signalPhotosChanged, this, &MainWindow::markModified);
    connect(canvas(), &PainterArea::signalStripEdited, this, &MainWindow::markModified);
    connect(canvas(), &PainterArea::signalPhotosChanged, this, &MainWindow::onPhotosChanged);
    connect(canvasHolder, &XFormWidget::signalWheelZoom, this, &MainWindow::onWheelZoom);
    arrivalFit = new ArrivalFit([this] { fitView(); }, this);
    connect(zoomSlider, &QSlider::valueChanged, arrivalFit, &ArrivalFit::userZoomed);
    canvas()->addButton->setToolTip(withKey(tr("Add photos"), commandKeys("add")));
    historyControls = new HistoryControls(this);
    recoveryControls = new RecoveryControls(this, canvas(), historyControls->history()->stack());
    connect(projectActions, &ProjectActions::saved, recoveryControls, &RecoveryControls::discardCopy);
    addKeys();
    onPhotosChanged();
}

void MainWindow::addKeys()
{
    const struct
    {
        const char* command;
        void (MainWindow::*slot)();
    } bindings[] = {{"add", &MainWindow::open},
                    {"export", &MainWindow::save},
                    {"zoomin", &MainWindow::onClickZoomIn},
                    {"zoomout", &MainWindow::onClickZoomOut},
                    {"fit", &MainWindow::onClickFit},
                    {"help", &MainWindow::openHelp}};
    for (const auto& binding : bindings) {
        auto* action = new QAction(this);
        action->setObjectName(QStringLiteral("%1Key").arg(binding.command));
        action->setShortcuts(commandKeys(binding.command));
        action->setShortcutContext(Qt::WindowShortcut);
        connect(action, &QAction::triggered, this, binding.slot);
        addAction(action);
    }
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
    widthEdit->setFixedSize(sixDigitEntryWidth(widthEdit->font()), 20);
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
    heightEdit->setFixedSize(sixDigitEntryWidth(heightEdit->font()), 20);
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
    auto add = [&](const char* name, const QString& action) {
        auto* button = new ToolButton(name, bar);
        button->pushButton->setToolTip(withKey(action, commandKeys(name)));
        layout->addWidget(button);
        return button->pushButton;
    };
    connect(add("add", tr("Add photos")), &QPushButton::clicked, this, &MainWindow::open);
    connect(add("clear", tr("Clear the strip")), &QPushButton::clicked, this, &MainWindow::newPaint);
    connect(add("apps", tr("Download App")), &QPushButton::clicked, this, &MainWindow::openApps);
    layout->addSpacing(20);
    connect(add("zoomin", tr("Zoom in")), &QPushButton::clicked, this, &MainWindow::onClickZoomIn);
    connect(add("zoomout", tr("Zoom out")), &QPushButton::clicked, this, &MainWindow::onClickZoomOut);
    connect(add("fit", tr("Fit the strip to the view")), &QPushButton::clicked, this,
            &MainWindow::onClickFit);
    connect(add("edit", tr("Edit Photos")), &QPushButton::clicked, this, &MainWindow::editPhotos);
    connect(add("export", tr("Export the strip")), &QPushButton::clicked, this, &MainWindow::save);
    buildExportMenu(qobject_cast<ToolButton*>(layout->itemAt(layout->count() - 1)->widget()));
    connect(add("panorama", tr("Panorama")), &QPushButton::clicked, this, &MainWindow::openPanorama);
    layout->addStretch(1);
    connect(add("help", tr("User guide")), &QPushButton::clicked, this, &MainWindow::openHelp);
    connect(add("about", tr("About Seamwright")), &QPushButton::clicked, this, &MainWindow::openAbout);
}

void MainWindow::buildExportMenu(ToolButton* exportButton)
{
    auto* menu = new QMenu(this);
    QAction* whole = menu->addAction(tr("&Export..."), this, &MainWindow::save);
    whole->setToolTip(tr("Save the strip as one PNG, JPEG or WebP file"));
    // Shown in the menu; the window's own key action does the work.
    whole->setShortcuts(commandKeys("export"));
    whole->setShortcutContext(Qt::WidgetShortcut);
    exportPartsAction = menu->addAction(tr("Export in &Parts..."), this, &MainWindow::exportParts);
    exportPartsAction->setShortcut(QKeySequence(Qt::SHIFT | Qt::CTRL | Qt::Key_S));
    exportPartsAction->setShortcutContext(Qt::WindowShortcut);
    exportPartsAction->setToolTip(tr("Save the strip as several files cut at calm rows"));
    addAction(exportPartsAction);
    menu->addAction(projectActions->saveAction());
    exportButton->setMenu(menu);
    const QString partsKey = exportPartsAction->shortcut().toString(QKeySequence::NativeText);
    exportButton->menuButton->setToolTip(tr("Export as one file or in parts (%1)").arg(partsKey));
    QPushButton* picture = exportButton->pushButton;
    picture->setToolTip(tr("%1; in parts: %2").arg(picture->toolTip(), partsKey));
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
    canvas()->openFiles();
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
    // The file is painted apart from the screen, which keeps its zoom, place and tool.
    ExportFormat::Kind filterKind = ExportFormat::Kind::Png;
    const QString fileName = askExportFile(proposedExportPath(), &filterKind);
    if (fileName.isEmpty())
        return false;
    ExportFormat format = ExportChoices::format(ExportFormat::kindOfName(fileName).value_or(filterKind));
    // Too long for the format: no quality to ask for.
    if (!format.fits(area->contentSize())) {
        partsExporter->offer(fileName, format, area->contentSize());
        return false;
    }
    if (!QualityRow::ask(this, format))
        return false;
    if (format.kind != ExportFormat::Kind::Png)
        ExportChoices::remember(format);
    if (!writeStrip(fileName, format))
        return false;
    selectTool(nullptr, StitcherConfig::NoTool);
    window()->setWindowModified(false);
    AppSettings::instance()->setLastExportFolder(QFileInfo(fileName).absolutePath());
    return true;
}

// The parts keep their own folder but are named after the strip, as the whole export is.
void MainWindow::exportParts()
{
    const QString name = QFileInfo(proposedExportPath()).completeBaseName();
    partsExporter->open(nullptr, 0, QDir(ExportChoices::parts().folder).filePath(name));
}

// The last export folder and a name made from the first photo's: beach.jpg gives beach-strip.png.
QString MainWindow::proposedExportPath() const
{
    const QList<PaintImage*>& photos = canvas()->paintImages;
    const QString base = photos.isEmpty() ? QString() : QFileInfo(photos.first()->name).completeBaseName();
    const QString name =
        base.isEmpty() ? QStringLiteral("untitled.png") : base + QStringLiteral("-strip.png");
    return QDir(AppSettings::instance()->lastExportFolder()).filePath(name);
}

// The dialog asks before replacing an existing file.
QString MainWindow::askExportFile(const QString& proposedPath, ExportFormat::Kind* filterKind)
{
    QStringList filters;
    for (ExportFormat::Kind kind :
         {ExportFormat::Kind::Png, ExportFormat::Kind::Jpeg, ExportFormat::Kind::Webp})
        filters << ExportFormat::nameFilter(kind);
    QString selected = filters.first();
    const QString fileName =
        QFileDialog::getSaveFileName(this, tr("Save"), proposedPath, filters.join(";;"), &selected);
    *filterKind = ExportFormat::kindOfNameFilter(selected).value_or(ExportFormat::Kind::Png);
    return fileName;
}

bool MainWindow::writeStrip(const QString& fileName, const ExportFormat& format)
{
    PainterArea* area = canvas();
    const BandSource strip{area->contentSize(),
                           [area](int top, int rows) { return area->renderBand(top, rows); }};
    if (!format.fits(strip.size)) {
        partsExporter->offer(fileName, format, strip.size);
        return false;
    }
    if (!SizeQuestion::confirm(this, strip.size, fileName))
        return false;
    if (!OutputTarget::inputAmong(fileName, area->sourcePaths()).isEmpty()) {
        QMessageBox::warning(this, tr("Export"), OutputTarget::isInputText(fileName));
        return false;
    }
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
    exporter.setFormat(format);
    // The dialog processes events in setValue once it is shown: that is what keeps the window painted.
    exporter.setProgress([&progress](int rowsDone, int rowsTotal) {
        progress.setMaximum(rowsTotal);
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
    question.setInformativeText(
        tr("Export it or save it as a project before closing, or discard the changes?"));
    question.setStyleSheet(Theme::dialogStyleSheet());
    QPushButton* exportButton = question.addButton(tr("Export…"), QMessageBox::AcceptRole);
    QPushButton* projectButton = question.addButton(tr("Save Project…"), QMessageBox::AcceptRole);
    // The box makes its buttons as narrow as the sheet's minimum; this label is the longest.
    projectButton->setMinimumWidth(projectButton->fontMetrics().horizontalAdvance(projectButton->text()) +
                                   32);
    QPushButton* discardButton = question.addButton(tr("Discard"), QMessageBox::DestructiveRole);
    QPushButton* cancelButton = question.addButton(tr("Cancel"), QMessageBox::RejectRole);
    question.setDefaultButton(exportButton);
    question.setEscapeButton(cancelButton);
    question.exec();
    if (question.clickedButton() == discardButton)
        return true;
    if (question.clickedButton() == exportButton)
        return exportStrip();
    if (question.clickedButton() == projectButton)
        return projectActions->saveProject();
    return false;
}

void MainWindow::newPaint()
{
    const StripEdit edit(canvas(), tr("Clear"));
    resetAll();
    PainterArea* area = canvas();
    area->removeAllPhotos();
    area->adjustSize();
    area->update();
}

void MainWindow::onPanoramaDone(const QImage& img)
{
    const StripEdit edit(canvas(), tr("Add panorama"));
    canvas()->appendPhoto(img, "panorama.jpg");
}

// ---- Other windows -----------------------------------------------------------------------------

void MainWindow::openApps()
{
    showInFront(keptDialog(appDialog, this, Escape::Closes));
}

void MainWindow::openHelp()
{
    const QString programDir = QCoreApplication::applicationDirPath();
    const QUrl page = HelpPage::locate(programDir, HelpPage::defaultExtractDir());
    if (page.isValid() && QDesktopServices::openUrl(page))
        return;
    // Without a browser the desktop cannot show the guide: say where it is instead.
    const QString path = page.isValid() ? page.toLocalFile() : HelpPage::installedPath(programDir);
    QMessageBox box(QMessageBox::Information, tr("Help"),
                    tr("The user guide could not be opened here. Open this file in a web browser:\n%1")
                        .arg(QDir::toNativeSeparators(path)),
                    QMessageBox::Ok, this);
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    box.exec();
}

void MainWindow::editPhotos()
{
    if (hasEditingResults()) {
        if (!confirmed(tr("Waring"),
                       tr("Are you sure to go to Edit Photos and discard your current editing results?")))
            return;
        resetEditing();
    }
    keptDialog(editPhotosDialog, this, Escape::Closes);
    editPhotosDialog->loadPhotos(canvas());
    showInFront(editPhotosDialog);
}

void MainWindow::openAbout()
{
    showInFront(keptDialog(aboutDialog, this, Escape::Closes));
}

void MainWindow::openPanorama()
{
    if (!AppSettings::instance()->readPanoramaTips()) {
        QPointer<PanoramTips> tips = new PanoramTips(this);
        tips->setWindowFlags(tips->windowFlags() | Qt::Dialog);
        tips->setWindowModality(Qt::ApplicationModal);
        placeOver(tips, this);
        closeOnEscape(tips); // as "Know-it"
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
           config().watermarkMode != Watermark::None;
}

bool MainWindow::hasAnyChanges() const
{
    return canvas()->hasTrims() || hasEditingResults();
}

void MainWindow::resetEditing()
{
    PainterArea* area = canvas();
    const StripEdit edit(area, tr("Discard edits"));
    spacingInnerButton->setChecked(false);
    spacingOuterButton->setChecked(false);
    spacingAllButton->setChecked(false);
    area->setSpacingMode(0);
    area->clearEdits();
    watermarkEdit->setText(QString());
    Watermark::Style watermark = area->watermarkStyle();
    watermark.text.clear();
    watermark.mode = Watermark::None;
    area->setWatermarkStyle(watermark);
    config().shape = Annotation::NoShape;
    config().mosaicName = "mosaic-normal";
    watermarkBottomButton->setChecked(false);
    watermarkTileButton->setChecked(false);
    markModified();
}

void MainWindow::resetAll()
{
    config().tool = StitcherConfig::NoTool;
    PainterArea* area = canvas();
    area->setCutMode(Geometry::CutNone);
    resetEditing();
    area->resetLayout();
    spacingInnerButton->setChecked(false);
    spacingOuterButton->setChecked(false);
    spacingAllButton->setChecked(false);
}

void MainWindow::selectTool(QPushButton* b, int tool, int cutMode)
{
    checkOnlyTool(b);
    config().tool = tool;
    canvas()->setCutMode(cutMode);
}

void MainWindow::onClickDirection(QPushButton* b, bool checked)
{
    if (!checked) {
        // The direction that is on cannot be switched off.
        b->setChecked(true);
        return;
    }
    const bool discard = hasAnyChanges();
    if (discard &&
        !confirmed(
            tr("Warning"),
            tr("Are you sure to go back to Pick Direction and discard your current editing results?"))) {
        b->setChecked(false);
        return;
    }
    const StripEdit edit(canvas(), tr("Direction"));
    if (discard)
        resetAll();
    selectTool(b, StitcherConfig::NoTool);
    const bool vertical = b == verticalButton;
    (vertical ? horizontalButton : verticalButton)->setChecked(false);
    widthLock->setVisible(!vertical);
    widthEdit->setReadOnly(!vertical);
    heightLock->setVisible(vertical);
    heightEdit->setReadOnly(vertical);
    canvas()->setDirection(vertical ? Geometry::Vertical : Geometry::Horizontal);
}

void MainWindow::onClickCutMode(QPushButton* b, bool checked)
{
    if (!checked) {
        config().tool = StitcherConfig::NoTool;
        canvas()->setCutMode(Geometry::CutNone);
        canvas()->update();
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
    selectTool(b, StitcherConfig::TrimTool,
               b == cutInnerButton   ? Geometry::CutInner
               : b == cutOuterButton ? Geometry::CutOuter
                                     : Geometry::CutAll);
    canvas()->update();
}

void MainWindow::applySpacingMode(int mode)
{
    canvas()->setSpacingMode(mode);
}

void MainWindow::onClickSpacingMode(QPushButton* b, bool checked)
{
    if (!checked) {
        applySpacingMode(0);
        return;
    }
    selectTool(b, StitcherConfig::NoTool);
    const int index = b == spacingInnerButton ? 0 : b == spacingOuterButton ? 1 : 2;
    spacingInnerButton->setChecked(index == 0);
    spacingOuterButton->setChecked(index == 1);
    spacingAllButton->setChecked(index == 2);
    applySpacingMode(WorkflowValues::spacingModeFor(index));
}

void MainWindow::onClickEditTool(QPushButton* b, bool checked)
{
    if (!checked) {
        config().tool = StitcherConfig::NoTool;
        return;
    }
    selectTool(b, StitcherConfig::DrawTool);
    config().shape = b == pathButton    ? Annotation::Path
                     : b == arrowButton ? Annotation::Arrow
                                        : Annotation::Rectangle;
}

void MainWindow::setEditingWidth()
{
    auto* entry = qobject_cast<QAction*>(sender());
    config().penWidth = WorkflowValues::penWidthFor(entry == smallAction ? 0 : entry == mediumAction ? 1 : 2);
    smallAction->setChecked(entry == smallAction);
    mediumAction->setChecked(entry == mediumAction);
    largeAction->setChecked(entry == largeAction);
}

void MainWindow::onClickMosaic(QPushButton* b, bool checked)
{
    if (!checked) {
        config().tool = StitcherConfig::NoTool;
        return;
    }
    selectTool(b, StitcherConfig::MosaicTool);
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

void MainWindow::onClickWatermarkMode(QPushButton* b, bool checked)
{
    Watermark::Style style = canvas()->watermarkStyle();
    const bool bottom = b == watermarkBottomButton;
    style.mode = !checked ? Watermark::None : bottom ? Watermark::Bottom : Watermark::Tile;
    if (checked) {
        (bottom ? watermarkTileButton : watermarkBottomButton)->setChecked(false);
        // A trim tool would cut through the watermark being placed.
        if (config().tool == StitcherConfig::TrimTool)
            selectTool(nullptr, StitcherConfig::NoTool);
    }
    canvas()->setWatermarkStyle(style);
}

void MainWindow::onWatermarkTextChanged(const QString& text)
{
    Watermark::Style style = canvas()->watermarkStyle();
    style.text = text;
    canvas()->setWatermarkStyle(style, PainterArea::WatermarkTextKey);
}

void MainWindow::setWatermarkerOpcity(int value)
{
    Watermark::Style style = canvas()->watermarkStyle();
    style.opacity = value;
    canvas()->setWatermarkStyle(style, PainterArea::WatermarkOpacityKey);
}

void MainWindow::setWatermarkerSpacing(int value)
{
    Watermark::Style style = canvas()->watermarkStyle();
    style.spacing = value;
    canvas()->setWatermarkStyle(style, PainterArea::WatermarkSpacingKey);
}

void MainWindow::setWatermarkerSize(int value)
{
    Watermark::Style style = canvas()->watermarkStyle();
    style.size = value;
    canvas()->setWatermarkStyle(style, PainterArea::WatermarkSizeKey);
}

// ---- Colours -----------------------------------------------------------------------------------

void MainWindow::spacingColorToggled(int id, bool checked)
{
    if (!checked || id < 0 || id >= config().colorList.size())
        return;
    canvas()->setSpacingColor(config().colorList.at(id));
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
    Watermark::Style style = canvas()->watermarkStyle();
    style.color = config().colorList.at(id);
    canvas()->setWatermarkStyle(style, PainterArea::WatermarkColorKey);
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
    QColor color;
    if (pickColor(&color))
        canvas()->setSpacingColor(color);
}

void MainWindow::onClickEditingColorPick()
{
    pickColor(&config().penColor);
}

void MainWindow::onClickWatermarkerColorPick()
{
    Watermark::Style style = canvas()->watermarkStyle();
    if (pickColor(&style.color))
        canvas()->setWatermarkStyle(style, PainterArea::WatermarkColorKey);
}

// ---- Zoom and common size ----------------------------------------------------------------------

void MainWindow::onClickZoomIn()
{
    zoomSlider->setValue(WorkflowValues::zoomInValue(zoomSlider->value(), zoomSlider->maximum()));
}

void MainWindow::onClickZoomOut()
{
    zoomSlider->setValue(WorkflowValues::zoomOutValue(zoomSlider->value(), zoomSlider->minimum()));
}

void MainWindow::onClickFit()
{
    fitView();
}

void MainWindow::fitView()
{
    PainterArea* area = canvas();
    if (area->paintImages.isEmpty())
        return;
    area->fitPainterScale();
    showScale(area->painterScale);
}

// The slider follows a scale the canvas was given directly, so the next step continues from it; its
// range grows when a fitted scale lies beyond it.
void MainWindow::showScale(double scale)
{
    const int value = Geometry::zoomValueFor(scale);
    const QSignalBlocker blocker(zoomSlider);
    zoomSlider->setRange(qMin(0, value), qMax(100, value));
    zoomSlider->setValue(value);
}

void MainWindow::onWheelZoom(int steps, const QPoint& pointer)
{
    int value = zoomSlider->value();
    for (int i = 0; i < qAbs(steps); ++i)
        value = steps > 0 ? WorkflowValues::zoomInValue(value, zoomSlider->maximum())
                          : WorkflowValues::zoomOutValue(value, zoomSlider->minimum());
    if (value == zoomSlider->value())
        return;
    {
        const QSignalBlocker blocker(zoomSlider);
        zoomSlider->setValue(value);
    }
    canvas()->zoomAbout(value, pointer);
}

void MainWindow::onPhotosChanged()
{
    PainterArea* area = canvas();
    const int count = area->paintImages.size();
    window()->setWindowTitle(titleFor(count));
    // An empty strip has nothing to export, by button, menu or key.
    for (QAction* action : {findChild<QAction*>("exportKey"), exportPartsAction})
        action->setEnabled(count > 0);
    findChild<ToolButton*>("export")->setEnabled(count > 0);
    arrivalFit->photosChanged(count);
    if (count == 0) {
        // An empty strip starts again at 1:1, so the next photos do not come in at an old zoom.
        {
            const QSignalBlocker blocker(zoomSlider);
            zoomSlider->setRange(0, 100);
            zoomSlider->setValue(50);
        }
        area->setPainterScale(50);
    }
}

void MainWindow::onPaintAreaSizeHint(int width, int height)
{
    widthEdit->setText(QString::number(width));
    heightEdit->setText(QString::number(height));
}

void MainWindow::paintWidthChanged()
{
    applyCommonSide(Geometry::Vertical, widthEdit, config().paintWidth, &PainterArea::setPaintWidth);
}

void MainWindow::paintHeightChanged()
{
    applyCommonSide(Geometry::Horizontal, heightEdit, config().paintHeight, &PainterArea::setPaintHeight);
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
