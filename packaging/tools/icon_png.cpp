// Renders the program's SVG icon into a square PNG with QPainter. Qt's SVG module is not part
// of the build, and the icon only needs a few shapes, so this reads exactly that subset:
// svg, g, title, desc, rect, circle, line, polyline, polygon and path (M L H V C Q Z, both
// cases), with fill, stroke, stroke-width, stroke-linecap, stroke-linejoin, fill-rule and
// opacity. Anything else stops it, so the PNG can never quietly differ from the SVG.
//
//   icon_png IN.svg OUT.png SIZE
#include <QColor>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cstdio>
#include <optional>
#include <vector>

namespace {

struct Style {
    QString fill = QStringLiteral("black");
    QString stroke = QStringLiteral("none");
    qreal strokeWidth = 1;
    Qt::PenCapStyle cap = Qt::FlatCap;
    Qt::PenJoinStyle join = Qt::MiterJoin;
    Qt::FillRule fillRule = Qt::WindingFill;
    qreal opacity = 1;
};

class Renderer {
  public:
    explicit Renderer(QPainter& painter) : painter_(painter) {}

    bool render(QXmlStreamReader& xml, int size);
    const QString& error() const { return error_; }

  private:
    bool element(QXmlStreamReader& xml, Style style);
    bool applyStyle(const QXmlStreamAttributes& attributes, Style& style);
    std::optional<QPainterPath> shape(const QString& name, const QXmlStreamAttributes& attributes);
    std::optional<QPainterPath> pathData(const QString& d);
    void draw(const QPainterPath& path, const Style& style);
    bool setError(const QString& message) {
        error_ = message;
        return false;
    }

    QPainter& painter_;
    QString error_;
};

std::vector<qreal> numbers(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"([-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?)"));
    std::vector<qreal> values;
    for (auto it = number.globalMatch(text); it.hasNext();)
        values.push_back(it.next().captured().toDouble());
    return values;
}

bool Renderer::render(QXmlStreamReader& xml, int size) {
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("svg"))
            return setError("the root element is not svg");
        const std::vector<qreal> box = numbers(xml.attributes().value("viewBox").toString());
        if (box.size() != 4 || box[2] <= 0 || box[3] <= 0)
            return setError("the svg element needs a viewBox");
        painter_.setRenderHint(QPainter::Antialiasing);
        painter_.scale(size / box[2], size / box[3]);
        painter_.translate(-box[0], -box[1]);
        Style style;
        while (xml.readNextStartElement()) {
            if (!element(xml, style))
                return false;
        }
        return !xml.hasError() || setError(xml.errorString());
    }
    return setError(xml.hasError() ? xml.errorString() : QStringLiteral("no svg element"));
}

bool Renderer::element(QXmlStreamReader& xml, Style style) {
    const QString name = xml.name().toString();
    if (name == QLatin1String("title") || name == QLatin1String("desc")) {
        xml.skipCurrentElement();
        return true;
    }
    const QXmlStreamAttributes attributes = xml.attributes();
    if (!applyStyle(attributes, style))
        return false;
    if (name == QLatin1String("g")) {
        while (xml.readNextStartElement()) {
            if (!element(xml, style))
                return false;
        }
        return true;
    }
    const std::optional<QPainterPath> path = shape(name, attributes);
    if (!path)
        return false;
    draw(*path, style);
    xml.skipCurrentElement();
    return true;
}

bool Renderer::applyStyle(const QXmlStreamAttributes& attributes, Style& style) {
    static const QStringList geometry{"x",  "y",  "width",  "height", "rx",   "ry",
                                      "cx", "cy", "r",      "x1",     "y1",   "x2",
                                      "y2", "d",  "points", "id",     "xmlns"};
    for (const QXmlStreamAttribute& attribute : attributes) {
        const QString key = attribute.qualifiedName().toString();
        const QString value = attribute.value().toString();
        if (key == QLatin1String("fill")) {
            style.fill = value;
        } else if (key == QLatin1String("stroke")) {
            style.stroke = value;
        } else if (key == QLatin1String("stroke-width")) {
            style.strokeWidth = value.toDouble();
        } else if (key == QLatin1String("stroke-linecap")) {
            style.cap = value == QLatin1String("round")    ? Qt::RoundCap
                        : value == QLatin1String("square") ? Qt::SquareCap
                                                           : Qt::FlatCap;
        } else if (key == QLatin1String("stroke-linejoin")) {
            style.join = value == QLatin1String("round")   ? Qt::RoundJoin
                         : value == QLatin1String("bevel") ? Qt::BevelJoin
                                                           : Qt::MiterJoin;
        } else if (key == QLatin1String("fill-rule")) {
            style.fillRule = value == QLatin1String("evenodd") ? Qt::OddEvenFill : Qt::WindingFill;
        } else if (key == QLatin1String("opacity")) {
            style.opacity *= value.toDouble();
        } else if (!geometry.contains(key)) {
            return setError("unsupported attribute " + key);
        }
    }
    return true;
}

