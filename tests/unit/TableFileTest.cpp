// The table file as other programs and versions meet it: files it cannot read, the connection it
// opens, copies while others hold the file, exclusive use and who may read the file.
#include "platform/db/Table.h"
#include "platform/sys/Folders.h"
#include "tests/support/FileModes.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TTableDef NotesDef()
{
    return {{{"RecNo", TFieldType::Integer, 0}, {"Name", TFieldType::String, 20}, {"Note", TFieldType::Memo, 100}},
            {{"", "RecNo", true, true, false}, {"Name", "Name", false, false, true}}};
}

// Runs Sql on the file through a plain connection of its own.
void ExecOn(const QString& File, const char* Sql)
{
    sqlite3* Db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(File).constData(), &Db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(Db, Sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(Db);
    sqlite3_close(Db);
}

// Runs Body in a child process that is killed after Seconds, so that a wait without end shows as a
// failure rather than as a test that never ends. Answers what Body found wrong; empty when nothing.
std::string RunBounded(const std::function<std::string()>& Body, int Seconds)
{
    int Pipe[2];
    if (pipe(Pipe) != 0)
        return "no pipe";
    const pid_t Child = fork();
    if (Child == 0) {
        close(Pipe[0]);
        alarm(static_cast<unsigned>(Seconds));
        std::string Found;
        try {
            Found = Body();
        } catch (const std::exception& Error) {
            Found = std::string("threw: ") + Error.what();
        }
        (void)!write(Pipe[1], Found.data(), Found.size());
        _exit(0);
    }
    close(Pipe[1]);
    std::string Found;
    char Buffer[512];
    ssize_t Got;
    while ((Got = read(Pipe[0], Buffer, sizeof Buffer)) > 0)
        Found.append(Buffer, static_cast<size_t>(Got));
    close(Pipe[0]);
    int Status = 0;
    waitpid(Child, &Status, 0);
    if (WIFSIGNALED(Status))
        return Found + "still waiting after " + std::to_string(Seconds) + " s";
    return Found;
}

class TableFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        Table.SetDatabaseName(Dir.path());
        Table.SetTableName("Notes.DB");
    }
    QString File() const { return Dir.filePath("Notes.DB"); }
    void AddRows(TTable& Into, int Count)
    {
        for (int RecNo = 1; RecNo <= Count; ++RecNo) {
            Into.Append();
            Into.FieldByName("RecNo").SetAsInteger(RecNo);
            Into.FieldByName("Name").SetAsString(QString("name%1").arg(RecNo));
            Into.Post();
        }
    }

    QTemporaryDir Dir;
    TTable Table;
};

// A later version may keep types this one does not know, or the file may not be a table at all:
// either is refused as a whole with a message naming the file, and the table stays closed.
TEST_F(TableFileTest, FilesThisVersionCannotReadAreRefusedWhole)
{
    struct TCase
    {
        const char* Damage;
        const char* Said;
    };
    const TCase Cases[] = {
        {"UPDATE _meta SET Type = 'Decimal' WHERE Kind = 'field' AND Name = 'Name'", "Unknown field type Decimal"},
        {"UPDATE _meta SET Value = '2' WHERE Kind = 'table' AND Name = 'Format'", "Not a table file of this program"},
        {"DROP TABLE _meta", "Not a table file"},
    };
    for (const TCase& Case : Cases) {
        Table.CreateTable(NotesDef());
        ExecOn(File(), Case.Damage);
        try {
            Table.Open();
            ADD_FAILURE() << "opened after " << Case.Damage;
        } catch (const EDatabaseError& Error) {
            EXPECT_TRUE(Error.Message().contains(Case.Said)) << Error.Message().toStdString();
            EXPECT_TRUE(Error.Message().contains(File())) << Error.Message().toStdString();
        }
        EXPECT_FALSE(Table.Active());
        EXPECT_EQ(Table.State(), TDataSetState::Inactive);
        Table.DeleteTable();
    }
    // The same object opens a sound file afterwards.
    Table.CreateTable(NotesDef());
    Table.Open();
    EXPECT_EQ(Table.Definition(), NotesDef());
}

