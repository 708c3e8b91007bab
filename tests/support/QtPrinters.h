#pragma once

// How a failing assertion shows the Qt values it compared. Without these GoogleTest prints the
// object's bytes ("8-byte object <…>"), which says nothing of the Japanese text that differed. Every
// test program includes this header before anything else (tests/CMakeLists.txt), so the printers are
// found wherever a value is printed.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariant>
#include <ostream>

namespace QtPrinters {

// Bytes as a C string literal: printable ASCII as it is, everything else escaped, so that two CP932
// strings that differ in one trail byte show where.
inline void WriteEscaped(const QByteArray& Bytes, std::ostream& Out)
{
    static const char Hex[] = "0123456789ABCDEF";
    Out << '"';
    for (const char C : Bytes) {
        const unsigned char B = static_cast<unsigned char>(C);
        if (B == '"' || B == '\\')
            Out << '\\' << C;
        else if (B == '\n')
            Out << "\\n";
        else if (B == '\r')
            Out << "\\r";
        else if (B == '\t')
            Out << "\\t";
        else if (B >= 0x20 && B < 0x7F)
            Out << C;
        else
            Out << "\\x" << Hex[B >> 4] << Hex[B & 0x0F];
    }
    Out << '"';
}

// Text as UTF-8 between quotes, with the controls escaped: a terminal shows the Japanese as it is.
inline void WriteText(const QString& Text, std::ostream& Out)
{
    QString Shown;
    Shown.reserve(Text.size() + 2);
    Shown += QLatin1Char('"');
    for (const QChar C : Text) {
        if (C == QLatin1Char('"') || C == QLatin1Char('\\')) {
            Shown += QLatin1Char('\\');
            Shown += C;
        } else if (C == QLatin1Char('\n'))
            Shown += QLatin1String("\\n");
        else if (C == QLatin1Char('\t'))
            Shown += QLatin1String("\\t");
        else if (C.unicode() < 0x20 || C.unicode() == 0x7F)
            Shown += QLatin1String("\\u") + QString::number(C.unicode(), 16).rightJustified(4, QLatin1Char('0'));
        else
            Shown += C; // a surrogate pair stays a pair: the whole text is encoded at once
    }
    Shown += QLatin1Char('"');
    Out << Shown.toUtf8().constData();
}

} // namespace QtPrinters

// Looked up by argument-dependent lookup, so they live beside the Qt types: in the global namespace.
inline void PrintTo(const QString& Text, std::ostream* Out)
{
    if (Text.isNull())
        *Out << "QString()";
    else
        QtPrinters::WriteText(Text, *Out);
}

inline void PrintTo(const QStringList& List, std::ostream* Out)
{
    *Out << '{';
    for (qsizetype I = 0; I < List.size(); ++I) {
        if (I > 0)
            *Out << ", ";
        PrintTo(List[I], Out);
    }
    *Out << '}';
}

inline void PrintTo(const QByteArray& Bytes, std::ostream* Out)
{
    if (Bytes.isNull()) {
        *Out << "QByteArray()";
        return;
    }
    QtPrinters::WriteEscaped(Bytes, *Out);
    *Out << " (" << Bytes.size() << " bytes)";
}

inline void PrintTo(const QDate& Date, std::ostream* Out)
{
    *Out << (Date.isValid() ? Date.toString(Qt::ISODate).toStdString() : std::string("QDate(invalid)"));
}

inline void PrintTo(const QTime& Time, std::ostream* Out)
{
    *Out << (Time.isValid() ? Time.toString(Qt::ISODateWithMs).toStdString() : std::string("QTime(invalid)"));
}

inline void PrintTo(const QDateTime& Stamp, std::ostream* Out)
{
    if (!Stamp.isValid()) {
        *Out << "QDateTime(invalid)";
        return;
    }
    // The zone matters as much as the digits: a local stamp and a UTC one of the same digits differ.
    *Out << Stamp.toString(Qt::ISODateWithMs).toStdString();
    if (Stamp.timeSpec() == Qt::LocalTime)
        *Out << " local";
}

inline void PrintTo(const QVariant& Value, std::ostream* Out)
{
    if (!Value.isValid()) {
        *Out << "QVariant()";
        return;
    }
    *Out << "QVariant(" << Value.typeName() << ", ";
    switch (Value.metaType().id()) {
    case QMetaType::QString:
        PrintTo(Value.toString(), Out);
        break;
    case QMetaType::QByteArray:
        PrintTo(Value.toByteArray(), Out);
        break;
    case QMetaType::QStringList:
        PrintTo(Value.toStringList(), Out);
        break;
    case QMetaType::QDateTime:
        PrintTo(Value.toDateTime(), Out);
        break;
    default:
        if (Value.canConvert<QString>())
            PrintTo(Value.toString(), Out);
        else
            *Out << "…";
    }
    *Out << ')';
}
