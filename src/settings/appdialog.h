#pragma once

#include "widgets/mainframe.h"

// The "Download App" window: one picture, closed with the window's own close control.
class AppDialog : public MainFrame
{
    Q_OBJECT
public:
    explicit AppDialog(QWidget* parent = nullptr);
};
