#pragma once

#include "export/cutplanner.h"
#include "export/exportformat.h"
#include "export/regionsource.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class PainterArea;
class PartsDialog;
class QProgressDialog;
class QWidget;

// The Export in Parts command: shows the parts dialog beside the window, keeps the canvas's cut lines
// up to date while it is open, and writes the parts with progress when asked.
class PartsExporter : public QObject
{
    Q_OBJECT
public:
    PartsExporter(PainterArea* canvas, QWidget* window);
    ~PartsExporter() override;

    // Opens the dialog with the remembered choices; a format or a longest part given replaces them, and
    // a file name gives the folder and the name.
    void open(const ExportFormat* format = nullptr, int partLength = 0, const QString& fileName = QString());
    // For a strip longer than one file of the format holds: offers parts of the longest length it holds.
    void offer(const QString& fileName, const ExportFormat& format, const QSize& size);
    // True only when every part was written.
    bool exportNow();

    PartsDialog* dialog() const;

private:
    RegionSource strip() const;
    Qt::Orientation direction() const;
    CutPlanner::Options cutOptions() const;
    void replan();
    void closed();
    std::unique_ptr<QProgressDialog> progressBox(int length) const;
    static bool keepGoing(QProgressDialog& progress, int done);
    bool mayReplace(const QString& fileName, const QStringList& names, QStringList* older);

    QPointer<PainterArea> canvas;
    QPointer<QWidget> window;
    QPointer<PartsDialog> partsDialog;
    // Working out the cuts paints the strip, so it waits until the choices stop changing.
    QTimer replanTimer;

    friend class TestExportParts;
};
