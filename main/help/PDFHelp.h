#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

// The operation guide VxRelvo16.pdf in the program folder, opened in the desktop's PDF viewer at the
// page of a help context. Viewers that take a page on their command line open it there; otherwise the
// desktop opens the file at its start.
class TPDFHelp
{
public:
    // The viewers looked for, in this order; all take a 1-based page number.
    enum class TViewer
    {
        None,
        Okular,
        Evince,
        Atril,
        Zathura,
        Qpdfview,
        Xpdf,
        Mupdf,
        Desktop
    };

    TPDFHelp() = default;

    void CheckReader();
    void SetFileName(const QString& Path);
    void SetTitle(const QString& Text) { Title = Text; }
    void SetUsePageOffset(bool Value) { UsePageOffset = Value; }
    void SetPageOffset(int Value) { PageOffset = Value; }
    // Page is the 0-based page index before the offset.
    void ShowPage(int Page);
    // Closes the viewers this object started (at shut-down).
    void CloseDocument();
    [[nodiscard]] bool IsReaderRunning() const;

    // The page index a help context opens: the contents (999) the first page, any other context n the
    // page n plus the offset.
    [[nodiscard]] int PageIndexForContext(int Context) const;
    // The arguments that open File at the 0-based page index with a viewer.
    [[nodiscard]] static QStringList ViewerArguments(TViewer Viewer, const QString& File, int PageIndex);
    [[nodiscard]] static QString ViewerProgramName(TViewer Viewer);

    QString ReaderProgram; // the viewer found, with its folder; empty for the desktop's opener
    TViewer Viewer = TViewer::None;
    bool Unusable = true;
    int Status = 1; // 0 usable; 101 no viewer; 201 manual missing; 1 before CheckReader
    QString ErrorText;
    QString FileName;
    QString Title;
    bool UsePageOffset = false;
    int PageOffset = 0;

private:
    QList<qint64> StartedViewers;
};

// The main window's set-up of its manual object: the viewer check, the file in the program folder, the
// title and the offset of 3 front pages.
void SetUpManual(TPDFHelp& Help, const QString& ProgramPath);

// What the help says when the manual cannot be used: the reason, and where to read about the guide
// once it can be shown (the program's own help menu; there is no start menu folder of ours here).
[[nodiscard]] QString ManualUnusableMessage(const QString& Reason);

// The help request of a window with its help context: shows the page, or, when the manual cannot be
// used, the reason with the advice over MenuWindow. Answers whether the help was handled.
bool ShowManualForContext(TPDFHelp& Help, int Context, QWidget* MenuWindow);
