#include "main/tables/AdrsTableDef.h"
#include "main/tables/DBInfo.h"
#include "tests/support/Cp932Oracle.h"

#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The sqlite3 shell on File with the collation extension loaded (or not), running Sql; its output
// lines, and its error text in Error.
QStringList Shell(const QString& File, const QString& Sql, bool LoadExtension, QString* Error = nullptr)
{
    QStringList Arguments{QStringLiteral("-bail")};
    if (LoadExtension)
        Arguments << QStringLiteral("-cmd") << QStringLiteral(".load " VX_BIN_DIR "/vxcollation");
    Arguments << File << Sql;
    QProcess Process;
    Process.start(QStringLiteral("sqlite3"), Arguments);
    Process.waitForFinished(30000);
    if (Error)
        *Error = QString::fromUtf8(Process.readAllStandardError());
    return QString::fromUtf8(Process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}

// An administrator reads, sorts, writes and checks every table file of the product with the
// sqlite3 shell once the extension is loaded; without it the shell cannot touch a text column.
TEST(VxCollationTest, TheShellSortsWritesAndChecksEveryTable)
{
    QTemporaryDir Dir;
    const QStringList Texts{"ｶﾅ", "かな", "abc", "ABD", "漢字", "Abc"};
    const struct
    {
        QString File;
        TTableDef Def;
    } Tables[] = {
        {RecvHisFileName, RecvHisTableDef()}, {MeiboFileName, MeiboTableDef()}, {AdrsFileName, AdrsTableDef()}};
    for (const auto& Table : Tables) {
        // The first index on one text field, case-insensitive where the table has one.
        const auto IsTextIndex = [&Table](const TIndexDef& Index) {
            return Index.FieldList().size() == 1 &&
                   std::any_of(Table.Def.Fields.cbegin(), Table.Def.Fields.cend(), [&Index](const TFieldDef& Field) {
                       return Field.Name == Index.Fields && Field.Type == TFieldType::String && Field.Size >= 6;
                   });
        };
        auto Found = std::find_if(Table.Def.Indexes.cbegin(), Table.Def.Indexes.cend(),
                                  [&](const TIndexDef& Index) { return IsTextIndex(Index) && Index.CaseInsensitive; });
        if (Found == Table.Def.Indexes.cend())
            Found = std::find_if(Table.Def.Indexes.cbegin(), Table.Def.Indexes.cend(), IsTextIndex);
        ASSERT_NE(Found, Table.Def.Indexes.cend()) << Table.File.toStdString();
        const TIndexDef Index = *Found;
        const QString Column = Index.Fields;
        const QString Name = QString(Table.File).remove(QStringLiteral(".DB"));
        const QString File = Dir.filePath(Table.File);
        {
            TSession Session;
            Session.AddPassword(QStringLiteral("pw"));
            TTable Engine(Session);
            Engine.SetDatabaseName(Dir.path());
            Engine.SetTableName(Table.File);
            Engine.CreateTable(Table.Def, QStringLiteral("pw"));
            Engine.Open();
            int RecNo = 0;
            for (const QString& Text : Texts) {
                Engine.Append();
                if (Table.Def.Fields[0].Type == TFieldType::Integer)
                    Engine.FieldByName(Table.Def.Fields[0].Name).SetAsInteger(++RecNo);
                Engine.FieldByName(Column).SetAsString(Text);
                Engine.Post();
            }
        }
        QStringList Expected = Texts;
        std::stable_sort(Expected.begin(), Expected.end(), [&Index](const QString& A, const QString& B) {
            return OracleCompare(A, B, Index.CaseInsensitive) < 0;
        });

        const QString Select = QStringLiteral("SELECT \"%1\" FROM \"%2\" ORDER BY \"%1\", rowid;").arg(Column, Name);
        QString Error;
        EXPECT_TRUE(Shell(File, Select, false, &Error).isEmpty());
        EXPECT_TRUE(Error.contains(QStringLiteral("no such collation sequence"))) << Error.toStdString();

        const QStringList Out =
            Shell(File,
                  QStringLiteral("PRAGMA integrity_check; %1 INSERT INTO \"%2\" (\"%3\") VALUES ('あ'); "
                                 "REINDEX; PRAGMA integrity_check; SELECT count(*) FROM \"%2\";")
                      .arg(Select, Name, Column),
                  true, &Error);
        EXPECT_TRUE(Error.isEmpty()) << Error.toStdString();
        EXPECT_EQ(Out, (QStringList{"ok"} + Expected + QStringList{"ok", "7"})) << Table.File.toStdString();

        // The row the shell wrote sits in the index where the program's engine looks for it.
        TSession Session;
        Session.AddPassword(QStringLiteral("pw"));
        TTable Engine(Session);
        Engine.SetDatabaseName(Dir.path());
        Engine.SetTableName(Table.File);
        Engine.Open();
        Engine.SetIndexName(Index.Name);
        EXPECT_TRUE(Engine.FindKey({QStringLiteral("あ")})) << Table.File.toStdString();
        QStringList Walked;
        for (Engine.First(); !Engine.Eof(); Engine.Next())
            Walked << Engine.FieldByName(Column).AsString();
        QStringList WithNew = Expected + QStringList{"あ"};
        std::stable_sort(WithNew.begin(), WithNew.end(), [&Index](const QString& A, const QString& B) {
            return OracleCompare(A, B, Index.CaseInsensitive) < 0;
        });
        EXPECT_EQ(Walked, WithNew) << Table.File.toStdString();
    }
}

} // namespace
