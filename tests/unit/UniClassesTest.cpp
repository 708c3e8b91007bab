#include "widelayer/UniClasses.h"

#include "widelayer/UniSysUtils.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList Lines(const TUniStrings& List)
{
    return List.ToList();
}

QString WriteFile(const QTemporaryDir& Dir, const QString& Name, const QByteArray& Bytes)
{
    const QString Path = Dir.filePath(Name);
    QFile File(Path);
    EXPECT_TRUE(File.open(QIODevice::WriteOnly));
    File.write(Bytes);
    return Path;
}

QByteArray ReadFile(const QString& Path)
{
    QFile File(Path);
    EXPECT_TRUE(File.open(QIODevice::ReadOnly));
    return File.readAll();
}

// The same two lines, "日本" and "ｶﾞ～", as each kind of file holds them.
TEST(UniStringsFile, ReadsEveryByteOrderMark)
{
    QTemporaryDir Dir;
    struct TCase
    {
        const char* Name;
        QByteArray Bytes;
        TTextCharSet CharSet;
    };
    const TCase Cases[] = {
        {"le.txt", QByteArray::fromHex("FFFEE5652C670D000A0076FF9EFF5EFF0D000A00"), TTextCharSet::Utf16LE},
        {"be.txt", QByteArray::fromHex("FEFF65E5672C000D000AFF76FF9EFF5E"), TTextCharSet::Utf16BE},
        {"u8.txt", QByteArray::fromHex("EFBBBFE697A5E69CAC0D0AEFBDB6EFBE9EEFBD9E"), TTextCharSet::Utf8},
        {"sj.txt", QByteArray::fromHex("93FA967B0D0AB6DE8160"), TTextCharSet::None},
    };
    for (const TCase& Case : Cases) {
        TUniStringList List;
        List.LoadFromFile(WriteFile(Dir, Case.Name, Case.Bytes));
        EXPECT_EQ(Lines(List), QStringList({QStringLiteral("日本"), QStringLiteral("ｶﾞ～")})) << Case.Name;
        EXPECT_EQ(List.LastFileCharSet(), Case.CharSet) << Case.Name;
    }
}

TEST(UniStringsFile, ShortAndOddFiles)
{
    QTemporaryDir Dir;
    TUniStringList List;
    List.Add(QStringLiteral("old"));
    List.LoadFromFile(WriteFile(Dir, "half.txt", QByteArray::fromHex("FFFE41")));
    EXPECT_EQ(List.Count(), 0);
    List.LoadFromFile(WriteFile(Dir, "empty.txt", QByteArray()));
    EXPECT_EQ(List.Count(), 0);
    // One byte of a mark is no mark: the byte is read in the default code page.
    List.LoadFromFile(WriteFile(Dir, "one.txt", QByteArray("A")));
    EXPECT_EQ(Lines(List), QStringList({QStringLiteral("A")}));
    // A line break of any kind ends a line; a last line without one still counts.
    List.LoadFromFile(WriteFile(Dir, "mixed.txt", QByteArray("a\nb\rc\r\n\r\nd")));
    EXPECT_EQ(Lines(List), QStringList({"a", "b", "c", "", "d"}));
    // Marks after the first are characters of the text, not a switch of byte order.
    List.LoadFromFile(WriteFile(Dir, "marks.txt", QByteArray::fromHex("FFFEFEFFFFFE4100")));
    EXPECT_EQ(List.ToList(), QStringList({QString(QChar(0xFFFE)) + QChar(0xFEFF) + u'A'}));
    // Stray bytes of a damaged CP932 file are shown, not dropped with their line.
    List.LoadFromFile(WriteFile(Dir, "bad.txt", QByteArray("\x93\xFA\r\n\x81")));
    EXPECT_EQ(Lines(List), QStringList({QStringLiteral("日"), QStringLiteral("\uFFFD")}));
}

