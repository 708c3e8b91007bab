#include "main/controls/HdSections.h"

#include <algorithm>

void TMyCustomHeaderSection::Changed(bool WithFollowing)
{
    if (FOwner)
        FOwner->ItemChanged(Index(), WithFollowing);
}

void TMyCustomHeaderSection::SetText(const QString& Value)
{
    if (FText == Value)
        return;
    FText = Value;
    Changed(false);
}

int TMyCustomHeaderSection::Clamp(int Value) const
{
    return std::clamp(Value, FMinWidth, FMaxWidth);
}

void TMyCustomHeaderSection::SetWidth(int Value)
{
    Value = Clamp(Value);
    if (FWidth == Value)
        return;
    FWidth = Value;
    // Every section to the right moves with it, unless this is the last one.
    Changed(FOwner && Index() < FOwner->Count() - 1);
}

void TMyCustomHeaderSection::SetMinWidth(int Value)
{
    FMinWidth = std::clamp(Value, 0, FMaxWidth);
    SetWidth(FWidth);
}

void TMyCustomHeaderSection::SetMaxWidth(int Value)
{
    FMaxWidth = std::clamp(Value, FMinWidth, WidthLimit);
    SetWidth(FWidth);
}

void TMyCustomHeaderSection::SetAlignment(TSectionAlignment Value)
{
    if (FAlignment == Value)
        return;
    FAlignment = Value;
    Changed(false);
}

void TMyCustomHeaderSection::SetStyle(TSectionStyle Value)
{
    if (FStyle == Value)
        return;
    FStyle = Value;
    Changed(false);
}

void TMyCustomHeaderSection::SetImageIndex(int Value)
{
    if (FImageIndex == Value)
        return;
    FImageIndex = Value;
    Changed(false);
}

void TMyCustomHeaderSection::SetAutoSize(bool Value)
{
    if (FAutoSize == Value)
        return;
    FAutoSize = Value;
    Changed(true);
}

int TMyCustomHeaderSection::Index() const
{
    return FOwner ? FOwner->IndexOf(this) : -1;
}

QString TMyCustomHeaderSection::DisplayName() const
{
    return FText.isEmpty() ? QStringLiteral("TMyCustomHeaderSection") : FText;
}

void TMyCustomHeaderSection::Assign(const TMyCustomHeaderSection& Source)
{
    if (FOwner)
        FOwner->BeginUpdate();
    FText = Source.FText;
    FMinWidth = Source.FMinWidth;
    FMaxWidth = Source.FMaxWidth;
    FWidth = Source.FWidth;
    FAlignment = Source.FAlignment;
    FStyle = Source.FStyle;
    FAllowClick = Source.FAllowClick;
    FImageIndex = Source.FImageIndex;
    Changed(true);
    if (FOwner)
        FOwner->EndUpdate();
}

TMyCustomHeaderSection& TMyCustomHeaderSections::Add()
{
    FItems.append(std::shared_ptr<TMyCustomHeaderSection>(new TMyCustomHeaderSection(this)));
    ItemChanged(-1, true);
    return *FItems.back();
}

void TMyCustomHeaderSections::Clear()
{
    FItems.clear();
    ItemChanged(-1, true);
}

int TMyCustomHeaderSections::IndexOf(const TMyCustomHeaderSection* Section) const
{
    for (int I = 0; I < FItems.size(); ++I)
        if (FItems[I].get() == Section)
            return I;
    return -1;
}

int TMyCustomHeaderSections::TotalWidth() const
{
    int Sum = 0;
    for (const auto& Item : FItems)
        Sum += Item->Width();
    return Sum;
}

int TMyCustomHeaderSections::LeftOf(int Index) const
{
    int Left = 0;
    for (int I = 0; I < Index && I < FItems.size(); ++I)
        Left += FItems[I]->Width();
    return Left;
}

void TMyCustomHeaderSections::Move(int From, int To)
{
    if (From < 0 || From >= Count() || To < 0 || To >= Count() || From == To)
        return;
    FItems.move(From, To);
    ItemChanged(-1, true);
}

void TMyCustomHeaderSections::Flip(int ClientWidth)
{
    const int N = Count();
    if (N == 0)
        return;
    const int FirstWidth = FItems.front()->Width();
    int LastWidth = ClientWidth;
    for (int I = 0; I < N - 1; ++I)
        LastWidth -= FItems[I]->Width();
    BeginUpdate();
    std::reverse(FItems.begin(), FItems.end());
    if (N > 1) {
        FItems.back()->SetWidth(FirstWidth);
        FItems.front()->SetWidth(LastWidth);
    }
    FPendingChange = true;
    EndUpdate();
}

void TMyCustomHeaderSections::EndUpdate()
{
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FPendingChange) {
        FPendingChange = false;
        if (OnChange)
            OnChange(-1, true);
    }
}

void TMyCustomHeaderSections::ItemChanged(int Index, bool WithFollowing)
{
    if (FUpdateCount > 0) {
        FPendingChange = true;
        return;
    }
    if (OnChange)
        OnChange(Index, WithFollowing);
}

void AutoSizeSections(TMyCustomHeaderSections& Sections, int ClientWidth)
{
    QList<int> Sharing;
    int Free = ClientWidth;
    for (int I = 0; I < Sections.Count(); ++I) {
        if (Sections[I].AutoSize())
            Sharing << I;
        else
            Free -= Sections[I].Width();
    }
    if (Sharing.isEmpty())
        return;
    Sections.BeginUpdate();
    bool Changed = true;
    while (Changed && !Sharing.isEmpty()) {
        Changed = false;
        const int Share = Free / static_cast<int>(Sharing.size());
        int Remainder = Free % static_cast<int>(Sharing.size());
        QList<int> Kept;
        for (int Index : Sharing) {
            const int Wanted = Share + Remainder;
            Remainder = 0;
            TMyCustomHeaderSection& Section = Sections[Index];
            Section.SetWidth(Wanted);
            if (Section.Width() != Wanted) {
                // Held by its limits: out of the share, and its width no longer free.
                Free -= Section.Width();
                Changed = true;
            } else {
                Kept << Index;
            }
        }
        Sharing = Kept;
    }
    Sections.EndUpdate();
}

void TDividerTrack::Begin(int Section, int StartWidth, int StartX)
{
    FSection = Section;
    FStartWidth = StartWidth;
    FStartX = StartX;
}

int TDividerTrack::WidthAt(int X, const TMyCustomHeaderSection& Limits) const
{
    return Limits.Clamp(FStartWidth + X - FStartX);
}

bool TColumnWidthTracker::TrackEnd(int Width)
{
    // Reset also when nothing changed: otherwise a drag that came back to its start would leave
    // later width changes looking like parts of a drag.
    const bool Changed = FStartWidth >= 0 && Width != FStartWidth;
    FStartWidth = -1;
    return Changed;
}
