#pragma once

#include <QCoreApplication>
#include <QSize>
#include <QString>

class QWidget;

// Before a strip is written: one too big to be worth it (a file the disk could not hold, or hours of
// work) is named with its size, and written only if the user still wants it.
class SizeQuestion
{
    Q_DECLARE_TR_FUNCTIONS(SizeQuestion)
public:
    // True when there is nothing to ask, or the user answered Export Anyway.
    static bool confirm(QWidget* parent, const QSize& size, const QString& fileName);
};