TEST(UniStringsFile, SavesUtf16WithMarkAndRoundTrips)
{
    QTemporaryDir Dir;
    TUniStringList List;
    List.Add(QStringLiteral("A"));
    List.Add(QStringLiteral("𠮷"));
    const QString Path = Dir.filePath("out.txt");
    List.SaveToFile(Path);
    EXPECT_EQ(ReadFile(Path), QByteArray::fromHex("FFFE41000D000A0042D8B7DF0D000A00"));

    TUniStringList Back;
    Back.LoadFromFile(Path);
    EXPECT_EQ(Lines(Back), Lines(List));

    QBuffer Plain;
    Plain.open(QIODevice::ReadWrite);
    List.SaveToStreamNoMark(Plain);
    Plain.seek(0);
    TUniStringList FromPlain;
    FromPlain.LoadFromStreamNoDetect(Plain);
    EXPECT_EQ(Lines(FromPlain), Lines(List));
}

TEST(UniStringsFile, FileErrorsNameTheFile)
{
    QTemporaryDir Dir;
    TUniStringList List;
    const QString Missing = Dir.filePath("missing.txt");
    try {
        List.LoadFromFile(Missing);
        ADD_FAILURE();
    } catch (const EFOpenError& E) {
        EXPECT_TRUE(E.Message().contains(Missing));
        EXPECT_TRUE(E.Message().contains(SysErrorMessage(ENOENT))) << E.Message().toStdString();
    }
    const QString InNowhere = Dir.filePath("no/such/dir/out.txt");
    try {
        List.SaveToFile(InNowhere);
        ADD_FAILURE();
    } catch (const EFCreateError& E) {
        EXPECT_TRUE(E.Message().contains(InNowhere));
    }
}

TEST(UniAnsiStrings, ViewsTheListInACodePage)
{
    TUniStringList List;
    List.Add(QStringLiteral("～①"));
    EXPECT_EQ(List.AnsiStrings().Get(0), QByteArray::fromHex("81608740"));
    List.AnsiStrings().Add(QByteArray::fromHex("B6DE"));
    EXPECT_EQ(List.Get(1), QStringLiteral("ｶﾞ"));
    List.AnsiStrings().SetCodePage(1252);
    EXPECT_EQ(List.AnsiStrings().Get(0), QByteArray("??"));
    List.SetAnsiStrings({QByteArray("caf\xE9")});
    EXPECT_EQ(Lines(List), QStringList({QStringLiteral("café")}));

    QBuffer Out;
    Out.open(QIODevice::ReadWrite);
    TAnsiStringsForWideStringsAdapter Sjis(List, 932);
    List.Put(0, QStringLiteral("日本"));
    Sjis.SaveToStreamEx(Out, 932);
    EXPECT_EQ(Out.data(), QByteArray::fromHex("93FA967B0D0A"));
    Out.seek(0);
    TUniStringList Again;
    TAnsiStringsForWideStringsAdapter(Again, 932).LoadFromStreamEx(Out, 932);
    EXPECT_EQ(Lines(Again), QStringList({QStringLiteral("日本")}));
}

TEST(UniStringList, DuplicatesOfASortedList)
{
    TUniStringList List;
    List.SetSorted(true);
    List.Add(QStringLiteral("b"));
    List.Add(QStringLiteral("a"));
    EXPECT_EQ(List.Add(QStringLiteral("b")), 1);
    EXPECT_EQ(List.Count(), 2);

    List.SetDuplicates(TDuplicates::dupError);
    EXPECT_THROW(List.Add(QStringLiteral("B")), EStringListError);
    EXPECT_EQ(List.Count(), 2);

    List.SetDuplicates(TDuplicates::dupAccept);
    for (int I = 0; I < 20; ++I)
        List.Add(QStringLiteral("b"));
    for (int I = 0; I < 20; ++I)
        List.Add(QStringLiteral("c"));
    // However the equal entries fall around the middle, the first of them is the answer.
    EXPECT_EQ(List.IndexOf(QStringLiteral("b")), 1);
    EXPECT_EQ(List.IndexOf(QStringLiteral("c")), 22);
    EXPECT_EQ(List.IndexOf(QStringLiteral("x")), -1);
    int At = -1;
    EXPECT_FALSE(List.Find(QStringLiteral("bb"), At));
    EXPECT_EQ(At, 22);
}

