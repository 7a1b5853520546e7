#pragma once

#include "canvas/geometry.h"
#include "export/exportformat.h"

#include <QImage>
#include <QPointer>
#include <QVector>
#include <QWidget>

class AboutDialog;
class ArrivalFit;
class AppDialog;
class EditPhotosDialog;
class HistoryControls;
class IconPushButton;
class IntakeRun;
class MyScrolleaArea;
class PainterArea;
class PanoramDialog;
class PartsExporter;
class ProjectActions;
class RecoveryControls;
class QAction;
class QButtonGroup;
class QColorDialog;
class QKeySequence;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QSlider;
class StitcherConfig;
class ToolButton;
class XFormWidget;

// The one window of the application: top bar, canvas column with its bottom bar, and the tool panel.
// All editing values live in StitcherConfig and the canvas; this class only wires the controls to them.
class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    // Asks before unexported changes to the strip would be lost; true when the window may close.
    bool confirmClose();
    RecoveryControls* recovery() const { return recoveryControls; }
    ProjectActions* projects() const { return projectActions; }

    PainterArea* canvas() const;

private slots:
    void open();
    void save();
    void exportParts();
    void newPaint();
    void setWatermarkerOpcity(int value);
    void setWatermarkerSpacing(int value);
    void setWatermarkerSize(int value);
    void spacingColorToggled(int id, bool checked);
    void editingColorToggled(int id, bool checked);
    void watermarkColorToggled(int id, bool checked);
    void setEditingWidth();
    void onClickZoomIn();
    void onClickZoomOut();
    void onClickFit();
    void onPanoramaDone(const QImage& img);
    void undoPen();
    void clearPens();
    void undoMosaic();
    void clearMosaics();
    void openApps();
    void openHelp();
    void editPhotos();
    void openAbout();
    void openPanorama();
    void onClickSpacingColorPick();
    void onClickEditingColorPick();
    void onClickWatermarkerColorPick();
    void onPaintAreaSizeHint(int width, int height);
    void paintWidthChanged();
    void paintHeightChanged();
    void markModified();

private:
    // True only when a file was written.
    bool exportStrip();
    QString proposedExportPath() const;
    // The file chosen, and the format of the file type chosen with it.
    QString askExportFile(const QString& proposedPath, ExportFormat::Kind* filterKind);
    bool writeStrip(const QString& fileName, const ExportFormat& format);
    void markModifiedIf(bool affectsExport);

    void buildBottomBar(QWidget* bar);
    void buildTopBar(QWidget* bar);
    void buildExportMenu(ToolButton* exportButton);
    void buildToolPanel(QScrollArea* area);
    void addKeys();
    QWidget* buildDirectionSection();
    QWidget* buildStitchingSection();
    QWidget* buildSpacingSection();
    QWidget* buildEditingSection();
    QWidget* buildMosaicSection();
    QWidget* buildWatermarkSection();
    // Swatches whose choice goes to a slot of this window ("toggled(int, bool)"), and a colour picker.
    MyScrolleaArea* buildSwatchStrip(const QSize& stripSize, const QPoint& rowPos, const char* toggledSlot,
                                     void (MainWindow::*pick)());

    // A panel handler is told which of its buttons was clicked and whether it is checked now.
    using ClickHandler = void (MainWindow::*)(QPushButton* b, bool checked);
    void connectClicks(const QVector<QPushButton*>& buttons, ClickHandler handler);
    void onClickDirection(QPushButton* b, bool checked);
    void onClickCutMode(QPushButton* b, bool checked);
    void onClickSpacingMode(QPushButton* b, bool checked);
    void onClickEditTool(QPushButton* b, bool checked);
    void onClickMosaic(QPushButton* b, bool checked);
    void onClickWatermarkMode(QPushButton* b, bool checked);
    void onWatermarkTextChanged(const QString& text);

    void checkOnlyTool(QPushButton* b);
    // Checks b alone among the tool buttons (none when b is not one), and gives the canvas the tool
    // and the trimming buttons of the cut mode.
    void selectTool(QPushButton* b, int tool, int cutMode = Geometry::CutNone);
    bool hasEditingResults() const;
    bool hasAnyChanges() const;
    void resetEditing();
    void resetAll();
    void ensureColorDialog();
    bool pickColor(QColor* target);
    void applySpacingMode(int mode);
    void onPhotosChanged();
    void fitView();
    void showScale(double scale);
    void onWheelZoom(int steps, const QPoint& pointer);
    void applyCommonSide(int direction, QLineEdit* edit, int current, void (PainterArea::*set)(int));

    static StitcherConfig& config();
    QList<QPushButton*> toolButtons() const;

    XFormWidget* canvasHolder = nullptr;
    IconPushButton* horizontalButton = nullptr;
    IconPushButton* verticalButton = nullptr;
    IconPushButton* spacingInnerButton = nullptr;
    IconPushButton* spacingOuterButton = nullptr;
    IconPushButton* spacingAllButton = nullptr;
    IconPushButton* cutInnerButton = nullptr;
    IconPushButton* cutOuterButton = nullptr;
    IconPushButton* cutAllButton = nullptr;
    IconPushButton* pathButton = nullptr;
    IconPushButton* rectangleButton = nullptr;
    IconPushButton* arrowButton = nullptr;
    QPushButton* mosaicButtons[4] = {};
    IconPushButton* watermarkBottomButton = nullptr;
    IconPushButton* watermarkTileButton = nullptr;
    QLineEdit* watermarkEdit = nullptr;
    QAction* smallAction = nullptr;
    QAction* mediumAction = nullptr;
    QAction* largeAction = nullptr;
    AboutDialog* aboutDialog = nullptr;
    AppDialog* appDialog = nullptr;
    EditPhotosDialog* editPhotosDialog = nullptr;
    QSlider* zoomSlider = nullptr;
    QColorDialog* colorDialog = nullptr;
    QLineEdit* widthEdit = nullptr;
    QLineEdit* heightEdit = nullptr;
    QWidget* widthLock = nullptr;
    QWidget* heightLock = nullptr;
    PanoramDialog* panoramaDialog = nullptr;
    ArrivalFit* arrivalFit = nullptr;
    PartsExporter* partsExporter = nullptr;
    QAction* exportPartsAction = nullptr;
    HistoryControls* historyControls = nullptr;
    ProjectActions* projectActions = nullptr;
    RecoveryControls* recoveryControls = nullptr;

    friend struct MainWindowProbe;
    friend class HistoryControls;
};
