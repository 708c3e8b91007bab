#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <chrono>

// How long one batch of an import may hold the program's only thread. Each commit writes every
// page the batch touched, first to the journal and then to the table, and waits for the disk each
// time: the longer the batch, the less a line costs. But nothing else runs meanwhile, so a batch
// ends at once when a call's notification waits or the program is told to end, stays short while
// the user works with the program, and runs up to half a second while nobody does: longer ones
// save little more, as most pages of the indexes are written by then anyway.
class TImportPace : public QObject
{
public:
    static constexpr std::chrono::milliseconds BusyBatch{50};
    static constexpr std::chrono::milliseconds IdleBatch{500};
    // Batches stay short this long after the user's last key, click or move.
    static constexpr qint64 QuietMsecs = 2000;

    // Watches the application's input for as long as it lives.
    TImportPace();
    ~TImportPace() override;

    // The first batch is short as well: the bar moves and the first rows are in the table at once.
    [[nodiscard]] std::chrono::milliseconds NextBudget();
    // Another thread waits for this one (a sent message), or the end of the program has been asked.
    [[nodiscard]] static bool OthersWaiting();

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    QElapsedTimer FLastInput;
    bool FStarted = false;
};
