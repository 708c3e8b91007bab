#pragma once

#include "transfer/print/PrintItems.h"

#include <QList>
#include <QString>

// Named layouts of a source, kept in LPRHis.tpl (call history) and LPAMeibo.tpl (directory) in the
// data folder: INI text in CP932, one section per template with ItemNo and ItemSize in the layout
// text form, rewritten whole.

inline const QString RecvHisTemplateFile = QStringLiteral("LPRHis.tpl");
inline const QString MeiboTemplateFile = QStringLiteral("LPAMeibo.tpl");
inline const QString LastLayoutName = QStringLiteral("前回のレイアウト");
inline constexpr int MaxTemplates = 10;

inline const QString TemplateNameMissing = QStringLiteral("保存するにはテンプレート名をつけてください  ");
inline const QString TemplateNameReserved =
    QStringLiteral("その名称はアプリケーションで使われています  \r\n別の名称で保存してください  ");
inline const QString TemplateNameTaken =
    QStringLiteral("同じ名称のテンプレートが保存されています  \r\n別の名称で保存してください  ");
inline const QString TemplateNameUnfit = QStringLiteral(
    "テンプレート名に「[」「]」は使えません  \r\n先頭に「;」も使えません  \r\n別の名称で保存してください  ");
inline const QString TemplateNameNotCp932 = QStringLiteral(
    "テンプレート名に使えない文字が含まれています  \r\n別の名称で保存してください  ");
inline const QString TemplateDeleteReserved =
    QStringLiteral("その名称はアプリケーションで使われているため  \r\n削除できません  ");
inline const QString TemplateNotFound = QStringLiteral("指定したテンプレート名が見つかりません  ");
[[nodiscard]] QString TemplateDeleteQuestion(const QString& Name);

struct TLayoutTemplate
{
    QString Name;
    TLayout Layout;
};

// The templates of one source; with HasLastLayout the first is the pseudo-template LastLayoutName.
struct TTemplateList
{
    QList<TLayoutTemplate> Items;
    bool HasLastLayout = false;

    [[nodiscard]] int RealCount() const { return static_cast<int>(Items.size()) - (HasLastLayout ? 1 : 0); }
    [[nodiscard]] bool CanSave() const { return RealCount() < MaxTemplates; }
    [[nodiscard]] QStringList Names() const;
    // The index of the template named exactly Name; -1 when none.
    [[nodiscard]] int IndexOf(const QString& Name) const;
};

// The file's templates, the first MaxTemplates valid sections in file order; each layout cleaned
// for a source of ItemCount items.
[[nodiscard]] TTemplateList LoadTemplateFile(const QString& FileName, int ItemCount);
// Puts LastLayoutName with a copy of Layout first when Layout has entries.
void AddLastLayoutTemplate(TTemplateList& List, const TLayout& Layout);
// Writes the real templates, the pseudo-template left out, to a temporary file renamed into place.
[[nodiscard]] bool SaveTemplateFile(const QString& FileName, const TTemplateList& List);

enum class TTemplateAnswer
{
    Saved,    // appended
    Replaced, // the selected template took the layout
    Deleted,
    Refused,  // Message says why
    NeedsYes, // delete: ask Message (Yes / No) first
};

struct TTemplateResult
{
    TTemplateAnswer Answer = TTemplateAnswer::Refused;
    QString Message;
    int Index = -1; // the template saved, replaced or to delete
};

// Saving the layout under Name (trimmed) with Selected the selected template's index (-1 none).
// Names compare as the file's sections do, ignoring letter case.
[[nodiscard]] TTemplateResult SaveTemplate(TTemplateList& List, const QString& Name, int Selected,
                                           const TLayout& Layout);
// The first step of deleting: a refusal, or NeedsYes with the question and the index.
[[nodiscard]] TTemplateResult FindTemplateToDelete(const TTemplateList& List, const QString& Name);
