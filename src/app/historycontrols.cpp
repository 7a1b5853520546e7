#include "app/historycontrols.h"

#include "app/mainwindow.h"
#include "app/projectactions.h"
#include "app/workflowvalues.h"
#include "canvas/painterarea.h"
#include "canvas/stitcherconfig.h"
#include "canvas/xformwidget.h"
#include "editphotos/editphotosdialog.h"
#include "history/striphistory.h"
#include "widgets/iconpushbutton.h"

#include <QAbstractButton>
#include <QAction>
#include <QButtonGroup>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QUndoStack>

namespace {

QAction* keyAction(QWidget* window, const QString& name, QKeySequence::StandardKey key)
{
    auto* action = new QAction(window);
    action->setObjectName(name);
    action->setShortcuts(key);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setEnabled(false);
    window->addAction(action);
    return action;
}

void setQuietly(QSlider* slider, int value)
{
    if (!slider)
        return;
    const QSignalBlocker blocker(slider);
    slider->setValue(value);
}

// The slider value a spacing width comes from: the inverse of the canvas's setSpacingInner/Outer.
int spacingSliderValue(double spacing)
{
    return qRound((spacing - 5) * 100 / 155);
}

} // namespace

HistoryControls::HistoryControls(MainWindow* window) : QObject(window), window(window)
{
    PainterArea* canvas = window->canvas();
    stripHistory = new StripHistory(
        canvas->state(), [canvas](const StripState& state) { canvas->restoreState(state); }, this);
    canvas->setRecorder(stripHistory);
    connect(canvas, &PainterArea::signalStateRestored, this, &HistoryControls::showRestoredSettings);
    connect(window->projects(), &ProjectActions::toolSettingsOpened, this,
            &HistoryControls::showToolSettings);

    QUndoStack* stack = stripHistory->stack();
    undo = keyAction(window, QStringLiteral("undoKey"), QKeySequence::Undo);
    redo = keyAction(window, QStringLiteral("redoKey"), QKeySequence::Redo);
    connect(undo, &QAction::triggered, stack, &QUndoStack::undo);
    connect(redo, &QAction::triggered, stack, &QUndoStack::redo);
    connect(stack, &QUndoStack::canUndoChanged, undo, &QAction::setEnabled);
    connect(stack, &QUndoStack::canRedoChanged, redo, &QAction::setEnabled);
    connect(stack, &QUndoStack::indexChanged, this, &HistoryControls::describeSteps);
    describeSteps();
}

void HistoryControls::describeSteps()
{
    const QUndoStack* stack = stripHistory->stack();
    const QString undoKey = undo->shortcut().toString(QKeySequence::NativeText);
    const QString redoKey = redo->shortcut().toString(QKeySequence::NativeText);
    undo->setText(stack->canUndo() ? tr("Undo %1").arg(stack->undoText()) : tr("Undo"));
    undo->setToolTip(tr("%1 (%2)").arg(undo->text(), undoKey));
    redo->setText(stack->canRedo() ? tr("Redo %1").arg(stack->redoText()) : tr("Redo"));
    redo->setToolTip(tr("%1 (%2)").arg(redo->text(), redoKey));
}

// The panel shows the settings of the strip put back, without making an edit of its own.
void HistoryControls::showRestoredSettings()
{
    MainWindow* w = window;
    const PainterArea* canvas = w->canvas();
    const StitcherConfig* config = StitcherConfig::instance();
    const bool vertical = canvas->isVertical();
    w->horizontalButton->setChecked(!vertical);
    w->verticalButton->setChecked(vertical);
    w->widthLock->setVisible(!vertical);
    w->widthEdit->setReadOnly(!vertical);
    w->heightLock->setVisible(vertical);
    w->heightEdit->setReadOnly(vertical);

    const int mode = canvas->spacingMode;
    const QList<QPushButton*> spacing = {w->spacingInnerButton, w->spacingOuterButton, w->spacingAllButton};
    for (int i = 0; i < spacing.size(); ++i)
        spacing[i]->setChecked(mode != 0 && mode == WorkflowValues::spacingModeFor(i));
    setQuietly(w->findChild<QSlider*>(QStringLiteral("spacingInnerSlider")),
               spacingSliderValue(canvas->spacingInner));
    setQuietly(w->findChild<QSlider*>(QStringLiteral("spacingOuterSlider")),
               spacingSliderValue(canvas->spacingOuter));

    w->watermarkBottomButton->setChecked(config->watermarkMode == Watermark::Bottom);
    w->watermarkTileButton->setChecked(config->watermarkMode != Watermark::None &&
                                       config->watermarkMode != Watermark::Bottom);
    {
        const QSignalBlocker blocker(w->watermarkEdit);
        w->watermarkEdit->setText(config->watermarkText);
    }
    setQuietly(w->findChild<QSlider*>(QStringLiteral("watermarkOpacitySlider")), config->watermarkOpacity);
    setQuietly(w->findChild<QSlider*>(QStringLiteral("watermarkSpacingSlider")), config->watermarkSpacing);
    setQuietly(w->findChild<QSlider*>(QStringLiteral("watermarkSizeSlider")), config->watermarkSize);

    // An open Edit Photos window shows the photos as they are now.
    if (w->editPhotosDialog && w->editPhotosDialog->isVisible())
        w->editPhotosDialog->loadPhotos(w->canvas());
}

// The panel shows the tool settings a project brought: the tool on, its pen width and colour.
void HistoryControls::showToolSettings()
{
    MainWindow* w = window;
    StitcherConfig* config = StitcherConfig::instance();
    QPushButton* tool = nullptr;
    if (config->tool == StitcherConfig::DrawTool) {
        tool = config->shape == Annotation::Path        ? w->pathButton
               : config->shape == Annotation::Arrow     ? w->arrowButton
               : config->shape == Annotation::Rectangle ? w->rectangleButton
                                                        : nullptr;
    } else if (config->tool == StitcherConfig::MosaicTool) {
        for (QPushButton* b : w->mosaicButtons)
            if (b->objectName() == config->mosaicName)
                tool = b;
    }
    // A tool the panel has no button for would paint what no button shows.
    w->selectTool(tool, tool ? config->tool : int(StitcherConfig::NoTool));

    const QList<QAction*> widths = {w->smallAction, w->mediumAction, w->largeAction};
    for (int i = 0; i < widths.size(); ++i)
        widths[i]->setChecked(config->penWidth == WorkflowValues::penWidthFor(i));

    auto* swatches = w->findChild<QWidget*>(QStringLiteral("penColors"))->findChild<QButtonGroup*>();
    const QSignalBlocker blocker(swatches);
    // A colour picked outside the swatches leaves none of them on.
    swatches->setExclusive(false);
    for (QAbstractButton* swatch : swatches->buttons())
        swatch->setChecked(config->colorList.value(swatches->id(swatch)) == config->penColor);
    swatches->setExclusive(true);
}
