#include "main/common/CallerFields.h"

#include "main/common/CallerRec.h"
#include "main/common/CommonText.h"
#include "main/controls/SortListView.h"

#include <QLabel>
#include <QLineEdit>

void ShowCallerAddressAndNames(const TCallerFieldControls& C, const TCallerRecord& R)
{
    C.edtPos->setText(TrimBlanks(R.Pos));
    C.edtTdfkn->setText(TrimBlanks(R.Tdfkn));
    C.edtAdrs1->setText(TrimBlanks(R.Adrs1));
    C.edtAdrs2->setText(TrimBlanks(R.Adrs2));
    C.edtAdrs3->setText(TrimBlanks(R.Adrs3));
    C.lblJisCode->setText(TrimBlanks(R.JisCode));
    C.lblKajoCode->setText(TrimBlanks(R.KajoCode));
    C.edtCorpKana->setText(TrimBlanks(R.CorpKana));
    C.edtCorpKanji->setText(TrimBlanks(R.CorpKanji));
    // The kanji first: the kanji edit empties its reading partner when it is emptied itself.
    C.nmedtNameKanji->setText(TrimBlanks(R.NameKanji));
    C.nmedtNameKana->setText(TrimBlanks(R.NameKana));
}

void ShowCallerMemos(const TCallerFieldControls& C, const TCallerRecord& R)
{
    C.edtMemo1->setText(TrimBlanks(R.Memo1));
    C.edtMemo2->setText(TrimBlanks(R.Memo2));
    C.edtMemo3->setText(TrimBlanks(R.Memo3));
    C.edtEMail->setText(TrimBlanks(R.EMail));
}

namespace {

QTreeWidgetItem* NewFileRow(TSortListView* List, const QString& Path)
{
    // Entries brought over from earlier versions may still hold a backslash as the folder delimiter.
    const int Slash = static_cast<int>(std::max(Path.lastIndexOf(u'/'), Path.lastIndexOf(u'\\')));
    auto* Item = new QTreeWidgetItem(List);
    Item->setText(0, QString::number(List->topLevelItemCount()));
    Item->setText(1, Path.left(Slash + 1));
    Item->setText(2, Path.mid(Slash + 1));
    return Item;
}

} // namespace

void FillAttachedFiles(TSortListView* List, const QStringList& Paths)
{
    List->clear();
    for (const QString& Path : Paths)
        NewFileRow(List, Path);
}

void AppendAttachedFile(TSortListView* List, const QString& Path)
{
    QTreeWidgetItem* Item = NewFileRow(List, Path);
    List->setCurrentItem(Item);
    Item->setSelected(true);
}

QStringList AttachedFilePaths(const TSortListView* List)
{
    QStringList Paths;
    for (int Row = 0; Row < List->topLevelItemCount(); ++Row) {
        const QTreeWidgetItem* Item = List->topLevelItem(Row);
        Paths << Item->text(1) + Item->text(2);
    }
    return Paths;
}
