#pragma once

#include <QStringList>

class QLabel;
class QLineEdit;
class TSortListView;
struct TCallerRecord;

// The caller's fields that the incoming-call window and the directory record window show alike,
// under the same control names: the address with its codes, the names, the memos and mail address,
// and the attached files. Both windows fill them from an identified caller, an entry and a
// dictionary look-up through these.
struct TCallerFieldControls
{
    QLineEdit* edtPos;
    QLineEdit* edtTdfkn;
    QLineEdit* edtAdrs1;
    QLineEdit* edtAdrs2;
    QLineEdit* edtAdrs3;
    QLabel* lblJisCode;
    QLabel* lblKajoCode;
    QLineEdit* edtCorpKana;
    QLineEdit* edtCorpKanji;
    QLineEdit* nmedtNameKana;
    QLineEdit* nmedtNameKanji;
    QLineEdit* edtMemo1;
    QLineEdit* edtMemo2;
    QLineEdit* edtMemo3;
    QLineEdit* edtEMail;
};

// Postal code, address, codes, company and person names, trimmed.
void ShowCallerAddressAndNames(const TCallerFieldControls& C, const TCallerRecord& R);
// The three memos and the mail address, trimmed.
void ShowCallerMemos(const TCallerFieldControls& C, const TCallerRecord& R);
// One row a path: its number from 1, the folder with its delimiter, the file name.
void FillAttachedFiles(TSortListView* List, const QStringList& Paths);
// One more row for Path, numbered with the new row count, made current and selected.
void AppendAttachedFile(TSortListView* List, const QString& Path);
// Folder + file name of each row, in order.
[[nodiscard]] QStringList AttachedFilePaths(const TSortListView* List);