TEST(UniStringList, SortedListRefusesPlacedChanges)
{
    TUniStringList List;
    List.Add(QStringLiteral("x"));
    EXPECT_THROW(List.Insert(5, QStringLiteral("y")), EStringListError);
    EXPECT_THROW((void)List.Get(1), EStringListError);
    EXPECT_THROW((void)List.Get(-1), EStringListError);
    EXPECT_THROW(List.Delete(1), EStringListError);
    List.Insert(1, QStringLiteral("y"));
    List.SetSorted(true);
    EXPECT_THROW(List.Insert(0, QStringLiteral("z")), EStringListError);
    EXPECT_THROW(List.Put(0, QStringLiteral("z")), EStringListError);
    EXPECT_EQ(Lines(List), QStringList({"x", "y"}));
}

TEST(UniStringList, CaseAndJapaneseCollation)
{
    TUniStringList List;
    List.SetSorted(true);
    for (const char16_t* S : {u"いちご", u"Banana", u"apple", u"アンズ", u"cherry"})
        List.Add(QString::fromUtf16(S));
    EXPECT_EQ(List.IndexOf(QStringLiteral("APPLE")), 0);
    EXPECT_EQ(Lines(List).mid(0, 3), QStringList({"apple", "Banana", "cherry"}));
    List.SetCaseSensitive(true);
    EXPECT_EQ(List.IndexOf(QStringLiteral("APPLE")), -1);
    EXPECT_EQ(List.IndexOf(QStringLiteral("apple")), 0);
}

TEST(UniStringList, NamesSortsAndUpdates)
{
    TUniStringList Sorted;
    Sorted.SetSorted(true);
    for (const char* S : {"Port=COM1", "IPPBX=1", "Adapter=2", "Portable"})
        Sorted.Add(QString::fromLatin1(S));
    EXPECT_EQ(Sorted.Get(Sorted.IndexOfName(QStringLiteral("port"))), QStringLiteral("Port=COM1"));
    EXPECT_EQ(Sorted.IndexOfName(QStringLiteral("Dsl")), -1);
    EXPECT_EQ(Sorted.Value(QStringLiteral("IPPBX")), QStringLiteral("1"));

    TUniStringList List;
    for (const char* S : {"ccc", "a", "bb", "dddd", "e"})
        List.Add(QString::fromLatin1(S));
    List.CustomSort([](TUniStringList& L, int A, int B) { return int(L.Get(A).size() - L.Get(B).size()); });
    EXPECT_EQ(Lines(List).mid(2), QStringList({"bb", "ccc", "dddd"}));
    EXPECT_EQ(QSet<QString>({List.Get(0), List.Get(1)}), QSet<QString>({"a", "e"}));

    int Changes = 0;
    int Changings = 0;
    List.OnChange = [&](TUniStringList&) { ++Changes; };
    List.OnChanging = [&](TUniStringList&) { ++Changings; };
    List.Add(QStringLiteral("f"));
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(Changings, 1);
    List.BeginUpdate();
    List.BeginUpdate();
    List.Add(QStringLiteral("g"));
    List.Delete(0);
    List.EndUpdate();
    EXPECT_EQ(Changes, 1);
    List.EndUpdate();
    EXPECT_EQ(Changes, 2);
    EXPECT_EQ(Changings, 1);
    List.SetText(QStringLiteral("x\r\ny\r\n"));
    EXPECT_EQ(Changes, 3);
    EXPECT_EQ(List.Text(), QStringLiteral("x\r\ny\r\n"));
}

} // namespace