std::optional<QPainterPath> Renderer::shape(const QString& name,
                                            const QXmlStreamAttributes& attributes) {
    const auto number = [&](const char* key) { return attributes.value(key).toDouble(); };
    QPainterPath path;
    if (name == QLatin1String("rect")) {
        qreal rx = number("rx");
        qreal ry = attributes.hasAttribute("ry") ? number("ry") : rx;
        if (!attributes.hasAttribute("rx"))
            rx = ry;
        path.addRoundedRect(number("x"), number("y"), number("width"), number("height"), rx, ry);
    } else if (name == QLatin1String("circle")) {
        path.addEllipse(QPointF(number("cx"), number("cy")), number("r"), number("r"));
    } else if (name == QLatin1String("line")) {
        path.moveTo(number("x1"), number("y1"));
        path.lineTo(number("x2"), number("y2"));
    } else if (name == QLatin1String("polyline") || name == QLatin1String("polygon")) {
        const std::vector<qreal> v = numbers(attributes.value("points").toString());
        if (v.size() < 4 || v.size() % 2 != 0) {
            setError(name + " needs pairs of points");
            return std::nullopt;
        }
        path.moveTo(v[0], v[1]);
        for (std::size_t i = 2; i + 1 < v.size(); i += 2)
            path.lineTo(v[i], v[i + 1]);
        if (name == QLatin1String("polygon"))
            path.closeSubpath();
    } else if (name == QLatin1String("path")) {
        return pathData(attributes.value("d").toString());
    } else {
        setError("unsupported element " + name);
        return std::nullopt;
    }
    return path;
}

std::optional<QPainterPath> Renderer::pathData(const QString& d) {
    static const QRegularExpression token(
        QStringLiteral(R"([A-Za-z]|[-+]?(?:\d+\.?\d*|\.\d+)(?:[eE][-+]?\d+)?)"));
    QPainterPath path;
    QChar command;
    std::vector<qreal> args;
    const auto flush = [&]() -> bool {
        const bool relative = command.isLower();
        const QChar c = command.toUpper();
        const std::size_t arity = c == 'M' || c == 'L'   ? 2
                                  : c == 'H' || c == 'V' ? 1
                                  : c == 'C'             ? 6
                                  : c == 'Q'             ? 4
                                                         : 0;
        if (c == 'Z') {
            path.closeSubpath();
            return args.empty();
        }
        if (arity == 0 || args.empty() || args.size() % arity != 0)
            return false;
        for (std::size_t i = 0; i < args.size(); i += arity) {
            const QPointF o = relative ? path.currentPosition() : QPointF();
            const QPointF p(args[i] + o.x(), i + 1 < args.size() ? args[i + 1] + o.y() : 0);
            if (c == 'M' && i == 0) {
                path.moveTo(p);
            } else if (c == 'M' || c == 'L') {
                path.lineTo(p);
            } else if (c == 'H') {
                path.lineTo(args[i] + o.x(), path.currentPosition().y());
            } else if (c == 'V') {
                path.lineTo(path.currentPosition().x(), args[i] + o.y());
            } else if (c == 'C') {
                path.cubicTo(p, QPointF(args[i + 2], args[i + 3]) + o,
                             QPointF(args[i + 4], args[i + 5]) + o);
            } else {
                path.quadTo(p, QPointF(args[i + 2], args[i + 3]) + o);
            }
        }
        return true;
    };
    for (auto it = token.globalMatch(d); it.hasNext();) {
        const QString t = it.next().captured();
        if (t.at(0).isLetter()) {
            if (!command.isNull() && !flush()) {
                setError("bad path data near " + QString(command));
                return std::nullopt;
            }
            command = t.at(0);
            args.clear();
        } else {
            args.push_back(t.toDouble());
        }
    }
    if (command.isNull() || !flush()) {
        setError("bad path data: " + d);
        return std::nullopt;
    }
    return path;
}

void Renderer::draw(const QPainterPath& shape, const Style& style) {
    QPainterPath path = shape;
    path.setFillRule(style.fillRule);
    painter_.save();
    painter_.setOpacity(style.opacity);
    if (style.fill != QLatin1String("none"))
        painter_.fillPath(path, QColor::fromString(style.fill));
    if (style.stroke != QLatin1String("none") && style.strokeWidth > 0) {
        QPen pen(QColor::fromString(style.stroke), style.strokeWidth, Qt::SolidLine, style.cap,
                 style.join);
        painter_.strokePath(path, pen);
    }
    painter_.restore();
}

int fail(const QString& message) {
    std::fprintf(stderr, "icon_png: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    bool sizeOk = false;
    const int size = args.size() == 4 ? args.at(3).toInt(&sizeOk) : 0;
    if (!sizeOk || size <= 0)
        return fail("usage: icon_png IN.svg OUT.png SIZE");

    QFile svg(args.at(1));
    if (!svg.open(QIODevice::ReadOnly))
        return fail("cannot read " + args.at(1));
    QXmlStreamReader xml(&svg);

    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Renderer renderer(painter);
    if (!renderer.render(xml, size))
        return fail(args.at(1) + ": " + renderer.error());
    painter.end();
    if (!image.save(args.at(2), "PNG"))
        return fail("cannot write " + args.at(2));
    return 0;
}
