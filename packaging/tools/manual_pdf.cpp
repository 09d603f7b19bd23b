// Turns one Markdown manual into an A4 PDF with Qt's own text layout, so the manuals need
// nothing beyond what the program is built with. Text stays text (searchable, selectable,
// small); pictures are taken from files beside the Markdown file and fitted to the text width.
//
//   manual_pdf IN.md OUT.pdf
#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QUrl>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kResolution = 300; // dots per inch of the PDF's coordinate space
constexpr qreal kLayoutDpi = 96; // image widths in a text document are in these pixels
constexpr qreal kFontPoints = 10;

int fail(const QString& message) {
    std::fprintf(stderr, "manual_pdf: %s\n", qPrintable(message));
    return 1;
}

// Every picture is loaded here rather than by the document itself, so that a missing one
// stops the build instead of leaving an empty box in the manual.
bool loadImages(QTextDocument& doc, const QString& baseDir, qreal textWidthPx) {
    struct Picture {
        int position;
        int length;
        QTextImageFormat format;
    };
    // Collected first: changing a fragment's format while walking them would split it.
    std::vector<Picture> pictures;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid() && fragment.charFormat().isImageFormat())
                pictures.push_back({fragment.position(), fragment.length(),
                                    fragment.charFormat().toImageFormat()});
        }
    }
    bool ok = true;
    for (Picture& picture : pictures) {
        const QString name = picture.format.name();
        const QString path = QFileInfo(name).isAbsolute() ? name : baseDir + '/' + name;
        const QImage image(path);
        if (image.isNull()) {
            fail("cannot read the picture " + path);
            ok = false;
            continue;
        }
        doc.addResource(QTextDocument::ImageResource, QUrl(name), image);
        const qreal width = std::min<qreal>(textWidthPx, image.width());
        picture.format.setWidth(width);
        picture.format.setHeight(width * image.height() / image.width());
        QTextCursor cursor(&doc);
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + picture.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
    return ok;
}

// Markdown tables come without rules; a reference table reads better with thin lines.
void formatTables(QTextFrame* frame) {
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            QTextTableFormat format = table->format();
            format.setBorder(1);
            format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
            format.setBorderBrush(QColor(128, 128, 128));
            format.setBorderCollapse(true);
            format.setCellPadding(3);
            format.setCellSpacing(0);
            format.setWidth(QTextLength(QTextLength::PercentageLength, 100));
            format.setHeaderRowCount(1);
            table->setFormat(format);
            for (int column = 0; column < table->columns(); ++column) {
                QTextTableCell cell = table->cellAt(0, column);
                QTextCharFormat cellFormat = cell.format();
                cellFormat.setBackground(QColor(230, 230, 230));
                cell.setFormat(cellFormat);
            }
        }
        formatTables(child);
    }
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3)
        return fail("usage: manual_pdf IN.md OUT.pdf");
    const QString input = args.at(1);
    const QString output = args.at(2);

    QFile source(input);
    if (!source.open(QIODevice::ReadOnly))
        return fail("cannot read " + input);
    const QString markdown = QString::fromUtf8(source.readAll());

    QPdfWriter writer(output);
    writer.setResolution(kResolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter));
    writer.setCreator(QStringLiteral("ZENTROLA Configurator"));

    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
    font.setPointSizeF(kFontPoints);

    QTextDocument doc;
    doc.setDefaultFont(font);
    doc.documentLayout()->setPaintDevice(&writer);
    doc.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    if (doc.isEmpty())
        return fail(input + " is empty");

    // The page number line sits below the text body, inside the bottom margin's reach.
    const QFontMetricsF footerMetrics(font, &writer);
    const qreal footerHeight = footerMetrics.height() * 2;
    const QSizeF body(writer.width(), writer.height() - footerHeight);
    const qreal margin = doc.documentMargin() * kResolution / kLayoutDpi;
    const qreal textWidthPx = (body.width() - 2 * margin) * kLayoutDpi / kResolution;

    if (!loadImages(doc, QFileInfo(input).absolutePath(), textWidthPx))
        return 1;
    formatTables(doc.rootFrame());
    // Paginated only now: a layout made before the pictures shrank leaves stale positions
    // behind them, and whole sections went missing from the pages.
    doc.setPageSize(body);

    const int pages = doc.pageCount(); // lays the whole document out
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (!block.text().isEmpty() && block.layout()->lineCount() == 0)
            return fail("the layout lost the paragraph \"" + block.text().left(60) + '"');
    }

    const QString title = doc.begin().text();
    writer.setTitle(title);
    QPainter painter;
    if (!painter.begin(&writer))
        return fail("cannot write " + output);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            writer.newPage();
        painter.save();
        painter.translate(0, -page * body.height());
        const QRectF view(0, page * body.height(), body.width(), body.height());
        painter.setClipRect(view);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = view;
        doc.documentLayout()->draw(&painter, context);
        painter.restore();

        painter.setFont(font);
        painter.setPen(QColor(96, 96, 96));
        const QRectF footer(margin, body.height(), body.width() - 2 * margin, footerHeight);
        painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, title);
        painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                         QStringLiteral("%1 / %2").arg(page + 1).arg(pages));
    }
    if (!painter.end())
        return fail("cannot finish " + output);
    return 0;
}
