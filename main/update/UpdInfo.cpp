#include "main/update/UpdInfo.h"

#include "platform/text/Cp932.h"
#include "platform/sys/SafeWrite.h"

#include <QFile>
#include <QStringList>
#include <QXmlStreamReader>
#include <array>
#include <optional>

namespace {

struct TNode
{
    QString Name;
    QString Text;
    QList<TNode> Children;

    [[nodiscard]] const TNode* Find(const QString& ChildName) const
    {
        for (const TNode& Child : Children)
            if (Child.Name == ChildName)
                return &Child;
        return nullptr;
    }
};

// The answer as a tree of its root, the root's children and theirs, each with its own text; nothing
// deeper is needed. The walk keeps no stack of its own beyond those levels, and a document nested deeper
// than MaxElementDepth is refused, so that no answer can exhaust the program's stack.
std::optional<TNode> ReadDocument(const QByteArray& Body)
{
    constexpr int KeptDepth = 3;
    QXmlStreamReader Reader(Body);
    std::optional<TNode> Root;
    std::array<TNode*, KeptDepth> Open{};
    int Depth = 0;
    while (!Reader.atEnd()) {
        Reader.readNext();
        if (Reader.isStartElement()) {
            if (++Depth > MaxElementDepth)
                return std::nullopt;
            if (Depth == 1) {
                Root.emplace();
                Root->Name = Reader.name().toString();
                Open[0] = &*Root;
            } else if (Depth <= KeptDepth) {
                QList<TNode>& Siblings = Open[Depth - 2]->Children;
                Siblings.append(TNode{Reader.name().toString(), {}, {}});
                Open[Depth - 1] = &Siblings.last();
            }
        } else if (Reader.isCharacters()) {
            if (Depth >= 1 && Depth <= KeptDepth)
                Open[Depth - 1]->Text += Reader.text();
        } else if (Reader.isEndElement()) {
            --Depth;
        }
    }
    if (Reader.hasError() || !Root)
        return std::nullopt;
    return Root;
}

std::optional<qint32> ToInt32(const QString& Text)
{
    bool Ok = false;
    const qint32 Value = Text.trimmed().toInt(&Ok);
    return Ok ? std::optional<qint32>(Value) : std::nullopt;
}

// A file name alone: no folder delimiter of either kind, not "." or "..".
bool IsPlainFileName(const QString& Name)
{
    return !Name.isEmpty() && !Name.contains(QLatin1Char('/')) && !Name.contains(QLatin1Char('\\')) &&
           Name != QLatin1String(".") && Name != QLatin1String("..");
}

// A folder below the program folder: relative, without "..".
bool IsInnerPath(const QString& Path)
{
    if (Path.startsWith(QLatin1Char('/')) || Path.startsWith(QLatin1Char('\\')) || Path.contains(QLatin1Char(':')))
        return false;
    const QStringList Pieces = QString(Path).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
    for (const QString& Piece : Pieces)
        if (Piece == QLatin1String(".."))
            return false;
    return true;
}

// Line breaks and other control characters: updateinfo.dat is a line-based file, and a break in a
// value would start a line of the answer's choosing there. Half a surrogate pair, which an answer in an
// encoding such as UTF-7 can carry, has no UTF-8 form: the updater would read another name back than
// the one the program compared.
bool HasControlCharacter(const QString& Text)
{
    if (!Text.isValidUtf16())
        return true;
    for (QChar Char : Text) {
        const QChar::Category Category = Char.category();
        if (Category == QChar::Other_Control || Category == QChar::Separator_Line ||
            Category == QChar::Separator_Paragraph)
            return true;
    }
    return false;
}

// An element's text cut to its width. Blanks at either end are dropped before and after the cut: the
// updater reads its hand-over file line by line without them, and the program must compare the very
// file the updater will replace.
QString TextOf(const TNode& Node, int MaxBytes)
{
    return Cp932Left(Node.Text.trimmed(), MaxBytes).trimmed();
}

int FillFile(const TNode& Node, TUpdateFileInfo& File)
{
    const TNode* Name = Node.Find(QStringLiteral("name"));
    if (!Name)
        return UpdFileNoName;
    File.Name = TextOf(*Name, 128);
    if (const TNode* JpName = Node.Find(QStringLiteral("jpname")))
        File.JpName = TextOf(*JpName, 128);
    if (const TNode* Path = Node.Find(QStringLiteral("path")))
        File.Path = TextOf(*Path, 128).replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!IsPlainFileName(File.Name) || !IsInnerPath(File.Path) || HasControlCharacter(File.Name) ||
        HasControlCharacter(File.Path))
        return UpdFileNoName;
    if (const TNode* Version = Node.Find(QStringLiteral("version")))
        File.Version = TextOf(*Version, 24);
    const TNode* Size = Node.Find(QStringLiteral("size"));
    if (!Size)
        return UpdFileNoSize;
    const auto SizeValue = ToInt32(Size->Text);
    if (!SizeValue || *SizeValue < 0)
        return UpdFileSizeNotInteger;
    File.Size = *SizeValue;
    const TNode* DateTime = Node.Find(QStringLiteral("datetime"));
    if (!DateTime)
        return UpdFileNoDateTime;
    File.DateTime = ParseUpdateDateTime(DateTime->Text);
    if (!File.DateTime.isValid())
        return UpdFileBadDateTime;
    if (const TNode* Restart = Node.Find(QStringLiteral("restart")))
        File.Restart = Restart->Text == QLatin1String("1");
    const TNode* DLFile = Node.Find(QStringLiteral("dlfile"));
    if (!DLFile)
        return UpdFileNoDlFile;
    File.DLFile = TextOf(*DLFile, 128);
    if (!IsPlainFileName(File.DLFile) || HasControlCharacter(File.DLFile))
        return UpdFileNoDlFile;
    const TNode* DLParam = Node.Find(QStringLiteral("dlparam"));
    if (!DLParam)
        return UpdFileNoDlParam;
    File.DLParam = TextOf(*DLParam, 64);
    if (HasControlCharacter(File.DLParam))
        return UpdFileNoDlParam;
    return 0;
}

