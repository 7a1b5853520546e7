#include "project/projectmanifest.h"

#include "canvas/stitcherconfig.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <climits>

namespace ProjectManifest {

namespace {

QJsonArray point(const StripPoint& p)
{
    return {p.point.x(), p.point.y(), p.index};
}

QJsonArray points(const QVector<StripPoint>& list)
{
    QJsonArray out;
    for (const StripPoint& p : list)
        out.append(point(p));
    return out;
}

QJsonArray numbers(std::initializer_list<double> values)
{
    QJsonArray out;
    for (double v : values)
        out.append(v);
    return out;
}

// A damaged manifest shows as a field of the wrong type or size; the reader stops at the first.
struct Reader
{
    bool ok = true;

    double number(const QJsonValue& v)
    {
        ok = ok && v.isDouble();
        return v.toDouble();
    }
    // Out of range is damage too: converting it would be undefined.
    int integer(const QJsonValue& v)
    {
        const double d = number(v);
        ok = ok && d >= INT_MIN && d <= INT_MAX;
        return ok ? int(d) : 0;
    }
    quint64 order(const QJsonValue& v)
    {
        const double d = number(v);
        ok = ok && d >= 0 && d <= 9007199254740992.0; // 2^53, exact in a double
        return ok ? quint64(d) : 0;
    }
    QString text(const QJsonValue& v)
    {
        ok = ok && v.isString();
        return v.toString();
    }
    QColor color(const QJsonValue& v)
    {
        const QColor c(text(v));
        ok = ok && c.isValid();
        return c;
    }
    QJsonArray array(const QJsonValue& v, int size = -1)
    {
        ok = ok && v.isArray() && (size < 0 || v.toArray().size() == size);
        return v.toArray();
    }
    StripPoint point(const QJsonValue& v)
    {
        const QJsonArray a = array(v, 3);
        return {QPoint(integer(a.at(0)), integer(a.at(1))), integer(a.at(2))};
    }
    QVector<StripPoint> points(const QJsonValue& v)
    {
        QVector<StripPoint> out;
        for (const QJsonValue& p : array(v))
            out.append(point(p));
        return out;
    }
};

} // namespace

QByteArray write(const StripState& s, const QStringList& photoEntries,
                 const std::optional<ToolSettings>& tools)
{
    QJsonArray photos;
    for (int i = 0; i < s.photos.size(); ++i) {
        const PhotoState& p = s.photos[i];
        photos.append(QJsonObject{{"entry", photoEntries.value(i)},
                                  {"name", p.name},
                                  {"crop", numbers({p.crop.left, p.crop.top, p.crop.right, p.crop.bottom})}});
    }
    QJsonArray annotations;
    for (const Annotation& a : s.annotations)
        annotations.append(QJsonObject{{"shape", a.shape},
                                       {"width", a.width},
                                       {"color", a.color.name(QColor::HexArgb)},
                                       {"start", point({a.startPoint, a.startIndex})},
                                       {"end", point({a.endPoint, a.endIndex})},
                                       {"points", points(a.points)},
                                       {"order", double(a.order)}});
    QJsonArray strokes;
    for (const MosaicStroke& m : s.mosaicStrokes)
        strokes.append(QJsonObject{
            {"name", m.name}, {"size", m.size}, {"points", points(m.points)}, {"order", double(m.order)}});
    const Watermark::Style& w = s.watermark;
    const Geometry::StripLayout& l = s.layout;
    QJsonObject root{{"format", formatName},
                     {"version", formatVersion},
                     {"photos", photos},
                     {"direction", l.direction},
                     {"commonSize", QJsonArray{qRound(l.paintWidth), qRound(l.paintHeight)}},
                     {"area", numbers({l.areaWidth, l.areaHeight})},
                     {"stripCuts", numbers({l.cutLeft, l.cutTop, l.cutRight, l.cutBottom})},
                     {"spacing", QJsonObject{{"mode", l.spacingMode},
                                             {"inner", l.spacingInner},
                                             {"outer", l.spacingOuter},
                                             {"color", s.spacingColor.name(QColor::HexArgb)}}},
                     {"annotations", annotations},
                     {"mosaicStrokes", strokes},
                     {"watermark", QJsonObject{{"mode", w.mode},
                                               {"text", w.text},
                                               {"opacity", w.opacity},
                                               {"spacing", w.spacing},
                                               {"size", w.size},
                                               {"color", w.color.name(QColor::HexArgb)}}}};
    if (tools)
        root.insert("tools", QJsonObject{{"active", tools->tool},
                                         {"penShape", tools->shape},
                                         {"penWidth", tools->penWidth},
                                         {"penColor", tools->penColor.name(QColor::HexArgb)},
                                         {"mosaicPattern", tools->mosaicName},
                                         {"mosaicSize", tools->mosaicSize}});
    return QJsonDocument(root).toJson();
}

Parsed read(const QByteArray& json)
{
    Parsed parsed;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return parsed;
    const QJsonObject root = document.object();
    if (root.value("format").toString() != QLatin1String(formatName)) {
        parsed.kind = Parsed::NotAProject;
        return parsed;
    }
    if (!root.value("version").isDouble())
        return parsed;
    if (root.value("version").toInt() > formatVersion) {
        parsed.kind = Parsed::Newer;
        return parsed;
    }
    Reader r;
    StripState& s = parsed.state;
    for (const QJsonValue& value : r.array(root.value("photos"))) {
        const QJsonObject p = value.toObject();
        PhotoState photo;
        parsed.photoEntries.append(r.text(p.value("entry")));
        photo.name = r.text(p.value("name"));
        const QJsonArray crop = r.array(p.value("crop"), 4);
        photo.crop = {r.number(crop.at(0)), r.number(crop.at(1)), r.number(crop.at(2)), r.number(crop.at(3))};
        s.photos.append(photo);
    }
    Geometry::StripLayout& l = s.layout;
    l.direction = r.integer(root.value("direction"));
    const QJsonArray common = r.array(root.value("commonSize"), 2);
    l.paintWidth = r.integer(common.at(0));
    l.paintHeight = r.integer(common.at(1));
    const QJsonArray area = r.array(root.value("area"), 2);
    l.areaWidth = r.number(area.at(0));
    l.areaHeight = r.number(area.at(1));
    const QJsonArray cuts = r.array(root.value("stripCuts"), 4);
    l.cutLeft = r.number(cuts.at(0));
    l.cutTop = r.number(cuts.at(1));
    l.cutRight = r.number(cuts.at(2));
    l.cutBottom = r.number(cuts.at(3));
    const QJsonObject spacing = root.value("spacing").toObject();
    l.spacingMode = r.integer(spacing.value("mode"));
    l.spacingInner = r.number(spacing.value("inner"));
    l.spacingOuter = r.number(spacing.value("outer"));
    s.spacingColor = r.color(spacing.value("color"));
    for (const QJsonValue& value : r.array(root.value("annotations"))) {
        const QJsonObject o = value.toObject();
        Annotation a;
        a.shape = r.integer(o.value("shape"));
        a.width = r.number(o.value("width"));
        a.color = r.color(o.value("color"));
        const StripPoint start = r.point(o.value("start"));
        const StripPoint end = r.point(o.value("end"));
        a.startPoint = start.point;
        a.startIndex = start.index;
        a.endPoint = end.point;
        a.endIndex = end.index;
        a.points = r.points(o.value("points"));
        a.order = r.order(o.value("order"));
        s.annotations.append(a);
    }
    for (const QJsonValue& value : r.array(root.value("mosaicStrokes"))) {
        const QJsonObject o = value.toObject();
        MosaicStroke m;
        m.name = r.text(o.value("name"));
        m.size = r.integer(o.value("size"));
        m.points = r.points(o.value("points"));
        m.order = r.order(o.value("order"));
        s.mosaicStrokes.append(m);
    }
    const QJsonObject w = root.value("watermark").toObject();
    s.watermark.mode = r.integer(w.value("mode"));
    s.watermark.text = r.text(w.value("text"));
    s.watermark.opacity = r.integer(w.value("opacity"));
    s.watermark.spacing = r.integer(w.value("spacing"));
    s.watermark.size = r.integer(w.value("size"));
    s.watermark.color = r.color(w.value("color"));
    if (root.contains("tools")) {
        const QJsonObject t = root.value("tools").toObject();
        ToolSettings tools;
        tools.tool = r.integer(t.value("active"));
        tools.shape = r.integer(t.value("penShape"));
        tools.penWidth = r.number(t.value("penWidth"));
        tools.penColor = r.color(t.value("penColor"));
        tools.mosaicName = r.text(t.value("mosaicPattern"));
        tools.mosaicSize = r.number(t.value("mosaicSize"));
        // Widths beyond any pen the panel offers would only paint slowly; they mean a damaged file.
        constexpr double largest = 1000;
        r.ok = r.ok &&
               (tools.tool == StitcherConfig::NoTool || tools.tool == StitcherConfig::DrawTool ||
                tools.tool == StitcherConfig::MosaicTool) &&
               tools.shape >= Annotation::NoShape && tools.shape <= Annotation::Rectangle &&
               tools.penWidth > 0 && tools.penWidth <= largest && tools.mosaicSize > 0 &&
               tools.mosaicSize <= largest;
        parsed.tools = tools;
    }
    // Values the canvas could not lay out are damage too.
    r.ok = r.ok && (l.direction == Geometry::Horizontal || l.direction == Geometry::Vertical) &&
           l.paintWidth > 0 && l.paintHeight > 0 && l.areaWidth > 0 && l.areaHeight > 0 &&
           l.areaWidth < INT_MAX && l.areaHeight < INT_MAX && l.cutLeft >= 0 && l.cutTop >= 0 &&
           l.cutRight >= 0 && l.cutBottom >= 0;
    parsed.kind = r.ok ? Parsed::Ok : Parsed::Damaged;
    return parsed;
}

} // namespace ProjectManifest
