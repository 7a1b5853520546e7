#pragma once

#include <QCoreApplication>
#include <QSize>
#include <QString>

// Whether a picture is too big to be worth starting: a file that could not fit the free space even
// compressed as well as the format ever compresses, or hours of painting and encoding.
class StripSize
{
    Q_DECLARE_TR_FUNCTIONS(StripSize)
public:
    // Past this a strip takes hours even on a fast machine: about 30 million pixels a second in all.
    static constexpr qint64 hoursOfWork = qint64(100) * 1000 * 1000 * 1000;
    // Deflate keeps at best about one byte of a thousand.
    static constexpr qint64 bestCompression = 1000;

    // Why a picture of that size should not be written where freeBytes are free (negative when not
    // known), in words for a message naming its size; empty when nothing speaks against it.
    static QString objection(const QSize& size, qint64 freeBytes);
    // The free bytes in the folder a file name is in; -1 when not known.
    static qint64 freeBytesFor(const QString& fileName);
};