TUpdateAnswer Refused(int Code)
{
    TUpdateAnswer Answer;
    Answer.Code = Code;
    return Answer;
}

bool WriteWhole(const QString& FileName, const QByteArray& Bytes)
{
    return WriteFileSafely(FileName, Bytes, TFileAccess::OwnerOnly) == TSafeWriteResult::Written;
}

} // namespace

QDateTime ParseUpdateDateTime(const QString& Text)
{
    if (Text.size() < 19)
        return {};
    int Values[6];
    const int Starts[6] = {0, 5, 8, 11, 14, 17};
    const int Lengths[6] = {4, 2, 2, 2, 2, 2};
    for (int I = 0; I < 6; ++I) {
        const QString Piece = Text.mid(Starts[I], Lengths[I]);
        for (QChar Char : Piece)
            if (Char < QLatin1Char('0') || Char > QLatin1Char('9'))
                return {};
        Values[I] = Piece.toInt();
    }
    const QDate Date(Values[0], Values[1], Values[2]);
    const QTime Time(Values[3], Values[4], Values[5]);
    if (!Date.isValid() || !Time.isValid())
        return {};
    return QDateTime(Date, Time);
}

TUpdateAnswer CheckUpdateAnswer(const QByteArray& Body)
{
    if (Body.size() > MaxUpdateAnswerBytes)
        return Refused(UpdParseError);
    const QByteArray FirstLine = Body.left(Body.indexOf('\n') < 0 ? Body.size() : Body.indexOf('\n'));
    if (!FirstLine.contains("<?xml"))
        return Refused(UpdNoXmlDeclaration);

    const std::optional<TNode> Root = ReadDocument(Body);
    if (!Root)
        return Refused(UpdParseError);

    if (Root->Name != QLatin1String("update"))
        return Refused(UpdRootNotUpdate);
    const TNode* App = Root->Find(QStringLiteral("app"));
    if (!App)
        return Refused(UpdNoApp);
    if (App->Text.compare(QLatin1String("VxRelvo16"), Qt::CaseInsensitive) != 0)
        return Refused(UpdWrongApp);
    const TNode* Count = Root->Find(QStringLiteral("count"));
    if (!Count)
        return Refused(UpdNoCount);
    const auto CountValue = ToInt32(Count->Text);
    if (!CountValue)
        return Refused(UpdCountNotInteger);
    QList<const TNode*> FileNodes;
    for (const TNode& Child : Root->Children)
        if (Child.Name.compare(QLatin1String("file"), Qt::CaseInsensitive) == 0)
            FileNodes.append(&Child);
    if (FileNodes.size() != *CountValue)
        return Refused(UpdCountMismatch);
    const TNode* DlPath = Root->Find(QStringLiteral("dlpath"));
    if (!DlPath)
        return Refused(UpdNoDlPath);
    if (DlPath->Text.isEmpty())
        return Refused(UpdEmptyDlPath);
    if (HasControlCharacter(DlPath->Text))
        return Refused(UpdEmptyDlPath);

    TUpdateAnswer Answer;
    Answer.DownloadPath = DlPath->Text;
    for (const TNode* Node : FileNodes) {
        TUpdateFileInfo File;
        if (const int Code = FillFile(*Node, File))
            return Refused(Code);
        Answer.Files.append(File);
    }
    return Answer;
}

