#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// An up-down control beside an edit: two arrow buttons stepping a position within a range. The
// position is 32-bit, so long lists can reach every page.
class TUpDown : public QWidget
{
    Q_OBJECT
public:
    explicit TUpDown(QWidget* Parent = nullptr);
    void SetRange(int Min, int Max);
    [[nodiscard]] int Min() const { return FMin; }
    [[nodiscard]] int Max() const { return FMax; }
    [[nodiscard]] int Position() const { return FPosition; }
    // Held within the range.
    void SetPosition(int Value);
    // What the arrows do: one step up or down; a step out of the range is refused.
    void Step(int Delta);
    // What a key in the edit beside steps: Up and Down 1, Page Up and Page Down 10; 0 for any other.
    [[nodiscard]] static int KeyStep(int Key);
    // The position Delta away, held within the range.
    [[nodiscard]] int Stepped(int Delta) const;

    QToolButton* btnUp;
    QToolButton* btnDown;

signals:
    // An arrow moved the position.
    void Clicked(int Position);

private:
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
};

// "ページジャンプ": asks a paged list for the page to show.
class TPageJump : public QDialog
{
    Q_OBJECT
public:
    explicit TPageJump(QWidget* Owner = nullptr);

    // Total: the number of pages; Current: the page shown.
    void SetPages(int Total, int Current);
    // The page chosen; read after result 1.
    void GetPage(int& Page) const;
    [[nodiscard]] int Page() const;

    QLabel* pnlTotal;
    QLabel* pnlNow;
    QLineEdit* edtJump;
    TUpDown* udJump;
    QPushButton* btnDecision;
    QPushButton* btnCancel;

    void reject() override;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void edtJumpEnter();
    void edtJumpExit();
    void udJumpClick(int Position);

    int LastValidPage = 1;
};
