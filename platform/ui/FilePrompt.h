#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QFileDialog;
class QWidget;

// The one way both programs ask for a file or a folder.
//
// With VX_MSGBOX_LOG=<file> set nothing is shown, as with the message boxes: the prompt is appended
// to that file as one JSON line {"prompt":..,"kind":"open"|"folder"|"save","title":..,"folder":..,
// "file":..,"filter":..} and answered by the next entry of VX_FILEDIALOG_ANSWERS (comma-separated
// paths; "cancel", or no entry left, cancels). A save prompt's answer "path|N" chooses filter N
// (1-based; the first without it). Processes that tests start are answered so too.
struct TFilePrompt
{
    enum class EKind
    {
        OpenFile, // an existing file
        Folder,   // an existing folder
        SaveFile, // a file to write: it need not exist, a read-only one is refused
    };
    EKind Kind = EKind::OpenFile;
    QString ObjectName;
    QString Title;
    QString StartFolder; // empty: where the dialog starts on its own
    QString SelectFile;  // a file of StartFolder to show selected
    QStringList Filters; // "テキストファイル (*.txt)" ..., the first one chosen
    bool AllowNewFolder = true;
    // Save prompts: the filter the user left chosen, 1-based, once the prompt returns a path.
    int* ChosenFilter = nullptr;
    // Called with the dialog, sized, just before it is shown: the caller places it.
    std::function<void(QFileDialog& Dialog)> Place;
};

// The chosen path (a folder without its trailing "/"), or nothing when the user cancelled.
[[nodiscard]] std::optional<QString> RunFilePrompt(QWidget* Owner, const TFilePrompt& Prompt);

// Places Dialog (sized first) 15 pixels right of and below Owner's top-left corner, pulled back
// inside the work area of Owner's screen: where the file prompts of the settings and import windows
// open.
void PlaceBelowTopLeft(QWidget& Dialog, const QWidget& Owner);

// Starts reading VX_FILEDIALOG_ANSWERS from its first entry again.
void ResetFilePromptAnswers();
