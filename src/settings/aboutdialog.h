#pragma once

#include "widgets/mainframe.h"

// The "About App" window: logo, product name, release and the maker's address.
class AboutDialog : public MainFrame
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};
