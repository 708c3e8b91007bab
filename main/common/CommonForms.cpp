#include "main/common/CommonForms.h"

#include "platform/sys/Folders.h"
#include "platform/ui/FilePrompt.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QImage>
#include <QScreen>
#include <QWidget>

namespace {

QRect WorkAreaOf(const QWidget* Widget)
{
    QScreen* Screen = Widget != nullptr ? Widget->screen() : nullptr;
    if (Screen == nullptr)
        Screen = QGuiApplication::primaryScreen();
    return Screen != nullptr ? Screen->availableGeometry() : QRect();
}

} // namespace

void CenterForm(QWidget* Form, const QWidget* Owner)
{
    const QSize Size = Form->frameGeometry().size();
    if (Owner == nullptr) {
        const QRect Area = WorkAreaOf(Form);
        Form->move(Area.left() + (Area.width() - Size.width()) / 2, Area.top() + (Area.height() - Size.height()) / 2);
        return;
    }
    const QRect Area = WorkAreaOf(Owner);
    const QRect Over = Owner->frameGeometry();
    int Left = Over.left() + (Over.width() - Size.width()) / 2;
    int Top = Over.top() + (Over.height() - Size.height()) / 2;
    // The work area's own edges, not 0: a panel on the left or on top must not cover the form.
    if (Left < Area.left())
        Left = Area.left();
    else if (Left + Size.width() > Area.left() + Area.width())
        Left = Area.left() + Area.width() - Size.width();
    if (Top < Area.top())
        Top = Area.top();
    else if (Top + Size.height() > Area.top() + Area.height())
        Top = Area.top() + Area.height() - Size.height();
    Form->move(Left, Top);
}

void PlaceFormBottomRight(QWidget* Form, const QWidget* Anchor, int DX, int DY)
{
    const QRect Rect = Anchor->frameGeometry();
    const QSize Size = Form->frameGeometry().size();
    Form->move(Rect.left() + Rect.width() - Size.width() - DX, Rect.top() + Rect.height() - Size.height() - DY);
}

int ScaleByDpiAt(int Value, bool ToScreen, double PixelsPerInch)
{
    if (PixelsPerInch <= 0)
        return Value;
    const double Scaled = ToScreen ? Value * PixelsPerInch / 96.0 : Value * 96.0 / PixelsPerInch;
    return static_cast<int>(Scaled + 0.5);
}

int ScaleByDpi(int Value, bool ToScreen)
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    return ScaleByDpiAt(Value, ToScreen, Screen != nullptr ? Screen->logicalDotsPerInch() : 96.0);
}

QWidget* FindWindowByProp(const char* Name)
{
    for (QWidget* Widget : QApplication::topLevelWidgets()) {
        const QVariant Value = Widget->property(Name);
        if (Value.isValid() && Value.toLongLong() != 0)
            return Widget;
    }
    return nullptr;
}

void ForceForegroundWindow(QWidget* Window)
{
    if (Window == nullptr)
        return;
    Window->raise();
    Window->activateWindow();
}

bool ActivateMarkedWindow(const char* Name)
{
    QWidget* Window = FindWindowByProp(Name);
    if (Window == nullptr)
        return false;
    if (Window->isMinimized())
        Window->showNormal();
    ForceForegroundWindow(Window);
    return true;
}

int SetFontAttributes(QFont* Font, int Charset, const QString& Name, int StyleBits, int Size)
{
    if (Font == nullptr)
        return 0;
    Font->setFamily(Name);
    Font->setPointSize(Size);
    Font->setBold((StyleBits & FONT_STYLE_BOLD) != 0);
    Font->setItalic((StyleBits & FONT_STYLE_ITALIC) != 0);
    Font->setUnderline((StyleBits & FONT_STYLE_UNDERLINE) != 0);
    Font->setStrikeOut((StyleBits & FONT_STYLE_STRIKEOUT) != 0);
    return 1;
}

int GetFontStyleBits(const QFont& Font)
{
    int Bits = 0;
    if (Font.bold())
        Bits |= FONT_STYLE_BOLD;
    if (Font.italic())
        Bits |= FONT_STYLE_ITALIC;
    if (Font.underline())
        Bits |= FONT_STYLE_UNDERLINE;
    if (Font.strikeOut())
        Bits |= FONT_STYLE_STRIKEOUT;
    return Bits;
}

QList<TFontListEntry> ListFonts(bool FixedPitchOnly, bool WithSymbol)
{
    QList<TFontListEntry> Fonts;
    for (const QString& Family : QFontDatabase::families()) {
        if (Family.startsWith(QLatin1Char('@')) || QFontDatabase::isPrivateFamily(Family))
            continue;
        if (!QFontDatabase::isSmoothlyScalable(Family))
            continue;
        if (FixedPitchOnly && !QFontDatabase::isFixedPitch(Family))
            continue;
        const QList<QFontDatabase::WritingSystem> Systems = QFontDatabase::writingSystems(Family);
        if (Systems.contains(QFontDatabase::Japanese))
            Fonts.append({Family, SHIFTJIS_CHARSET});
        else if (Systems.contains(QFontDatabase::Latin))
            Fonts.append({Family, ANSI_CHARSET});
        else if (WithSymbol && Systems.contains(QFontDatabase::Symbol))
            Fonts.append({Family, SYMBOL_CHARSET});
    }
    return Fonts;
}

void GrayscaleBitmap(QImage& Image)
{
    if (Image.format() != QImage::Format_RGB888)
        Image = Image.convertToFormat(QImage::Format_RGB888);
    for (int Y = 0; Y < Image.height(); ++Y) {
        uchar* Pixel = Image.scanLine(Y);
        for (int X = 0; X < Image.width(); ++X, Pixel += 3) {
            // In hundredths, so that a tie is a tie and not a rounding error of 0.3 in binary.
            const int Hundredths = 30 * Pixel[0] + 59 * Pixel[1] + 11 * Pixel[2];
            int Grey = Hundredths / 100;
            const int Rest = Hundredths % 100;
            if (Rest > 50 || (Rest == 50 && (Grey % 2) != 0))
                ++Grey;
            Pixel[0] = Pixel[1] = Pixel[2] = static_cast<uchar>(Grey);
        }
    }
}

bool BrowseForFolder(QString& Folder, QWidget* Owner, const QString& Title, bool AllowNewFolder,
                     bool StartAtProgramFolder)
{
    QString Start;
    if (!Folder.trimmed().isEmpty() && QFileInfo(Folder.trimmed()).isDir())
        Start = Folder.trimmed();
    else if (StartAtProgramFolder)
        Start = GetProgramFolder();

    TFilePrompt Prompt;
    Prompt.Kind = TFilePrompt::EKind::Folder;
    Prompt.ObjectName = QStringLiteral("BrowseForFolder");
    Prompt.Title = Title;
    Prompt.StartFolder = Start;
    Prompt.AllowNewFolder = AllowNewFolder;
    const std::optional<QString> Answer = RunFilePrompt(Owner, Prompt);
    if (!Answer)
        return false;
    const QString Chosen = QDir::cleanPath(*Answer);
    if (!QFileInfo(Chosen).isDir())
        return false;
    Folder = Chosen;
    return true;
}

THourglass::THourglass()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

THourglass::~THourglass()
{
    QApplication::restoreOverrideCursor();
}
