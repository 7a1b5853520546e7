#pragma once

#include "widgets/mainframe.h"

// The small window shown before the panorama window: how the photos must overlap, and a box to stop
// showing it.
class PanoramTips : public MainFrame
{
    Q_OBJECT
public:
    explicit PanoramTips(QWidget* parent = nullptr);

private slots:
    void onStateChanged(int state);
};
