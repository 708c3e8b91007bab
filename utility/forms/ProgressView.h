#pragma once

#include <QWidget>

class QLabel;
class QProgressBar;

namespace Utility {

// The small window that shows how far the silent conversion is: a bare pop-up without caption bar,
// frame or task-bar entry, in the middle of the screen.
class TProgressView : public QWidget
{
    Q_OBJECT

public:
    explicit TProgressView(QWidget* Parent = nullptr);

    QLabel* lblMsg = nullptr;
    QProgressBar* pgbarConvert = nullptr;

    void SetRange(int Max, int Min, int Position);
    // Advances the bar and lets the waiting window messages run: the only place where they run
    // during a long copy.
    void Step(int Delta);
    void ShowCentred();
};

} // namespace Utility