// A file may come from anywhere: a trigger or view it carries does nothing on the engine's connection,
// and its schema may call no function with side effects.
TEST_F(TableFileTest, NothingTheFileCarriesInItsSchemaActs)
{
    Table.CreateTable(NotesDef());
    Table.Open();
    AddRows(Table, 3);
    Table.Close();
    ExecOn(File(), "CREATE TRIGGER Wipe AFTER INSERT ON Notes BEGIN DELETE FROM Notes; DELETE FROM _meta; END;"
                   "CREATE TRIGGER Keep BEFORE UPDATE ON Notes BEGIN SELECT RAISE(ABORT, 'kept'); END;"
                   "CREATE VIEW Names AS SELECT Name FROM Notes");
    Table.Open();
    EXPECT_EQ(Table.ConnectionSetting("trusted_schema"), "0");
    Table.Append();
    Table.FieldByName("RecNo").SetAsInteger(4);
    Table.Post();
    ASSERT_TRUE(Table.FindKey({2}));
    Table.Edit();
    Table.FieldByName("Name").SetAsString("changed");
    Table.Post();
    EXPECT_EQ(Table.RecordCount(), 4);
    Table.Close();
    Table.Open();
    EXPECT_EQ(Table.Definition(), NotesDef());
    ASSERT_TRUE(Table.FindKey({2}));
    EXPECT_EQ(Table.FieldByName("Name").AsString(), "changed");
}

