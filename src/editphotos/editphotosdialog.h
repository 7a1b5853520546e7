#pragma once

#include "widgets/mainframe.h"

class EditPhotoContent;
class PainterArea;
class QScrollArea;

// The Edit Photos window: the canvas's photos as a grid that reorders and deletes them.
class EditPhotosDialog : public MainFrame
{
    Q_OBJECT
public:
    explicit EditPhotosDialog(QWidget* parent = nullptr);

    // Replaces the grid by a new one built from the canvas's current photos.
    void loadPhotos(PainterArea* canvas);
    EditPhotoContent* photoGrid() const;

private:
    QScrollArea* scrollArea = nullptr;
};
