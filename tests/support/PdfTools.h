#pragma once

#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// What poppler's tools read from a PDF the program printed: its text, its page count, the pictures
// it holds and a page rendered to an image. Empty answers when a tool fails.
inline QString RunPdfTool(const QString& Tool, const QStringList& Arguments)
{
    QProcess Process;
    Process.start(Tool, Arguments);
    if (!Process.waitForFinished(30000) || Process.exitCode() != 0)
        return {};
    return QString::fromUtf8(Process.readAllStandardOutput());
}

inline QString PdfText(const QString& File)
{
    return RunPdfTool(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), File, QStringLiteral("-")});
}

inline int PdfPages(const QString& File)
{
    for (const QString& Line : RunPdfTool(QStringLiteral("pdfinfo"), {File}).split(u'\n')) {
        if (Line.startsWith(QStringLiteral("Pages:")))
            return Line.mid(6).trimmed().toInt();
    }
    return 0;
}

// "pdfimages -list": one line per picture after the two header lines, split at blanks.
inline QList<QStringList> PdfImages(const QString& File)
{
    QList<QStringList> Images;
    const QStringList Lines = RunPdfTool(QStringLiteral("pdfimages"), {QStringLiteral("-list"), File}).split(u'\n');
    for (qsizetype I = 2; I < Lines.size(); ++I) {
        if (!Lines[I].trimmed().isEmpty())
            Images << Lines[I].split(u' ', Qt::SkipEmptyParts);
    }
    return Images;
}

// Page Page (the first unless told) at Dpi as an image.
inline QImage PdfPageImage(const QString& File, int Dpi = 50, int Page = 1)
{
    QTemporaryDir Dir;
    const QString Prefix = Dir.filePath(QStringLiteral("page"));
    (void)RunPdfTool(QStringLiteral("pdftoppm"), {QStringLiteral("-r"), QString::number(Dpi), QStringLiteral("-f"),
                                                  QString::number(Page), QStringLiteral("-l"), QString::number(Page),
                                                  QStringLiteral("-png"), QStringLiteral("-singlefile"), File, Prefix});
    return QImage(Prefix + QStringLiteral(".png"));
}
