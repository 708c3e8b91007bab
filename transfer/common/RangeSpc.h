#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class TUpDown;

// The positions of a list that an export or a print covers, 1-based: 1 <= First <= Last <= total.
struct TRecordRange
{
    int First = 1;
    int Last = 1;
};

// "範囲指定": asks for a start and an end position between 1 and the list's total.
class TRangeSpc : public QDialog
{
    Q_OBJECT
public:
    explicit TRangeSpc(QWidget* Owner = nullptr);

    void SetRange(int Start, int End, int Total);
    // The chosen values; read after result 1.
    void GetRange(int& Start, int& End) const;

    QLabel* pnlTotal;
    QLineEdit* edtBegin;
    TUpDown* udBegin;
    QLineEdit* edtEnd;
    TUpDown* udEnd;
    QPushButton* btnDecision;
    QPushButton* btnCancel;

    void reject() override;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    struct TBox
    {
        QLineEdit* Edit;
        TUpDown* UpDown;
        int Entered = 1; // the value the box held when it took the focus
    };
    [[nodiscard]] TBox& BoxOf(QObject* Watched);
    // Takes a typed value, or puts back the one on entry; answers whether the value changed.
    bool BoxExit(TBox& Box);
    void Changed(TBox& Box, int Value);

    TBox FBegin;
    TBox FEnd;
};
