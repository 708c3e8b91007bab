#include "calls/DialPorts.h"

QList<int> DialPortNumbers(int DialPortsMask)
{
    QList<int> Ports;
    for (int Bit = 0; Bit < 5; ++Bit)
        if (DialPortsMask & (1 << Bit))
            Ports << Bit + 1;
    return Ports;
}

QString DialPortCaption(int Port)
{
    static const QString Digits = QStringLiteral("０１２３４５６７８９");
    return QStringLiteral("ポート") + Digits.at(std::clamp(Port, 0, 9));
}

int DialPortIndex(int Stored, int EntryCount)
{
    return Stored >= 0 && Stored < EntryCount ? Stored : 0;
}

QStringList DialNumbers(const QStringList& Numbers)
{
    QStringList Out;
    for (const QString& Number : Numbers)
        if (!Number.isEmpty())
            Out << Number;
    return Out;
}

QString DialConfirmText(const QString& Number)
{
    return QStringLiteral("「") + Number + QStringLiteral("」に電話をかけます  \r\nよろしいですか？  ");
}
