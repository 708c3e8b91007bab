#pragma once

#include "platform/ui/FilePrompt.h"

#include <QColor>
#include <QList>
#include <QString>
#include <optional>

class QWidget;

// The file and colour dialogs of both programs, in one place so that tests can answer them.
//
// With VX_MSGBOX_LOG set nothing is shown: each prompt is appended to that file as one JSON line
// ({"prompt":"open",..} or {"prompt":"colour",..}) and answered from a script. A file prompt is the
// file prompt of FilePrompt.h and takes the next path of VX_FILEDIALOG_ANSWERS; the colour dialog
// takes the next name of VX_MSGBOX_ANSWERS, the message boxes' own list: a colour as "$" + six
// hexadecimal digits, blue first and red last, or "cancel".

struct TOpenFilePrompt
{
    QString Title;
    QString Filter;        // "caption|pattern|caption|pattern..."
    QString InitialFolder; // with or without its trailing "/"
};
// The chosen path; empty when the user cancelled.
[[nodiscard]] QString PromptOpenFile(QWidget* Owner, const TOpenFilePrompt& Prompt);

// Opens the colour dialog on Initial with the 16 custom colours; on OK answers the chosen colour and
// leaves the dialog's custom colours in Custom. Cancel answers nothing and leaves Custom unchanged.
// AtOwnerCorner puts the dialog at the owner's top-left + (15, 15) inside the work area.
[[nodiscard]] std::optional<QColor> PromptColor(QWidget* Owner, const QColor& Initial, QList<QColor>& Custom,
                                                bool AtOwnerCorner = false);

// "$BBGGRR" as the scripts and the colour values of the programs write a colour; nullopt for any other text.
[[nodiscard]] std::optional<QColor> ColorFromDollarText(const QString& Text);
[[nodiscard]] QString DollarTextOfColor(const QColor& Color);
