#pragma once

#include <QByteArray>
#include <QString>

// What the three dictionary bindings share: one loaded library held by absolute path, and the
// reading of the libraries' fixed CP932 text fields.
class TDicLibrary
{
public:
    TDicLibrary() = default;
    ~TDicLibrary() { Free(); }
    TDicLibrary(const TDicLibrary&) = delete;
    TDicLibrary& operator=(const TDicLibrary&) = delete;

    // A relative path is refused: a bare name would let the search path pick a file we did not mean.
    [[nodiscard]] bool Load(const QString& AbsolutePath);
    void Free();
    [[nodiscard]] bool Loaded() const { return FHandle != nullptr; }
    [[nodiscard]] void* Symbol(const char* Name) const;

private:
    void* FHandle = nullptr;
};

// The text of a fixed field: up to its first NUL, CP932 decoded (a bad byte shows, it is not
// dropped), padding trimmed.
[[nodiscard]] QString FixedFieldText(const char* Field, int Size);

// A folder or file name as the libraries take it: the file system's bytes.
[[nodiscard]] QByteArray PathBytes(const QString& Path);
