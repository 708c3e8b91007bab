#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What the outgoing-call dialog offers and asks, apart from its controls.

// The ports an adapter can dial on, by number (1..5), from its mask of dial-capable ports (bit 0 = port 1).
[[nodiscard]] QList<int> DialPortNumbers(int DialPortsMask);
// "ポート１" .. "ポート５".
[[nodiscard]] QString DialPortCaption(int Port);
// The stored entry index, or 0 when the list has no such entry.
[[nodiscard]] int DialPortIndex(int Stored, int EntryCount);
// The numbers a window hands over, without the empty ones, in their order.
[[nodiscard]] QStringList DialNumbers(const QStringList& Numbers);
// The question before a dial, with the number as the user typed it.
[[nodiscard]] QString DialConfirmText(const QString& Number);
inline const QString NoExtensionText =
    QStringLiteral("使用する電話機の内線番号が設定されていません  \r\n環境設定で事前に設定しておく必要があります  ");
