#pragma once

#include <QWidget>
#include <functional>

// The up-down beside a number edit: two arrow buttons and a position within Min..Max. A click asks
// OnChanging first; the position moves only when it answers true. The settings dialog and the list
// print window share it, so a number edit means the same everywhere.
class TNumberUpDown : public QWidget
{
    Q_OBJECT
public:
    TNumberUpDown(int Min, int Max, QWidget* Parent);
    [[nodiscard]] int Position() const { return FPosition; }
    [[nodiscard]] int Min() const { return FMin; }
    [[nodiscard]] int Max() const { return FMax; }
    void SetRange(int Min, int Max);
    // Clamped to Min..Max, as the control does with any position it is given.
    void SetPosition(int Value);
    // A change by the user: refused out of range or when OnChanging says no.
    bool RequestChange(int NewValue);
    std::function<bool(int NewValue)> OnChanging;

private:
    int FMin;
    int FMax;
    int FPosition;
};

// Up, Down and the page keys move the up-down, the page keys by PageStep and within its range.
// Answers whether Key was one of them.
bool StepUpDown(TNumberUpDown* UpDown, int Key, int PageStep);
