#pragma once

#include <QString>

// One outside library, loaded by absolute path only (a bare name would let the search path pick
// a file we did not mean) and unloaded when the object goes. Move-only.
class TDynLib
{
public:
    TDynLib() = default;
    ~TDynLib();
    TDynLib(const TDynLib&) = delete;
    TDynLib& operator=(const TDynLib&) = delete;
    TDynLib(TDynLib&& Other) noexcept;
    TDynLib& operator=(TDynLib&& Other) noexcept;

    // Unloads what was loaded before. A relative path is refused.
    [[nodiscard]] bool Load(const QString& AbsolutePath);
    void Free();

    [[nodiscard]] bool Loaded() const { return FHandle != nullptr; }
    [[nodiscard]] void* Handle() const { return FHandle; }

    // The address of an export, or null (ErrorText then tells why).
    [[nodiscard]] void* Symbol(const char* Name);
    template <typename TProc> [[nodiscard]] TProc SymbolAs(const char* Name)
    {
        return reinterpret_cast<TProc>(Symbol(Name));
    }

    // The loader's words for the last failure of this object.
    [[nodiscard]] const QString& ErrorText() const { return FErrorText; }

private:
    void* FHandle = nullptr;
    QString FErrorText;
};
