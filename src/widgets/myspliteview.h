#pragma once

#include <QWidget>

// The thin line between two sections of the tool panel.
class MySpliteView : public QWidget
{
    Q_OBJECT
public:
    explicit MySpliteView(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
