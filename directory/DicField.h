#pragma once

#include <QByteArray>
#include <QString>

// Reading of the dictionary libraries' fixed CP932 text fields, and the bytes of the folder
// names the libraries take.

// The text of a fixed field: up to its first NUL, CP932 decoded (a bad byte shows, it is not
// dropped), padding trimmed.
[[nodiscard]] QString FixedFieldText(const char* Field, int Size);

// A folder or file name as the libraries take it: the file system's bytes.
[[nodiscard]] QByteArray PathBytes(const QString& Path);
