#pragma once

#include <QByteArray>
#include <QString>

// Who may read a file once it is written. Files that hold passwords are the owner's alone.
enum class TFileAccess
{
    Shared,    // 0644 for a new file; an existing file keeps its mode
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
[[nodiscard]] TSafeWriteResult WriteFileSafely(const QString& FileName, const QByteArray& Bytes,
                                               TFileAccess Access = TFileAccess::Shared);
