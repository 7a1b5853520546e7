#pragma once

#include <QSize>
#include <QWidget>

class QCheckBox;
class QLabel;

// The result page's choice between the panorama cut to its picture and the whole of it, with the size
// of the one shown. The choice is remembered in the settings.
class CropChoice : public QWidget
{
    Q_OBJECT
public:
    explicit CropChoice(QWidget* parent = nullptr);

    bool keepWhole() const;
    // Says the size shown and whether it was cut; with nothing to cut the box has no say.
    void describe(const QSize& shown, bool cropped, bool croppable);

    QCheckBox* checkBox() const { return box; }
    QLabel* sizeLabel() const { return label; }

signals:
    void keepWholeChanged(bool keep);

private:
    QCheckBox* box = nullptr;
    QLabel* label = nullptr;
};
