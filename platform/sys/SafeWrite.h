#pragma once

#include <QByteArray>
#include <QString>

// Who may read a file once it is written. Everything the programs write holds customers' data or
// settings, so a new file is the owner's alone whatever the umask.
enum class TFileAccess
{
    KeepMode,  // 0600 for a new file; an existing file keeps its mode (a file the administrator shares)
    OwnerOnly, // 0600, always
};

enum class TSafeWriteResult
{
    Written,
    CannotCreate, // the temporary file could not be made (folder missing or not writable)
    WriteFailed,  // writing, flushing or renaming failed; the temporary file is gone
};

// Replaces FileName with Bytes so that a reader, or a crash, sees either the old file or the new one:
// a temporary file in the same folder, written, fsync'ed, renamed into place, and the folder synced.
// Error, when given, takes the errno of a failure (0 when written), for telling the user why.
[[nodiscard]] TSafeWriteResult WriteFileSafely(const QString& FileName, const QByteArray& Bytes,
                                               TFileAccess Access = TFileAccess::KeepMode, int* Error = nullptr);

// The same replacement for a file written piece by piece, so nothing need be held in memory: Open
// makes the temporary file, Write adds bytes, Commit puts the file in place. A writer destroyed
// without Commit removes its temporary file and leaves the old file whole. With Append the pieces
// go straight onto the end of the file (created when missing), and what was written stays.
class TSafeFileWriter
{
public:
    TSafeFileWriter() = default;
    ~TSafeFileWriter();
    TSafeFileWriter(const TSafeFileWriter&) = delete;
    TSafeFileWriter& operator=(const TSafeFileWriter&) = delete;

    [[nodiscard]] TSafeWriteResult Open(const QString& FileName, bool Append = false,
                                        TFileAccess Access = TFileAccess::KeepMode);
    [[nodiscard]] bool Write(const char* Data, qsizetype Size);
    [[nodiscard]] bool Write(const QByteArray& Bytes) { return Write(Bytes.constData(), Bytes.size()); }
    [[nodiscard]] TSafeWriteResult Commit();
    // The errno of the last failure, for the system's message.
    [[nodiscard]] int Error() const { return FError; }

private:
    void Discard();
    int FFd = -1;
    bool FAppend = false;
    int FError = 0;
    QByteArray FTarget;
    QByteArray FTemporary;
};

// Copies Source to Dest, a new file (an existing Dest is an error, as with QFile::copy) made 0600 from
// the start and synced before the answer. Error, when given, takes the errno of a failure.
[[nodiscard]] bool CopyFileOwnerOnly(const QString& Source, const QString& Dest, int* Error = nullptr);

// Removes the temporary files that writes of FileName left behind when their process was killed
// before the rename: "<FileName>.tmp-" and six characters, as the writers above name them. Only the
// program that owns FileName calls it, when it starts, before it writes the file itself.
void RemoveSafeWriteTemporaries(const QString& FileName);
