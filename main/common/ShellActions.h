#pragma once

#include <QString>

class QLineEdit;
class QWidget;

// The mail and attached-file buttons of the incoming-call and record windows.

// A blank edit: "メールアドレスを入力してください  " and the caret to the end of the edit. Otherwise the
// address goes to the desktop's mail program; a failure is reported with the opener's code (0: it
// reports none).
void SendMailTo(QWidget* Owner, QLineEdit* Edit);

// Folder + file name to the desktop's opener. A missing file does nothing; a program, script or
// launcher is refused with a message.
void OpenAttachedFile(QWidget* Owner, const QString& Path);
