#include "main/common/ShellActions.h"

#include "main/common/CommonText.h"
#include "main/common/FormParts.h"
#include "main/common/MsgBoxPos.h"
#include "main/common/ProductInfo.h"
#include "main/common/ShellOpen.h"
#include "main/identify/AppSub.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QUrl>

void SendMailTo(QWidget* Owner, QLineEdit* Edit)
{
    const QString Address = TrimBlanks(Edit->text());
    if (Address.isEmpty()) {
        (void)MessageBoxPos(Owner, QStringLiteral("メールアドレスを入力してください  "), ProductName,
                            MB_OK | MB_ICONINFORMATION);
        CaretToEnd(Edit);
        return;
    }
    EnsureMailtoProtocol();
    // The desktop's opener tells only whether it worked, so the code shown for a failure is 0.
    if (!QDesktopServices::openUrl(QUrl(MailtoUrlText(Address), QUrl::StrictMode)))
        (void)MessageBoxPos(Owner, QStringLiteral("メールソフトが起動できませんでした  \r\nResult = 0"), ProductName,
                            MB_OK | MB_ICONINFORMATION);
}

void OpenAttachedFile(QWidget* Owner, const QString& Path)
{
    switch (ClassifyAttachedFile(Path)) {
    case TAttachedFileKind::Missing:
        return;
    case TAttachedFileKind::Runnable:
        (void)MessageBoxPos(Owner,
                            QStringLiteral("「") + Path +
                                QStringLiteral("」はプログラムとして実行されるファイルのため開けません  "),
                            ProductName, MB_OK | MB_ICONWARNING);
        return;
    case TAttachedFileKind::Unlisted:
        (void)MessageBoxPos(
            Owner,
            QStringLiteral("「") + Path +
                QStringLiteral("」は文書や画像として開くことのできない種類のファイルのため開けません  "),
            ProductName, MB_OK | MB_ICONWARNING);
        return;
    case TAttachedFileKind::Document:
        (void)QDesktopServices::openUrl(QUrl::fromLocalFile(Path));
        return;
    }
}
