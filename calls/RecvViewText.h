#pragma once

#include <QString>

// Captions of the incoming-call window that both its filling and its handlers set.
namespace RecvViewText {
inline const QString TextNew = QStringLiteral("新規");
inline const QString TextExisting = QStringLiteral("既存");
inline const QString CaptionRegister = QStringLiteral("名簿登録(&A)");
inline const QString CaptionUpdate = QStringLiteral("名簿変更(&U)");
inline const QString CaptionLock = QStringLiteral("ロック(&L)");
inline const QString CaptionUnlock = QStringLiteral("アンロック(&L)");
inline const QString CaptionView = QStringLiteral("着信照会");
inline const QString SearchedTelCaption = QStringLiteral("検索電話番号");
} // namespace RecvViewText
