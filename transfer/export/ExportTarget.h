#pragma once

#include <QString>

// The target files of an export run: the names the save dialogs give, and the questions asked
// about them.

// A plain-text target as chosen: trimmed, and a name without extension gets ".txt" under the text
// and all-files filters (1 and 3) and ".csv" under the CSV filter (2).
[[nodiscard]] QString TextTargetName(const QString& Chosen, int FilterIndex);
// A self-restoring target as chosen: trimmed, its extension replaced by ".exe" (added when it has none).
[[nodiscard]] QString ExeTargetName(const QString& Chosen);

inline const QString TextTargetFilter =
    QStringLiteral("テキストファイル (*.txt)|*.txt|ＣＳＶファイル (*.csv)|*.csv|すべてのファイル (*.*)|*.*");
inline const QString MsgFolderNotMade = QStringLiteral("フォルダーが作成できませんでした  ");
inline const QString MsgTextTargetExists =
    QStringLiteral("既にあるファイルを指定しました  \r\n上書きするなら「はい」\r\n追加するなら「いいえ」\r\n"
                   "中止するなら「キャンセル」\r\nを選択してください  ");
// The question before the last target is used again.
[[nodiscard]] QString ChangeTargetText(const QString& Path);

// The questions of the three scopes. Directory: the all-records texts end in one space, not two.
[[nodiscard]] QString SelectedQuestion(int Count);
[[nodiscard]] QString RangeQuestion(int Start, int End);
[[nodiscard]] QString AllQuestion(int Count, bool HasConditions, bool Directory);
