#include "support/scrollcorpus.h"

#include "support/photolikeimage.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace ScrollCorpus {

namespace {

struct Random
{
    quint32 state;
    quint32 next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int below(int n) { return int(next() % quint32(n)); }
};

const QStringList words = {
    "the",    "screen", "scrolls",  "while",   "bars",    "stay",    "fixed",   "reader",  "page",
    "every",  "row",    "appears",  "once",    "harbour", "morning", "quiet",   "letters", "arrived",
    "from",   "north",  "station",  "under",   "bright",  "winter",  "light",   "several", "people",
    "walked", "along",  "narrow",   "streets", "towards", "market",  "square",  "where",   "music",
    "played", "and",    "children", "laughed", "about",   "nothing", "special", "beyond",  "river",
    "bridge", "stone",  "garden",   "opened",  "at",      "nine",    "closed",  "late",    "evening"};

QString sentence(Random& random, int count)
{
    QStringList out;
    for (int i = 0; i < count; ++i)
        out << words[random.below(words.size())];
    out[0][0] = out[0][0].toUpper();
    return out.join(' ') + '.';
}

// Lines of text that fit width in the font.
QStringList wrap(const QString& text, const QFont& font, int width)
{
    const QFontMetrics metrics(font);
    QStringList lines;
    QString line;
    for (const QString& word : text.split(' ')) {
        const QString candidate = line.isEmpty() ? word : line + ' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(candidate) > width) {
            lines << line;
            line = word;
        } else {
            line = candidate;
        }
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

QFont face(const char* family, int pixels, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(std::max(6, pixels));
    font.setBold(bold);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

void textPage(QPainter& p, int width, int length, Random& random)
{
    p.fillRect(0, 0, width, length, Qt::white);
    p.setRenderHint(QPainter::TextAntialiasing);
    const int size = std::max(11, width / 28);
    const QFont body = face("DejaVu Sans", size);
    const QFont heading = face("DejaVu Serif", size * 3 / 2, true);
    const int margin = size;
    int y = margin;
    int paragraph = 0;
    while (y < length) {
        if (paragraph % 4 == 0) {
            p.setFont(heading);
            p.setPen(QColor("#202840"));
            p.drawText(margin, y + size * 3 / 2, sentence(random, 3));
            y += size * 5 / 2;
        }
        p.setFont(body);
        p.setPen(QColor("#303030"));
        for (const QString& line : wrap(sentence(random, 18 + random.below(30)), body, width - 2 * margin)) {
            p.drawText(margin, y + size, line);
            y += size * 3 / 2;
        }
        y += size;
        ++paragraph;
    }
}

void bubble(QPainter& p, const QString& text, bool mine, int width, int size, int& y)
{
    const QFont font = face("DejaVu Sans", size);
    const QStringList lines = wrap(text, font, width * 6 / 10);
    const QFontMetrics metrics(font);
    int textWidth = 0;
    for (const QString& line : lines)
        textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
    const int lineHeight = size * 4 / 3;
    const QRect box(mine ? width - textWidth - 3 * size : size, y, textWidth + 2 * size,
                    int(lines.size()) * lineHeight + size);
    p.setPen(Qt::NoPen);
    p.setBrush(mine ? QColor("#0b84ff") : QColor("#e9e9eb"));
    p.setRenderHint(QPainter::Antialiasing);
    p.drawRoundedRect(box, size * 0.8, size * 0.8);
    p.setFont(font);
    p.setPen(mine ? Qt::white : Qt::black);
    for (int i = 0; i < lines.size(); ++i)
        p.drawText(box.left() + size, box.top() + size / 2 + i * lineHeight + size, lines[i]);
    y = box.bottom() + 1 + size / 2;
}

void chatPage(QPainter& p, int width, int length, Random& random, bool onlyRepeats)
{
    p.fillRect(0, 0, width, length, Qt::white);
    const int size = std::max(11, width / 26);
    const QStringList replies = {"OK", "Sounds good!", "OK"};
    int y = size;
    int message = 0;
    while (y < length) {
        if (onlyRepeats) {
            bubble(p, "Sounds good!", message % 2 == 1, width, size, y);
        } else if (message % 3 == 2) {
            bubble(p, replies[(message / 3) % replies.size()], true, width, size, y);
        } else if (message % 7 == 0) {
            p.setFont(face("DejaVu Sans", size * 3 / 4));
            p.setPen(QColor("#8e8e93"));
            p.drawText(QRect(0, y, width, size), Qt::AlignCenter,
                       QStringLiteral("Today %1:%2").arg(9 + message / 7).arg(10 + random.below(50)));
            y += size * 2;
        } else {
            bubble(p, sentence(random, 3 + random.below(14)), random.below(3) == 0, width, size, y);
        }
        ++message;
    }
}

void photoPage(QPainter& p, int width, int length, Random& random)
{
    p.fillRect(0, 0, width, length, QColor("#fafafa"));
    const int size = std::max(11, width / 30);
    const QFont caption = face("DejaVu Serif", size);
    int y = size;
    while (y < length) {
        const int height = width * (5 + random.below(4)) / 10;
        // Drawn large and scaled down, as a photo in a page is, so that it keeps its detail.
        const QImage photo = photoLikeImage(3 * (width - 2 * size), 3 * height, random.next());
        p.drawImage(size, y,
                    photo.scaled(width - 2 * size, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        y += height + size / 2;
        p.setFont(caption);
        p.setPen(QColor("#404040"));
        for (const QString& line : wrap(sentence(random, 10 + random.below(10)), caption, width - 2 * size)) {
            p.drawText(size, y + size, line);
            y += size * 3 / 2;
        }
        y += size;
    }
}

// Copied row by row: painting loses everything beyond 32767 pixels of a device.
void paste(QImage& out, const QImage& source, int along, bool vertical)
{
    for (int row = 0; row < source.height(); ++row)
        std::memcpy(vertical ? out.scanLine(along + row) : out.scanLine(row) + 4 * along,
                    source.constScanLine(row), std::size_t(source.bytesPerLine()));
}

int tableRowHeight(int cross)
{
    return std::max(14, cross / 16);
}

// Sideways: width is the page's length.
void tablePage(QPainter& p, int cross, int length, Random& random)
{
    p.fillRect(0, 0, length, cross, Qt::white);
    const int row = tableRowHeight(cross);
    const int size = row * 5 / 9;
    const int column = size * 6;
    p.setFont(face("DejaVu Sans Mono", size));
    for (int x = 0, c = 0; x < length; x += column, ++c) {
        for (int y = 0, r = 0; y < cross; y += row, ++r) {
            if (r % 2)
                p.fillRect(x, y, column, row, QColor("#f2f5fa"));
            p.setPen(QColor("#d0d4dc"));
            p.drawLine(x, y + row - 1, x + column, y + row - 1);
            p.drawLine(x + column - 1, y, x + column - 1, y + row);
            p.setPen(r == 0 ? QColor("#10306a") : QColor("#202020"));
            const QString text = r == 0 ? QStringLiteral("Col %1").arg(c + 1)
                                        : QString::number(random.below(1000000) / 100.0, 'f', 2);
            p.drawText(QRect(x, y, column - size / 2, row), Qt::AlignRight | Qt::AlignVCenter, text);
        }
    }
}

// The fixed bars, drawn for a vertical screen: a status bar and a title at the top, an input bar at
// the bottom. Sideways, the header is the table's first column.
QImage headerBar(Page kind, int cross, int lines)
{
    if (kind == Page::Table) {
        QImage bar(lines, cross, QImage::Format_RGB32);
        bar.fill(QColor("#e8ecf3"));
        QPainter p(&bar);
        const int row = tableRowHeight(cross);
        p.setFont(face("DejaVu Sans", row * 5 / 9, true));
        for (int y = 0, r = 0; y < cross; y += row, ++r) {
            p.setPen(QColor("#b0b8c8"));
            p.drawLine(0, y + row - 1, lines, y + row - 1);
            p.setPen(QColor("#1a1a1a"));
            p.drawText(QRect(4, y, lines - 8, row), Qt::AlignLeft | Qt::AlignVCenter,
                       r == 0 ? QStringLiteral("Item") : QStringLiteral("Item %1").arg(r));
        }
        p.fillRect(lines - 2, 0, 2, cross, QColor("#8090a8"));
        return bar;
    }
    QImage bar(cross, lines, QImage::Format_RGB32);
    bar.fill(QColor("#f7f7f7"));
    QPainter p(&bar);
    const int status = lines / 3;
    p.fillRect(0, 0, cross, status, QColor("#101010"));
    p.setPen(Qt::white);
    p.setFont(face("DejaVu Sans", status * 2 / 3, true));
    p.drawText(QRect(status, 0, cross, status), Qt::AlignLeft | Qt::AlignVCenter, "9:41");
    p.fillRect(cross - 3 * status, status / 4, 2 * status, status / 2, Qt::white);
    p.setPen(QColor("#101010"));
    p.setFont(face("DejaVu Sans", (lines - status) / 2, true));
    p.drawText(QRect(0, status, cross, lines - status), Qt::AlignCenter,
               kind == Page::Text     ? "Reader"
               : kind == Page::Photos ? "Album"
                                      : "Marta");
    p.fillRect(0, lines - 1, cross, 1, QColor("#c8c8cc"));
    return bar;
}

QImage footerBar(Page kind, int cross, int lines)
{
    if (kind == Page::Table) {
        QImage bar(lines, cross, QImage::Format_RGB32);
        bar.fill(QColor("#30343c"));
        return bar;
    }
    QImage bar(cross, lines, QImage::Format_RGB32);
    bar.fill(QColor("#f7f7f7"));
    QPainter p(&bar);
    p.fillRect(0, 0, cross, 1, QColor("#c8c8cc"));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QColor("#c8c8cc"));
    p.setBrush(Qt::white);
    const int pad = std::max(2, lines / 5);
    p.drawRoundedRect(QRect(pad, pad, cross - 4 * pad, lines - 2 * pad), pad * 1.5, pad * 1.5);
    p.setPen(QColor("#a0a0a0"));
    p.setFont(face("DejaVu Sans", std::max(6, lines / 3)));
    p.drawText(QRect(3 * pad, pad, cross, lines - 2 * pad), Qt::AlignLeft | Qt::AlignVCenter, "Message");
    return bar;
}

} // namespace

QImage page(Page kind, int cross, int length, quint32 seed)
{
    const bool sideways = kind == Page::Table;
    QImage out(sideways ? QSize(length, cross) : QSize(cross, length), QImage::Format_RGB32);
    // Painting loses everything beyond 32767 pixels of a device: long pages are painted in bands, each
    // by the whole generator shifted onto it.
    constexpr int band = 16384;
    for (int top = 0; top < length; top += band) {
        const int lines = std::min(band, length - top);
        QImage part(sideways ? QSize(lines, cross) : QSize(cross, lines), QImage::Format_RGB32);
        QPainter p(&part);
        p.translate(sideways ? QPoint(-top, 0) : QPoint(0, -top));
        Random random{seed * 2654435761u + 977u};
        switch (kind) {
        case Page::Text:
            textPage(p, cross, length, random);
            break;
        case Page::Chat:
        case Page::RepeatedChat:
            chatPage(p, cross, length, random, kind == Page::RepeatedChat);
            break;
        case Page::Photos:
            photoPage(p, cross, length, random);
            break;
        case Page::Table:
            tablePage(p, cross, length, random);
            break;
        }
        p.end();
        paste(out, part, top, !sideways);
    }
    return out;
}

QVector<int> offsetsForOverlap(int viewport, double overlap, int count)
{
    QVector<int> offsets;
    const int step = std::max(1, int(std::lround(viewport * (1.0 - overlap))));
    for (int i = 0; i < count; ++i)
        offsets << i * step;
    return offsets;
}

Screens cut(Page kind, int cross, int screenLength, int header, int footer, const QVector<int>& offsets,
            bool thumb, quint32 seed)
{
    Screens s{{}, offsets, {}, kind != Page::Table, header, footer};
    const int viewport = screenLength - header - footer;
    const int length = offsets.last() + viewport;
    const QImage content = page(kind, cross, length, seed);
    const QImage top = header > 0 ? headerBar(kind, cross, header) : QImage();
    const QImage bottom = footer > 0 ? footerBar(kind, cross, footer) : QImage();
    // Bars of no lines are null pictures, drawn and pasted as nothing. Placed along the strip: (along, 0) in
    // a vertical screen is (0, along).
    auto at = [&](int along) { return s.vertical ? QPoint(0, along) : QPoint(along, 0); };
    auto alongRect = [&](int along, int lines) {
        return s.vertical ? QRect(0, along, cross, lines) : QRect(along, 0, lines, cross);
    };
    const QSize screen = s.vertical ? QSize(cross, screenLength) : QSize(screenLength, cross);
    s.thumbBand = thumb ? std::max(6, cross / 60) : 0;
    const int thumbLength = std::max(20, viewport * viewport / std::max(1, length));
    for (int offset : offsets) {
        QImage frame(screen, QImage::Format_RGB32);
        QPainter p(&frame);
        p.drawImage(at(header), content.copy(alongRect(offset, viewport)));
        p.drawImage(at(0), top);
        p.drawImage(at(screenLength - footer), bottom);
        if (thumb) {
            const int travel = std::max(1, length - viewport);
            const int along = header + (viewport - thumbLength) * offset / travel;
            p.fillRect(s.vertical ? QRect(cross - s.thumbBand, along, s.thumbBand, thumbLength)
                                  : QRect(along, cross - s.thumbBand, thumbLength, s.thumbBand),
                       QColor("#8a8a8a"));
        }
        p.end();
        s.frames << frame;
    }

    const int covered = offsets.last() + viewport - offsets.first();
    const int total = header + covered + footer;
    QImage expected(s.vertical ? QSize(cross, total) : QSize(total, cross), QImage::Format_RGB32);
    paste(expected, top, 0, s.vertical);
    paste(expected, content.copy(alongRect(offsets.first(), covered)), header, s.vertical);
    paste(expected, bottom, header + covered, s.vertical);
    s.expected = s.vertical ? expected.copy(0, 0, cross - s.thumbBand, total)
                            : expected.copy(0, 0, total, cross - s.thumbBand);
    return s;
}

QImage joinSpans(const QVector<QImage>& frames, const QVector<QPair<int, int>>& spans, bool vertical,
                 int cross)
{
    int length = 0;
    for (const auto& span : spans)
        length += span.second - span.first;
    QImage out(vertical ? QSize(cross, length) : QSize(length, cross), QImage::Format_RGB32);
    int at = 0;
    for (int i = 0; i < frames.size(); ++i) {
        const int n = spans[i].second - spans[i].first;
        if (n <= 0)
            continue;
        const QImage piece =
            frames[i]
                .convertToFormat(QImage::Format_RGB32)
                .copy(vertical ? QRect(0, spans[i].first, cross, n) : QRect(spans[i].first, 0, n, cross));
        paste(out, piece, at, vertical);
        at += n;
    }
    return out;
}

QImage throughJpeg(const QImage& image, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", quality);
    QImage decoded;
    decoded.loadFromData(bytes, "JPG");
    return decoded.convertToFormat(QImage::Format_RGB32);
}

Difference difference(const QImage& a, const QImage& b)
{
    Difference d;
    if (a.size() != b.size() || a.isNull()) {
        d.worstLine = d.mean = 255;
        return d;
    }
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double total = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb* p = reinterpret_cast<const QRgb*>(x.constScanLine(row));
        const QRgb* q = reinterpret_cast<const QRgb*>(y.constScanLine(row));
        qint64 sum = 0;
        for (int c = 0; c < x.width(); ++c)
            sum += std::abs(qRed(p[c]) - qRed(q[c])) + std::abs(qGreen(p[c]) - qGreen(q[c])) +
                   std::abs(qBlue(p[c]) - qBlue(q[c]));
        const double line = sum / (3.0 * x.width());
        d.worstLine = std::max(d.worstLine, line);
        total += line;
    }
    d.mean = total / x.height();
    return d;
}

} // namespace ScrollCorpus
