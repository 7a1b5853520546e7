#pragma once

#include <QPointer>
#include <QPushButton>

class OverlapJoin;
class PainterArea;

// The trimming section's button that joins overlapping screenshots: the whole strip is trimmed where
// each photo continues the one before, and one message names what did not join that way.
class OverlapJoinButton : public QPushButton
{
    Q_OBJECT
public:
    OverlapJoinButton(PainterArea* canvas, QWidget* parent = nullptr);

    // What the message after a join says; empty when every neighbour overlapped and nothing was out.
    static QString reportText(const OverlapJoin& join);

public slots:
    void joinOverlaps();

private:
    QPointer<PainterArea> canvas;
};