TFileVersion ParseVersionText(const QString& Text)
{
    TFileVersion Version{0, 0, 0, 0};
    const QStringList Parts = Text.split(QLatin1Char('.'));
    for (int I = 0; I < 4 && I < Parts.size(); ++I) {
        bool Ok = false;
        const int Value = Parts[I].trimmed().toInt(&Ok);
        Version[I] = Ok ? Value : 0;
    }
    return Version;
}

bool IsNewerVersion(const TFileVersion& Server, const TFileVersion& Local)
{
    for (int I = 0; I < 4; ++I)
        if (Server[I] != Local[I])
            return Server[I] > Local[I];
    return false;
}

bool IsNewerFile(const TUpdateFileInfo& File, const std::optional<TFileVersion>& LocalVersion,
                 const QDateTime& LocalTime)
{
    if (!File.Version.isEmpty() && LocalVersion && IsNewerVersion(ParseVersionText(File.Version), *LocalVersion))
        return true;
    if (!LocalTime.isValid())
        return true;
    // The server's time has whole seconds; so does the comparison.
    QDateTime Local = LocalTime.toLocalTime();
    Local.setTime(QTime(Local.time().hour(), Local.time().minute(), Local.time().second()));
    return File.DateTime > Local;
}

bool WriteUpdateErrorFile(const QString& UpdateFolder, int Code, const QByteArray& Body)
{
    const QByteArray Head = "----------\n" + QByteArray::number(Code) + "\n----------\n\n";
    return WriteWhole(UpdateFolder + QStringLiteral("upderr.dat"), Head + Body);
}

bool WriteUpdateInfoFile(const QString& UpdateFolder, const QString& ExeName, const QString& ProgramFolder,
                         bool RestartNeeded, const QList<TUpdateFileInfo>& Files)
{
    const QString FileName = UpdateFolder + QStringLiteral("updateinfo.dat");
    // Written whole each time: no Done key of the updater's and no section of an earlier run remains.
    QFile::remove(FileName);
    // A folder name may hold a line break on this system; such a value is not written at all.
    QStringList Values{ExeName, ProgramFolder};
    for (const TUpdateFileInfo& File : Files)
        Values << File.Name << File.Path << File.DLFile;
    for (const QString& Value : Values)
        if (HasControlCharacter(Value))
            return false;
    QString Text;
    Text += QStringLiteral("[APP]\n");
    Text += QStringLiteral("Name=Mirelo　Tolvane\n");
    Text += QStringLiteral("Exe=") + ExeName + QLatin1Char('\n');
    Text += QStringLiteral("Ident=vxrelvo16\n");
    Text += QStringLiteral("Run=") + (RestartNeeded ? QLatin1Char('1') : QLatin1Char('0')) + QLatin1Char('\n');
    // The updater learns here where the program lives, which it cannot look up on this system.
    Text += QStringLiteral("Folder=") + ProgramFolder + QLatin1Char('\n');
    int Number = 0;
    for (const TUpdateFileInfo& File : Files) {
        if (!File.Downloaded)
            continue;
        Text += QStringLiteral("[FILE%1]\n").arg(++Number);
        Text += QStringLiteral("Name=") + File.Name + QLatin1Char('\n');
        Text += QStringLiteral("Size=%1\n").arg(File.Size);
        Text += QStringLiteral("DateTime=") + File.DateTime.toString(QStringLiteral("yyyy/MM/dd H:mm:ss")) +
                QLatin1Char('\n');
        Text += QStringLiteral("DLFile=") + File.DLFile + QLatin1Char('\n');
        Text += QStringLiteral("Path=") + File.Path + QLatin1Char('\n');
    }
    return WriteWhole(FileName, Text.toUtf8());
}

bool WriteRunAppLog(const QString& UpdateFolder, int Code)
{
    return WriteWhole(UpdateFolder + QStringLiteral("runapp.log"), QByteArray::number(Code) + '\n');
}
