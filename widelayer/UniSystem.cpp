#include "widelayer/UniSystem.h"

#include "platform/text/Cp932.h"
#include "widelayer/UniSysUtils.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <iconv.h>
#include <string>

namespace {

std::atomic<int> GDefaultCodePage{CP_SJIS};

int Resolve(int CodePage)
{
    return CodePage == 0 ? DefaultCodePage() : CodePage;
}

class TIconvHandle
{
public:
    TIconvHandle(const QByteArray& To, const QByteArray& From) : Handle(iconv_open(To.constData(), From.constData())) {}
    ~TIconvHandle()
    {
        if (Valid())
            iconv_close(Handle);
    }
    TIconvHandle(const TIconvHandle&) = delete;
    TIconvHandle& operator=(const TIconvHandle&) = delete;
    [[nodiscard]] bool Valid() const { return Handle != reinterpret_cast<iconv_t>(-1); }
    iconv_t Handle;
};

QByteArray IconvName(int CodePage)
{
    return "CP" + QByteArray::number(CodePage);
}

[[noreturn]] void RefuseCodePage(int CodePage)
{
    throw EUniGeneralError(QStringLiteral("コード ページ %1 の文字は変換できません。").arg(CodePage));
}

// One character at a time, so that a character the code page lacks costs only itself.
QByteArray IconvEncode(const QString& Text, int CodePage)
{
    TIconvHandle Cd(IconvName(CodePage), "UTF-32LE");
    if (!Cd.Valid())
        RefuseCodePage(CodePage);
    QByteArray Out;
    for (char32_t Ch : Text.toUcs4()) {
        char In[4] = {char(Ch & 0xFF), char((Ch >> 8) & 0xFF), char((Ch >> 16) & 0xFF), char(Ch >> 24)};
        char Buf[16];
        char* InPtr = In;
        size_t InLeft = 4;
        char* OutPtr = Buf;
        size_t OutLeft = sizeof Buf;
        if (iconv(Cd.Handle, &InPtr, &InLeft, &OutPtr, &OutLeft) == size_t(-1)) {
            iconv(Cd.Handle, nullptr, nullptr, nullptr, nullptr);
            Out += '?';
            continue;
        }
        Out.append(Buf, OutPtr - Buf);
    }
    return Out;
}

QString IconvDecode(const QByteArray& Bytes, int CodePage)
{
    TIconvHandle Cd("UTF-16LE", IconvName(CodePage));
    if (!Cd.Valid())
        RefuseCodePage(CodePage);
    QString Out;
    char* InPtr = const_cast<char*>(Bytes.constData());
    size_t InLeft = size_t(Bytes.size());
    while (InLeft > 0) {
        char16_t Buf[256];
        char* OutPtr = reinterpret_cast<char*>(Buf);
        size_t OutLeft = sizeof Buf;
        const size_t Rc = iconv(Cd.Handle, &InPtr, &InLeft, &OutPtr, &OutLeft);
        Out.append(QStringView(Buf, (reinterpret_cast<char16_t*>(OutPtr) - Buf)));
        if (Rc == size_t(-1) && errno != E2BIG) {
            // An invalid or cut-off byte is shown, not dropped, and reading goes on after it.
            Out += QChar::ReplacementCharacter;
            ++InPtr;
            --InLeft;
            iconv(Cd.Handle, nullptr, nullptr, nullptr, nullptr);
        }
    }
    return Out;
}

// --- UTF-7 -------------------------------------------------------------------------------------

constexpr char Base64Chars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char DirectChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789'(),-./:?";
constexpr char OptionalDirectChars[] = "!\"#$%&*;<=>@[]^_`{|}";
constexpr char SpaceChars[] = "\t\r\n ";

struct TUtf7Tables
{
    std::array<int, 128> Base64Value{};
    std::array<bool, 128> Plain{};

    TUtf7Tables()
    {
        Base64Value.fill(-1);
        for (int I = 0; Base64Chars[I]; ++I)
            Base64Value[uchar(Base64Chars[I])] = I;
        for (const char* Set : {DirectChars, OptionalDirectChars, SpaceChars})
            for (const char* P = Set; *P; ++P)
                Plain[uchar(*P)] = true;
    }
};

const TUtf7Tables& Utf7()
{
    static const TUtf7Tables Tables;
    return Tables;
}

bool IsBase64(char16_t Ch)
{
    return Ch < 128 && Utf7().Base64Value[Ch] >= 0;
}

} // namespace

void SetDefaultCodePage(int CodePage)
{
    GDefaultCodePage = CodePage;
}

int DefaultCodePage()
{
    return GDefaultCodePage;
}