// A copy waits for another connection's write no longer than any statement does, and never for
// its own transaction; it leaves nothing behind when it gives up.
TEST_F(TableFileTest, CopiesGiveUpOnATableHeldByAnotherAndRefuseTheirOwnTransaction)
{
    Table.CreateTable(NotesDef());
    const QString Copy = Dir.filePath("Copy.DB");
    const QString Backup = Dir.filePath("Backup.DB");
    // Files besides the table and the journal of its own transaction.
    const auto Stray = [&] {
        QStringList Files = QDir(Dir.path()).entryList(QDir::Files | QDir::Hidden);
        Files.removeAll("Notes.DB");
        Files.removeAll("Notes.DB-journal");
        return Files.isEmpty() ? std::string() : "left " + Files.join(' ').toStdString() + "; ";
    };

    EXPECT_EQ(RunBounded(
                  [&] {
                      std::string Found;
                      TSession Impatient;
                      Impatient.SetBusyTimeout(400);
                      DefaultSession().SetBusyTimeout(400);
                      TTable Source(Impatient);
                      Source.SetDatabaseName(Dir.path());
                      Source.SetTableName("Notes.DB");
                      Source.Open();
                      sqlite3* Writer = nullptr;
                      sqlite3_open(QFile::encodeName(File()).constData(), &Writer);
                      if (sqlite3_exec(Writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
                          return std::string("no exclusive lock: ") + sqlite3_errmsg(Writer);
                      for (const auto& Attempt : {std::function<void()>([&] { Source.CopyTo(Copy); }),
                                                  std::function<void()>([&] { BackupTableFile(File(), Backup); })}) {
                          QElapsedTimer Clock;
                          Clock.start();
                          try {
                              Attempt();
                              Found += "copied under a write lock; ";
                          } catch (const EDatabaseError& Error) {
                              if (!Error.Message().contains("in use"))
                                  Found += Error.Message().toStdString() + "; ";
                          }
                          if (Clock.elapsed() < 350 || Clock.elapsed() > 3000)
                              Found += "gave up after " + std::to_string(Clock.elapsed()) + " ms; ";
                      }
                      Found += Stray();
                      sqlite3_exec(Writer, "ROLLBACK", nullptr, nullptr, nullptr);
                      sqlite3_close(Writer);
                      Source.CopyTo(Copy);
                      BackupTableFile(File(), Backup);
                      return Found;
                  },
                  10),
              "");
    EXPECT_TRUE(QFile::exists(Copy) && QFile::exists(Backup));
    QFile::remove(Copy);
    QFile::remove(Backup);

    EXPECT_EQ(RunBounded(
                  [&] {
                      std::string Found;
                      Table.Open();
                      Table.StartTransaction();
                      AddRows(Table, 3);
                      QElapsedTimer Clock;
                      Clock.start();
                      try {
                          Table.CopyTo(Copy);
                          Found += "copied inside its own transaction; ";
                      } catch (const EDatabaseError& Error) {
                          if (!Error.Message().contains("transaction"))
                              Found += Error.Message().toStdString() + "; ";
                      }
                      if (Clock.elapsed() > 300)
                          Found += "waited " + std::to_string(Clock.elapsed()) + " ms; ";
                      if (!Table.InTransaction())
                          Found += "the transaction ended; ";
                      Found += Stray();
                      Table.Commit();
                      Table.CopyTo(Copy);
                      return Found;
                  },
                  10),
              "");
    TTable Copied;
    Copied.SetDatabaseName(Dir.path());
    Copied.SetTableName("Copy.DB");
    Copied.Open();
    EXPECT_EQ(Copied.RecordCount(), 3);
}

// The sqlite3 shell's answer to Script on the table file: its output and errors.
std::string Shell(const QString& File, const QString& Script)
{
    QProcess Process;
    Process.start("sqlite3", {File, Script});
    Process.waitForFinished(10000);
    return (Process.readAllStandardOutput() + Process.readAllStandardError()).trimmed().toStdString();
}

// An exclusive open is refused while anybody has the table open, however idle, and the other user
// writes on undisturbed; while it is held, a shared open is refused after the busy timeout.
TEST_F(TableFileTest, ExclusiveOpenIsRefusedWhileAnotherHasTheTableOpen)
{
    Table.CreateTable(NotesDef());
    TSession Impatient;
    Impatient.SetBusyTimeout(100);
    TTable Alone(Impatient);
    Alone.SetDatabaseName(Dir.path());
    Alone.SetTableName("Notes.DB");
    Alone.SetExclusive(true);
    const auto Refused = [&](TTable& Opener) {
        try {
            Opener.Open();
        } catch (const EDatabaseError& Error) {
            return Error.Message().contains("in use") && !Opener.Active();
        }
        return false;
    };

    // Another table object of this process.
    Table.Open();
    EXPECT_TRUE(Refused(Alone));
    AddRows(Table, 2);
    Table.Close();
    Alone.Open();
    TTable Shared(Impatient);
    Shared.SetDatabaseName(Dir.path());
    Shared.SetTableName("Notes.DB");
    EXPECT_TRUE(Refused(Shared));
    Alone.Close();

    // Another process that opened the table and waits.
    int Ready[2];
    int Go[2];
    ASSERT_EQ(pipe(Ready), 0);
    ASSERT_EQ(pipe(Go), 0);
    const pid_t Helper = fork();
    ASSERT_GE(Helper, 0);
    if (Helper == 0) {
        char Byte = 0;
        try {
            TTable Other;
            Other.SetDatabaseName(Dir.path());
            Other.SetTableName("Notes.DB");
            Other.Open();
            if (write(Ready[1], "r", 1) != 1 || read(Go[0], &Byte, 1) != 1)
                _exit(2);
            Other.Append();
            Other.FieldByName("RecNo").SetAsInteger(3);
            Other.Post();
        } catch (...) {
            _exit(1);
        }
        _exit(0);
    }
    char Byte = 0;
    ASSERT_EQ(read(Ready[0], &Byte, 1), 1);
    EXPECT_TRUE(Refused(Alone));
    ASSERT_EQ(write(Go[1], "g", 1), 1);
    int Status = 0;
    waitpid(Helper, &Status, 0);
    EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0) << Status;
    for (int Fd : {Ready[0], Ready[1], Go[0], Go[1]})
        close(Fd);
    Alone.Open();
    EXPECT_EQ(Alone.RecordCount(), 3);
    Alone.Close();
}

// Several table objects of one process share the file: one closing must leave another's locks in
// place, or a second process could write in the middle of its transaction.
TEST_F(TableFileTest, ClosingOneTableObjectKeepsAnotherOnesTransactionLocked)
{
    Table.CreateTable(NotesDef());
    Table.Open();
    Table.StartTransaction();
    AddRows(Table, 2);
    for (int Round = 0; Round < 2; ++Round) {
        TTable Passing;
        Passing.SetDatabaseName(Dir.path());
        Passing.SetTableName("Notes.DB");
        Passing.Open();
        Passing.Close();
    }
    EXPECT_NE(Shell(File(), "BEGIN IMMEDIATE; ROLLBACK;").find("database is locked"), std::string::npos);
    Table.Commit();
    EXPECT_EQ(Shell(File(), "BEGIN IMMEDIATE; ROLLBACK;"), "");
    EXPECT_EQ(Table.RecordCount(), 2);
}

// Tables hold customers' names, numbers and addresses: the file, its journal, copies and backups
// are the owner's alone whatever the umask lets through, and so are the folders made for them.
TEST_F(TableFileTest, FilesCopiesAndFoldersAreTheOwnersAloneWhateverTheUmask)
{
    const TUmask Open(0);
    const QString Folder = Dir.filePath("chosen/Data");
    ASSERT_TRUE(CreateOwnerOnlyFolder(Folder));
    EXPECT_EQ(ModeOf(Dir.filePath("chosen")), 0700);
    EXPECT_EQ(ModeOf(Folder), 0700);

    Table.SetDatabaseName(Folder);
    Table.CreateTable(NotesDef());
    EXPECT_EQ(ModeOf(Folder + "/Notes.DB"), 0600);
    Table.Open();
    Table.StartTransaction();
    AddRows(Table, 1);
    EXPECT_EQ(ModeOf(Folder + "/Notes.DB-journal"), 0600);
    Table.Commit();
    Table.CopyTo(Folder + "/Copy.DB");
    BackupTableFile(Folder + "/Notes.DB", Folder + "/Backup.DB");
    EXPECT_EQ(ModeOf(Folder + "/Copy.DB"), 0600);
    EXPECT_EQ(ModeOf(Folder + "/Backup.DB"), 0600);
}

} // namespace
