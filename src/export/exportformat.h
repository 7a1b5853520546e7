#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QSize>
#include <QString>

#include <optional>

// The kind of file an export writes, with the settings of the lossy kinds.
struct ExportFormat
{
    Q_DECLARE_TR_FUNCTIONS(ExportFormat)
public:
    enum class Kind { Png, Jpeg, Webp };

    static constexpr int defaultQuality = 90;

    Kind kind = Kind::Png;
    int quality = defaultQuality; // JPEG and lossy WebP, 0 to 100
    bool lossless = false;        // WebP only

    // The kind a file name's suffix asks for, if any.
    static std::optional<Kind> kindOfName(const QString& fileName);
    static QString suffix(Kind kind);
    static QString displayName(Kind kind);
    // "PNG image (*.png)" and so on, for a file dialog.
    static QString nameFilter(Kind kind);
    static std::optional<Kind> kindOfNameFilter(const QString& filter);
    // The longest side a file of that kind can hold.
    static int maxSide(Kind kind);

    bool fits(const QSize& size) const;
    // Why a picture that size does not fit, in words for a message.
    QString tooLargeText(const QSize& size) const;
    QByteArray writerFormat() const;
    int writerQuality() const;
};
