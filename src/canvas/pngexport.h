#pragma once

#include <QCoreApplication>
#include <QImage>
#include <QString>

class QWidget;

// Saves an image as a PNG file the way the export needs it: the file appears, or replaces the file of
// that name, only once it is complete, so a failed or cancelled export leaves no partial file and
// destroys nothing. While the file is written the window repaints; a window-modal progress dialog with
// a Cancel button appears when the export takes longer than the progress delay, and keeps the window
// from changing meanwhile.
class PngExport
{
    Q_DECLARE_TR_FUNCTIONS(PngExport)
public:
    enum class Result { Saved, Cancelled, Failed };

    explicit PngExport(QWidget* parent) : parent(parent) {}

    void setProgressDelay(int milliseconds) { progressDelay = milliseconds; }
    Result save(const QImage& image, const QString& fileName);
    // Why the last save failed, in words for a message box.
    QString errorString() const { return error; }

private:
    QWidget* parent = nullptr;
    int progressDelay = 500;
    QString error;
};
