#pragma once

#include <QString>
#include <functional>
#include <memory>

class TTable;

// The link to an address book of the maker's directory product: the data module that opens the
// book's table Adrs.DB with a use count, the test whether an edition is installed, the start-up
// backup of the chosen book, and the start of the product's program.

// Whether the program of edition Series is installed: its App Paths key exists in the registry, or
// (where the registry does not know it) the program is on PATH.
[[nodiscard]] bool IsFbInstalled(int Series);

class TDMFbarea
{
public:
    // Adds the edition's table password to the session; any edition but 1 is edition 0.
    explicit TDMFbarea(int FbSeries);
    ~TDMFbarea();
    TDMFbarea(const TDMFbarea&) = delete;
    TDMFbarea& operator=(const TDMFbarea&) = delete;

    // BookFolder ends with "/". False when the folder holds no Adrs.DB or the table cannot be
    // opened; then nothing was created. While the table is open a further open of the same book
    // only counts; a different book is refused until the last holder has closed.
    [[nodiscard]] bool OpenAdrs(const QString& BookFolder);
    void CloseAdrs();

    [[nodiscard]] int AdrsOpenCount() const { return FAdrsOpenCount; }
    // The open table; null while closed.
    [[nodiscard]] TTable* AdrsTable() const { return FAdrsTable.get(); }
    [[nodiscard]] const QString& EditionFolder() const { return FEditionFolder; }
    [[nodiscard]] const QString& Password() const { return FPassword; }

private:
    int FAdrsOpenCount = 0;
    std::unique_ptr<TTable> FAdrsTable;
    QString FBookFolder;
    QString FEditionFolder;
    QString FPassword;
};

// The program's address-book data module; null while the link is off.
extern TDMFbarea* DMFbarea;

// Opens the book for one use and closes it again when it goes out of scope.
class TAdrsUse
{
public:
    TAdrsUse(TDMFbarea& Module, const QString& BookFolder) : FModule(Module), FOpen(Module.OpenAdrs(BookFolder)) {}
    ~TAdrsUse()
    {
        if (FOpen)
            FModule.CloseAdrs();
    }
    TAdrsUse(const TAdrsUse&) = delete;
    TAdrsUse& operator=(const TAdrsUse&) = delete;
    [[nodiscard]] bool Opened() const { return FOpen; }

private:
    TDMFbarea& FModule;
    bool FOpen;
};

// The folder of the chosen book: the edition's data folder + "Adrs/" + the book's folder + "/";
// empty when the edition has no data folder or the book index is not in the list.
[[nodiscard]] QString FbBookFolder(int Series, int Book);

// Progress of the backup: files done and the total; answering false stops the backup.
using TFbBackupProgress = std::function<bool(int Done, int Total)>;

// Copies the book folder BookFolder into TargetFolder + the book's folder name. The copy is made
// beside the previous backup and takes its place only when it is complete, so a failed or stopped
// backup leaves the previous one as it was. False when the book is missing, the copy fails or
// Progress stops it.
[[nodiscard]] bool BackupBookFolder(const QString& BookFolder, const QString& TargetFolder,
                                    const TFbBackupProgress& Progress = {});

// Copies the chosen book (Settings.FbSeries, Settings.FbAdrsBook) into DataPath +
// "backup.FbAdrs/Adrs/<book folder>". The copy is made beside the previous backup and takes its
// place only when it is complete, so a failed or stopped backup leaves the previous one as it was.
// False when there is no book, the copy fails or Progress stops it.
[[nodiscard]] bool BackupFbAdrs(const QString& DataPath, const TFbBackupProgress& Progress = {});

// The single-instance name of an edition's program, by which the program tells whether it runs.
[[nodiscard]] QString FbInstanceName(int Series);
// Whether the edition's program is running; when it is, it is asked to bring its window forward.
[[nodiscard]] bool ActivateFbIfRunning(int Series);
// Starts the edition's program from its install folder without waiting; false when it cannot start.
bool StartFbProgram(int Series);
