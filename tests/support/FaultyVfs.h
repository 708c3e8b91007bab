#pragma once

#include <atomic>
#include <cstring>
#include <sqlite3.h>

// SQLite's default file system with faults a test can switch on, as a real disk and folder give them:
// every connection opened while it lives goes through it. Writes fail with WriteFault (a full disk,
// a read-only file, an I/O error), opens of the table files fail with OpenFault and those of their
// journals with JournalFault (a folder made read-only), and reads of the table files return Garbage
// instead of their bytes (a damaged file). 0 and false: no fault.
class TFaultyVfs
{
public:
    std::atomic<int> WriteFault = 0;
    std::atomic<int> OpenFault = 0;
    std::atomic<int> JournalFault = 0;
    std::atomic<bool> Garbage = false;
    // A table file may not grow past this many bytes, as on a disk that fills while the table grows:
    // a write within the file's size and every write of a journal still succeed. 0: no limit.
    std::atomic<long long> TableSizeLimit = 0;

    TFaultyVfs()
    {
        sqlite3_initialize();
        Current = this;
        FBase = sqlite3_vfs_find(nullptr);
        FVfs = *FBase;
        FVfs.zName = "faulty";
        FVfs.szOsFile = static_cast<int>(sizeof(TFile)) + FBase->szOsFile;
        FVfs.xOpen = &Open;
        sqlite3_vfs_register(&FVfs, 1);
    }
    ~TFaultyVfs()
    {
        sqlite3_vfs_unregister(&FVfs);
        sqlite3_vfs_register(FBase, 1);
        Current = nullptr;
    }
    TFaultyVfs(const TFaultyVfs&) = delete;
    TFaultyVfs& operator=(const TFaultyVfs&) = delete;

private:
    struct TFile
    {
        sqlite3_file Base; // its methods: ours
        bool MainDb;
        sqlite3_file* Real() { return reinterpret_cast<sqlite3_file*>(this + 1); }
    };

    static TFile* Of(sqlite3_file* File) { return reinterpret_cast<TFile*>(File); }

    static int Open(sqlite3_vfs*, const char* Name, sqlite3_file* File, int Flags, int* OutFlags)
    {
        TFile* Ours = Of(File);
        Ours->Base.pMethods = nullptr;
        Ours->MainDb = (Flags & SQLITE_OPEN_MAIN_DB) != 0;
        if (Ours->MainDb && Current->OpenFault != 0)
            return Current->OpenFault;
        if ((Flags & SQLITE_OPEN_MAIN_JOURNAL) != 0 && Current->JournalFault != 0)
            return Current->JournalFault;
        const int Rc = Current->FBase->xOpen(Current->FBase, Name, Ours->Real(), Flags, OutFlags);
        if (Rc != SQLITE_OK)
            return Rc;
        Current->FMethods = *Ours->Real()->pMethods;
        Current->FMethods.xRead = &Read;
        Current->FMethods.xWrite = &Write;
        Current->FMethods.xClose = &Close;
        Current->FMethods.xTruncate = &Truncate;
        Current->FMethods.xSync = &Sync;
        Current->FMethods.xFileSize = &FileSize;
        Current->FMethods.xLock = &Lock;
        Current->FMethods.xUnlock = &Unlock;
        Current->FMethods.xCheckReservedLock = &CheckReservedLock;
        Current->FMethods.xFileControl = &FileControl;
        Current->FMethods.xSectorSize = &SectorSize;
        Current->FMethods.xDeviceCharacteristics = &DeviceCharacteristics;
        // No shared memory or memory mapping: the tables use a rollback journal.
        Current->FMethods.iVersion = 1;
        Ours->Base.pMethods = &Current->FMethods;
        return SQLITE_OK;
    }
    static int Close(sqlite3_file* File) { return Of(File)->Real()->pMethods->xClose(Of(File)->Real()); }
    static int Read(sqlite3_file* File, void* Buffer, int Amount, sqlite3_int64 Offset)
    {
        const int Rc = Of(File)->Real()->pMethods->xRead(Of(File)->Real(), Buffer, Amount, Offset);
        if (Rc == SQLITE_OK && Of(File)->MainDb && Current->Garbage)
            std::memset(Buffer, 0x5A, static_cast<std::size_t>(Amount));
        return Rc;
    }
    static int Write(sqlite3_file* File, const void* Buffer, int Amount, sqlite3_int64 Offset)
    {
        if (Current->WriteFault != 0)
            return Current->WriteFault;
        if (Of(File)->MainDb && Current->TableSizeLimit > 0 && Offset + Amount > Current->TableSizeLimit)
            return SQLITE_FULL;
        return Of(File)->Real()->pMethods->xWrite(Of(File)->Real(), Buffer, Amount, Offset);
    }
    static int Truncate(sqlite3_file* File, sqlite3_int64 Size)
    {
        return Of(File)->Real()->pMethods->xTruncate(Of(File)->Real(), Size);
    }
    static int Sync(sqlite3_file* File, int Flags)
    {
        return Of(File)->Real()->pMethods->xSync(Of(File)->Real(), Flags);
    }
    static int FileSize(sqlite3_file* File, sqlite3_int64* Size)
    {
        return Of(File)->Real()->pMethods->xFileSize(Of(File)->Real(), Size);
    }
    static int Lock(sqlite3_file* File, int Level)
    {
        return Of(File)->Real()->pMethods->xLock(Of(File)->Real(), Level);
    }
    static int Unlock(sqlite3_file* File, int Level)
    {
        return Of(File)->Real()->pMethods->xUnlock(Of(File)->Real(), Level);
    }
    static int CheckReservedLock(sqlite3_file* File, int* Out)
    {
        return Of(File)->Real()->pMethods->xCheckReservedLock(Of(File)->Real(), Out);
    }
    static int FileControl(sqlite3_file* File, int Op, void* Arg)
    {
        return Of(File)->Real()->pMethods->xFileControl(Of(File)->Real(), Op, Arg);
    }
    static int SectorSize(sqlite3_file* File) { return Of(File)->Real()->pMethods->xSectorSize(Of(File)->Real()); }
    static int DeviceCharacteristics(sqlite3_file* File)
    {
        return Of(File)->Real()->pMethods->xDeviceCharacteristics(Of(File)->Real());
    }

    static inline TFaultyVfs* Current = nullptr;
    sqlite3_vfs* FBase = nullptr;
    sqlite3_vfs FVfs{};
    sqlite3_io_methods FMethods{};
};
