#pragma once

#include "export/exportformat.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QSpinBox;

// The quality of a JPEG or WebP file and, for WebP, whether it is lossless; hidden for PNG.
class QualityRow : public QWidget
{
    Q_OBJECT
public:
    explicit QualityRow(QWidget* parent = nullptr);

    void setFormat(const ExportFormat& format);
    ExportFormat format() const;

    // Asks for the quality of a file of that format before it is written; false when cancelled. PNG
    // has nothing to ask.
    static bool ask(QWidget* parent, ExportFormat& format);

signals:
    void changed();

private:
    void updateState();

    ExportFormat::Kind kind = ExportFormat::Kind::Png;
    QLabel* qualityLabel = nullptr;
    QSpinBox* qualityBox = nullptr;
    QCheckBox* losslessBox = nullptr;
};
