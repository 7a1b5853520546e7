#pragma once

#include "app/exportchoices.h"

#include <QDialog>
#include <QVector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QualityRow;

// Where and how the strip is saved in parts: folder, name, format, the longest part and calm cuts. It
// stays open beside the window, so that the cuts it would make can be looked at on the canvas.
class PartsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PartsDialog(QWidget* parent = nullptr);

    void setChoices(const ExportChoices::Parts& parts, const ExportFormat& format);
    ExportChoices::Parts parts() const;
    ExportFormat format() const;
    // Words for the length of a part: rows of a vertical strip, columns of a horizontal one.
    void setDirection(Qt::Orientation direction);
    // The cuts as they will fall, for the summary line.
    void showPlan(const QVector<int>& ends);

signals:
    void choicesChanged();
    void exportRequested();

private:
    void chooseFolder();
    void formatChanged();
    void updateState();

    Qt::Orientation direction = Qt::Vertical;
    QLineEdit* folderEdit = nullptr;
    QLineEdit* nameEdit = nullptr;
    QComboBox* formatBox = nullptr;
    QualityRow* qualityRow = nullptr;
    QSpinBox* lengthBox = nullptr;
    QCheckBox* calmBox = nullptr;
    QSpinBox* sensitivityBox = nullptr;
    QLabel* summary = nullptr;
    QPushButton* exportButton = nullptr;

    friend class TestExportParts;
};
