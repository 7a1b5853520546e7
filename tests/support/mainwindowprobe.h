#pragma once

#include "app/mainwindow.h"
#include "canvas/painterarea.h"
#include "canvas/xformwidget.h"
#include "widgets/iconpushbutton.h"

#include <QAction>
#include <QLineEdit>
#include <QSlider>

class AboutDialog;
class AppDialog;
class EditPhotosDialog;
class PanoramDialog;
class HistoryControls;
class PartsExporter;
class ProjectActions;

// The main window's controls and commands, for the suites that drive it as a user would. The fields
// follow the window's own, so a dialog made on first use shows here once it exists.
struct MainWindowProbe
{
    explicit MainWindowProbe(MainWindow& window) : window(window) {}

    MainWindow& window;
    XFormWidget*& canvasHolder = window.canvasHolder;
    IconPushButton*& horizontalButton = window.horizontalButton;
    IconPushButton*& verticalButton = window.verticalButton;
    IconPushButton*& spacingInnerButton = window.spacingInnerButton;
    IconPushButton*& spacingOuterButton = window.spacingOuterButton;
    IconPushButton*& spacingAllButton = window.spacingAllButton;
    IconPushButton*& cutInnerButton = window.cutInnerButton;
    IconPushButton*& cutOuterButton = window.cutOuterButton;
    IconPushButton*& cutAllButton = window.cutAllButton;
    IconPushButton*& pathButton = window.pathButton;
    IconPushButton*& rectangleButton = window.rectangleButton;
    IconPushButton*& arrowButton = window.arrowButton;
    QPushButton* (&mosaicButtons)[4] = window.mosaicButtons;
    IconPushButton*& watermarkBottomButton = window.watermarkBottomButton;
    IconPushButton*& watermarkTileButton = window.watermarkTileButton;
    QLineEdit*& watermarkEdit = window.watermarkEdit;
    QAction*& smallAction = window.smallAction;
    QAction*& mediumAction = window.mediumAction;
    QAction*& largeAction = window.largeAction;
    QSlider*& zoomSlider = window.zoomSlider;
    QLineEdit*& widthEdit = window.widthEdit;
    QLineEdit*& heightEdit = window.heightEdit;
    AboutDialog*& aboutDialog = window.aboutDialog;
    AppDialog*& appDialog = window.appDialog;
    EditPhotosDialog*& editPhotosDialog = window.editPhotosDialog;
    PanoramDialog*& panoramaDialog = window.panoramaDialog;
    PartsExporter*& partsExporter = window.partsExporter;
    HistoryControls*& historyControls = window.historyControls;
    ProjectActions*& projectActions = window.projectActions;

    PainterArea* canvas() const { return window.canvas(); }
    QList<QPushButton*> toolButtons() const { return window.toolButtons(); }
    void open() { window.open(); }
    void save() { window.save(); }
    bool exportStrip() { return window.exportStrip(); }
    void exportParts() { window.exportParts(); }
    QString proposedExportPath() const { return window.proposedExportPath(); }
    void onClickFit() { window.onClickFit(); }
    void onPanoramaDone(const QImage& image) { window.onPanoramaDone(image); }
    void undoPen() { window.undoPen(); }
    void clearPens() { window.clearPens(); }
    void undoMosaic() { window.undoMosaic(); }
    void clearMosaics() { window.clearMosaics(); }
};
