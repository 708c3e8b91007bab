#pragma once

#include "directory/namedic/NMDicP.h"

#include <QObject>
#include <QPointer>
#include <optional>

class TNMDEdit;

// The name-reading pop-up of one window with a pair of name edits: opens, refills and closes it as
// the edits ask, hands it their cursor keys and puts the chosen name into the edits. One pop-up per
// window at a time; the opener lives as long as the window.
class TNameDicOpener : public QObject
{
    Q_OBJECT
public:
    // The opener of Owner, made on first use.
    static TNameDicOpener& For(QWidget* Owner);
    // The opener of Owner if it has one.
    static TNameDicOpener* Find(QWidget* Owner);

    void ConvertNeed(TNMDEdit& Edit, int Kind, bool Show, const QString& Value);
    [[nodiscard]] bool ConvertKeyDown(unsigned Key);

    [[nodiscard]] TNameDicP* Popup() const { return FPopup.data(); }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    explicit TNameDicOpener(QWidget* Owner);
    void NameSelect();

    QWidget* FOwner;
    QPointer<TNameDicP> FPopup;
    QPointer<TNMDEdit> FAsking;
    std::optional<TNameDicChoice> FChoice;
};

// The hooks a window's name edits call (OnConvertNeed, OnConvertKeyDown), for Owner.
void NameDicConvertNeed(QWidget* Owner, TNMDEdit& Edit, int Kind, bool Show, const QString& Value);
[[nodiscard]] bool NameDicConvertKeyDown(QWidget* Owner, unsigned Key);
