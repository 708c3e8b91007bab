// Renders the operation guide's source text into VxRelvo16.pdf at build time: one page per help
// context (the page index is the context plus the 3 front pages), the contents on the first page.

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QGuiApplication>
#include <QHash>
#include <QMap>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRawFont>
#include <QSet>
#include <QTextDocument>
#include <cstdio>

namespace {

constexpr int FrontPages = 3;

struct TPage
{
    QString Title;
    QStringList Lines;
    bool Context = false;
    int Number = 0;
};

QString Escape(const QString& Text)
{
    return Text.toHtmlEscaped();
}

QString BodyHtml(const TPage& Page)
{
    QString Html = QStringLiteral("<h1>") + Escape(Page.Title) + QStringLiteral("</h1>");
    bool InList = false;
    for (const QString& Line : Page.Lines) {
        const bool Item = Line.startsWith(QStringLiteral("- "));
        if (Item && !InList)
            Html += QStringLiteral("<ul>");
        if (!Item && InList)
            Html += QStringLiteral("</ul>");
        InList = Item;
        if (Item)
            Html += QStringLiteral("<li>") + Escape(Line.mid(2)) + QStringLiteral("</li>");
        else if (!Line.trimmed().isEmpty())
            Html += QStringLiteral("<p>") + Escape(Line) + QStringLiteral("</p>");
    }
    if (InList)
        Html += QStringLiteral("</ul>");
    return Html;
}

// Qt names each glyph in a font's text map by the lowest code point that draws it, and the CJK fonts
// draw the Kangxi radicals with the same glyphs as the ideographs ("⼊" and "入"): search and copy
// in a viewer would then find radicals. Every code point of the maps that the guide does not use is
// put back to the character of the guide that shares its glyph. Both are four hexadecimal digits, so
// the file's offsets stay as they are.
QByteArray MendTextMaps(QByteArray Pdf, const QFont& Font, const QString& UsedText)
{
    QSet<char16_t> Used;
    for (QChar Char : UsedText)
        Used.insert(Char.unicode());
    const QRawFont Raw = QRawFont::fromFont(Font);
    QHash<quint32, char16_t> UsedByGlyph;
    for (char16_t Code : Used) {
        const QList<quint32> Glyphs = Raw.glyphIndexesForString(QString(QChar(Code)));
        if (Glyphs.size() == 1 && Glyphs[0] != 0 && !UsedByGlyph.contains(Glyphs[0]))
            UsedByGlyph.insert(Glyphs[0], Code);
    }
    qsizetype From = 0;
    while ((From = Pdf.indexOf("beginbfrange", From)) >= 0) {
        const qsizetype End = Pdf.indexOf("endbfrange", From);
        if (End < 0)
            break;
        bool InArray = false;
        for (qsizetype I = From; I < End; ++I) {
            if (Pdf[I] == '[')
                InArray = true;
            else if (Pdf[I] == ']')
                InArray = false;
            else if (InArray && Pdf[I] == '<' && I + 5 < End && Pdf[I + 5] == '>') {
                bool Ok = false;
                const char16_t Code = static_cast<char16_t>(Pdf.mid(I + 1, 4).toUInt(&Ok, 16));
                if (!Ok || Used.contains(Code))
                    continue;
                const QList<quint32> Glyphs = Raw.glyphIndexesForString(QString(QChar(Code)));
                if (Glyphs.size() == 1 && UsedByGlyph.contains(Glyphs[0]))
                    Pdf.replace(I + 1, 4,
                                QByteArray::number(UsedByGlyph.value(Glyphs[0]), 16).rightJustified(4, '0').toUpper());
            }
        }
        From = End;
    }
    return Pdf;
}

} // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication App(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: MakeManual source.txt output.pdf\n");
        return 2;
    }
    QFile Source(QString::fromLocal8Bit(argv[1]));
    if (!Source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "MakeManual: cannot read %s\n", argv[1]);
        return 1;
    }
    // Page index -> page.
    QMap<int, TPage> Pages;
    TPage* Current = nullptr;
    for (const QString& Line : QString::fromUtf8(Source.readAll()).split(QLatin1Char('\n'))) {
        if (Line.startsWith(QStringLiteral("= "))) {
            const QStringList Head = Line.mid(2).split(QLatin1Char(' '));
            const bool Context = Head.value(0) == QLatin1String("C");
            const int Number = Head.value(1).toInt();
            const int Index = Context ? Number + FrontPages : Number;
            Current = &Pages[Index];
            Current->Title = Head.mid(2).join(QLatin1Char(' '));
            Current->Context = Context;
            Current->Number = Number;
        } else if (Current) {
            Current->Lines << Line;
        }
    }
    const int LastIndex = Pages.lastKey();

    // The contents in two columns of title and page number.
    QStringList Entries;
    for (auto It = Pages.cbegin(); It != Pages.cend(); ++It)
        if (It.key() > 0)
            Entries << QStringLiteral("<td width='38%'>%1</td><td width='8%' align='right'>%2</td>")
                           .arg(Escape(It->Title))
                           .arg(It.key() + 1);
    const qsizetype Rows = (Entries.size() + 1) / 2;
    QString Contents =
        QStringLiteral("<h1>Tolvane１６ 操作ガイド</h1><h2>目次</h2><table width='100%' cellpadding='2'>");
    for (qsizetype Row = 0; Row < Rows; ++Row)
        Contents += QStringLiteral("<tr>") + Entries[Row] + QStringLiteral("<td width='8%'></td>") +
                    Entries.value(Row + Rows, QStringLiteral("<td></td><td></td>")) + QStringLiteral("</tr>");
    Contents += QStringLiteral("</table>");

    QPdfWriter Writer(QString::fromLocal8Bit(argv[2]));
    Writer.setTitle(QStringLiteral("Tolvane１６ 操作ガイド"));
    Writer.setCreator(QStringLiteral("Tolvane１６"));
    Writer.setPageSize(QPageSize(QPageSize::A4));
    Writer.setPageMargins(QMarginsF(20, 18, 20, 18), QPageLayout::Millimeter);
    Writer.setResolution(144);
    QPainter Painter(&Writer);
    const QRectF Area(QPointF(0, 0), QSizeF(Writer.width(), Writer.height()));
    QFont Font(QStringLiteral("Noto Sans CJK JP"));
    Font.setPointSizeF(10.5);
    // Shaped as Latin text, the font draws digits after a letter ("VxRelvo16") with glyphs of its own
    // that no character maps to, and a viewer's search and copy lose them. The guide needs no shaping.
    Font.setStyleStrategy(QFont::PreferNoShaping);
    const QString Style = QStringLiteral("h1 { font-size: 17pt; color: #1f4e79; } h2 { font-size: 13pt; }"
                                         "p, li { line-height: 150%; } td { font-size: 9pt; }");

    for (int Index = 0; Index <= LastIndex; ++Index) {
        if (Index > 0)
            Writer.newPage();
        QString Html;
        if (Index == 0)
            Html = Contents;
        else if (Pages.contains(Index))
            Html = BodyHtml(Pages[Index]);
        else
            Html = QStringLiteral("<p align='center'><br><br>（このページは空白です）</p>");
        QTextDocument Document;
        // Lay the text out in the writer's own units, so that point sizes come out as points.
        Document.documentLayout()->setPaintDevice(&Writer);
        Document.setDefaultFont(Font);
        Document.setDefaultStyleSheet(Style);
        Document.setPageSize(Area.size() - QSizeF(0, 60));
        Document.setTextWidth(Area.width());
        Document.setHtml(Html);
        if (Document.pageCount() > 1)
            std::fprintf(stderr, "MakeManual: page %d runs over one page\n", Index + 1);
        Painter.save();
        Document.drawContents(&Painter, QRectF(QPointF(0, 0), Document.pageSize()));
        Painter.restore();
        // The page number at the foot, as the printed guide shows it.
        Painter.setFont(Font);
        Painter.drawText(QRectF(0, Area.height() - 40, Area.width(), 40), Qt::AlignCenter,
                         QStringLiteral("- %1 -").arg(Index + 1));
    }
    Painter.end();

    QString UsedText = Contents;
    for (const TPage& Page : Pages)
        UsedText += Page.Title + Page.Lines.join(QString());
    UsedText += QStringLiteral("（このページは空白です）- 0123456789");
    QFile Written(QString::fromLocal8Bit(argv[2]));
    if (!Written.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "MakeManual: cannot read back %s\n", argv[2]);
        return 1;
    }
    const QByteArray Mended = MendTextMaps(Written.readAll(), Font, UsedText);
    Written.close();
    if (!Written.open(QIODevice::WriteOnly | QIODevice::Truncate) || Written.write(Mended) != Mended.size()) {
        std::fprintf(stderr, "MakeManual: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