bool IsCodePageSupported(int CodePage)
{
    CodePage = Resolve(CodePage);
    if (CodePage == CP_SJIS || CodePage == CP_UTF7 || CodePage == CP_UTF8)
        return true;
    return CodePage > 0 && TIconvHandle("UTF-16LE", IconvName(CodePage)).Valid();
}

QByteArray WideStringToStringEx(const QString& Text, int CodePage)
{
    switch (CodePage = Resolve(CodePage)) {
    case CP_SJIS:
        return Cp932EncodeChecked(Text).Bytes;
    case CP_UTF7:
        return WideStringToUTF7(Text);
    case CP_UTF8:
        return Text.toUtf8();
    default:
        if (CodePage < 0)
            RefuseCodePage(CodePage);
        return IconvEncode(Text, CodePage);
    }
}

QString StringToWideStringEx(const QByteArray& Bytes, int CodePage)
{
    switch (CodePage = Resolve(CodePage)) {
    case CP_SJIS:
        return *Cp932Decode(Bytes, TDecodeMode::Substitute);
    case CP_UTF7:
        return UTF7ToWideString(Bytes);
    case CP_UTF8:
        return QString::fromUtf8(Bytes);
    default:
        if (CodePage < 0)
            RefuseCodePage(CodePage);
        return IconvDecode(Bytes, CodePage);
    }
}

QByteArray WideStringToUTF7(const QString& Text)
{
    const TUtf7Tables& T = Utf7();
    QByteArray Out;
    bool Shifted = false;
    quint32 Bits = 0;
    int BitCount = 0;
    auto CloseRun = [&] {
        if (BitCount > 0)
            Out += Base64Chars[(Bits << (6 - BitCount)) & 0x3F];
        Bits = 0;
        BitCount = 0;
        Shifted = false;
    };
    for (const QChar QCh : Text) {
        const char16_t Ch = QCh.unicode();
        if (Ch < 128 && T.Plain[Ch]) {
            if (Shifted) {
                CloseRun();
                // Only a character a decoder could take for more of the run needs the explicit end.
                if (IsBase64(Ch) || Ch == u'-')
                    Out += '-';
            }
            Out += char(Ch);
        } else if (Ch == u'+' && !Shifted) {
            Out += "+-";
        } else {
            if (!Shifted) {
                Out += '+';
                Shifted = true;
            }
            Bits = (Bits << 16) | Ch;
            BitCount += 16;
            while (BitCount >= 6) {
                BitCount -= 6;
                Out += Base64Chars[(Bits >> BitCount) & 0x3F];
            }
            Bits &= (1u << BitCount) - 1;
        }
    }
    if (Shifted)
        CloseRun();
    return Out;
}

QString UTF7ToWideString(const QByteArray& Bytes)
{
    const TUtf7Tables& T = Utf7();
    auto Invalid = [] { return EUniGeneralError(QStringLiteral("Invalid UTF7")); };
    QString Out;
    const qsizetype N = Bytes.size();
    qsizetype I = 0;
    while (I < N) {
        const uchar Ch = uchar(Bytes[I]);
        if (Ch > 127)
            throw Invalid();
        if (Ch != '+') {
            Out += QChar(Ch);
            ++I;
            continue;
        }
        ++I;
        if (I < N && Bytes[I] == '-') {
            Out += u'+';
            ++I;
            continue;
        }
        quint32 Bits = 0;
        int BitCount = 0;
        bool Produced = false;
        while (I < N && uchar(Bytes[I]) < 128 && T.Base64Value[uchar(Bytes[I])] >= 0) {
            Bits = (Bits << 6) | quint32(T.Base64Value[uchar(Bytes[I])]);
            BitCount += 6;
            if (BitCount >= 16) {
                BitCount -= 16;
                Out += QChar(char16_t((Bits >> BitCount) & 0xFFFF));
                Produced = true;
            }
            Bits &= (1u << BitCount) - 1;
            ++I;
        }
        if (!Produced || Bits != 0)
            throw Invalid();
        if (I < N && Bytes[I] == '-')
            ++I;
    }
    return Out;
}

void StrSwapByteOrder(char16_t* Str)
{
    for (; *Str; ++Str)
        *Str = char16_t((*Str << 8) | (*Str >> 8));
}

QString WideStringFromBuffer(const char16_t* Str, qsizetype Length)
{
    if (Str == nullptr)
        return QString();
    if (Length < 0)
        Length = std::char_traits<char16_t>::length(Str);
    // Unit by unit: a leading U+FEFF or U+FFFE is a character here, not a byte-order mark.
    return QString(reinterpret_cast<const QChar*>(Str), Length);
}
