#pragma once

#include <QString>

// The rules by which the address-book dialog names, deletes and renames books. Deletions and
// renames only go into the journal and mark the book in FbAdrsBooks; the folder work is the
// journal run's, in this program or in the main program.
namespace Utility {

inline const QString BookNameEmptyText = QStringLiteral("空白の名前に変更することはできません  ");
inline const QString BookNameDotText = QStringLiteral("' . ' で始まる名前は指定できません  ");
inline const QString BookNameLengthText = QStringLiteral("アドレス帳の名前の長さは全角で５０文字分までです  ");
inline const QString BookNameTakenText = QStringLiteral("指定された名前のアドレス帳は既に存在します  ");

// "アドレス帳には次の文字は使えません" and the forbidden characters, each after a blank.
[[nodiscard]] QString ForbiddenCharsText();

// The message that refuses S as a book name by its first characters or its characters (beginning
// with ".", a forbidden or control character); "" when neither rule refuses it.
[[nodiscard]] QString BookNameCharRefusal(const QString& S);

// The first index of FbAdrsBooks whose name equals Name without regard to case; -1 when none.
[[nodiscard]] int FindBookByName(const QString& Name);

// Marks the book named Name for deletion and journals it. False when the journal could not be written.
[[nodiscard]] bool JournalBookDeletion(const QString& AdrsFolder, const QString& Name);
// Gives the book named OldName the name NewName and journals the rename.
[[nodiscard]] bool JournalBookRename(const QString& AdrsFolder, const QString& OldName, const QString& NewName);

// Makes Name the chosen book. A listed book of that name stays as it is; otherwise the new book is
// added to FbAdrsBooks: under its own folder, or, while a pending deletion or rename
// still holds a folder of that name, under the first free "Name（k）" folder with a journaled rename
// to Name. Nothing is added when a book has the folder already. Then makes the book's folder when
// missing; false when it cannot be made.
[[nodiscard]] bool AddNewBook(const QString& AdrsFolder, const QString& Name);

} // namespace Utility
