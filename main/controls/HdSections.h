#pragma once

#include <QList>
#include <QString>
#include <functional>
#include <memory>

// The sections of a column header, without the window: widths kept within their limits, the
// sharing of free width among auto-size sections, and the state of a divider drag. The header
// widget and the list windows that draw cells under it both read these.

enum class TSectionAlignment
{
    Left,
    Right,
    Center
};

enum class TSectionStyle
{
    Text,
    OwnerDraw
};

class TMyCustomHeaderSections;

class TMyCustomHeaderSection
{
public:
    static constexpr int DefaultWidth = 50;
    static constexpr int WidthLimit = 10000;

    [[nodiscard]] const QString& Text() const { return FText; }
    void SetText(const QString& Value);
    [[nodiscard]] int Width() const { return FWidth; }
    // Held within MinWidth..MaxWidth.
    void SetWidth(int Value);
    [[nodiscard]] int MinWidth() const { return FMinWidth; }
    // Not below 0, not above MaxWidth; the width is held to the new limit.
    void SetMinWidth(int Value);
    [[nodiscard]] int MaxWidth() const { return FMaxWidth; }
    // Not above 10000, not below MinWidth.
    void SetMaxWidth(int Value);
    [[nodiscard]] TSectionAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TSectionAlignment Value);
    [[nodiscard]] TSectionStyle Style() const { return FStyle; }
    void SetStyle(TSectionStyle Value);
    [[nodiscard]] bool AllowClick() const { return FAllowClick; }
    void SetAllowClick(bool Value) { FAllowClick = Value; }
    [[nodiscard]] int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    [[nodiscard]] bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);

    // The width as the header reports it after a drag: no redraw of the others.
    void SetWidthQuietly(int Value) { FWidth = Clamp(Value); }
    [[nodiscard]] int Clamp(int Value) const;

    [[nodiscard]] int Index() const;
    // The text, or the collection's name for an untitled item.
    [[nodiscard]] QString DisplayName() const;
    // Copies text, width, limits, alignment, style, click permission and image.
    void Assign(const TMyCustomHeaderSection& Source);

private:
    friend class TMyCustomHeaderSections;
    explicit TMyCustomHeaderSection(TMyCustomHeaderSections* Owner) : FOwner(Owner) {}
    void Changed(bool WithFollowing);

    TMyCustomHeaderSections* FOwner;
    QString FText;
    int FWidth = DefaultWidth;
    int FMinWidth = 0;
    int FMaxWidth = WidthLimit;
    TSectionAlignment FAlignment = TSectionAlignment::Left;
    TSectionStyle FStyle = TSectionStyle::Text;
    bool FAllowClick = true;
    int FImageIndex = -1;
    bool FAutoSize = false;
};

class TMyCustomHeaderSections
{
public:
    TMyCustomHeaderSections() = default;
    TMyCustomHeaderSections(const TMyCustomHeaderSections&) = delete;
    TMyCustomHeaderSections& operator=(const TMyCustomHeaderSections&) = delete;

    TMyCustomHeaderSection& Add();
    void Clear();
    [[nodiscard]] int Count() const { return static_cast<int>(FItems.size()); }
    [[nodiscard]] TMyCustomHeaderSection& operator[](int Index) { return *FItems.at(Index); }
    [[nodiscard]] const TMyCustomHeaderSection& operator[](int Index) const { return *FItems.at(Index); }
    [[nodiscard]] int IndexOf(const TMyCustomHeaderSection* Section) const;
    // The sum of all widths.
    [[nodiscard]] int TotalWidth() const;
    // The left edge of a section, all sections laid side by side from 0.
    [[nodiscard]] int LeftOf(int Index) const;

    // The section at From takes the place of the one at To; those between move up by one.
    void Move(int From, int To);
    // Mirrors the order for right-to-left reading: the sections are reversed, the last then takes
    // the first one's former width and the first the rest of ClientWidth.
    void Flip(int ClientWidth);

    // Changes inside BeginUpdate / EndUpdate are reported once, as a change of the whole collection.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();

    // Index: the changed item, -1 for the whole collection. WithFollowing: the items after it
    // moved as well (a width change).
    std::function<void(int Index, bool WithFollowing)> OnChange;

private:
    friend class TMyCustomHeaderSection;
    void ItemChanged(int Index, bool WithFollowing);

    QList<std::shared_ptr<TMyCustomHeaderSection>> FItems;
    int FUpdateCount = 0;
    bool FPendingChange = false;
};

// Hands the free width (ClientWidth less the fixed sections) to the auto-size sections in equal
// shares, the first of them taking the remainder; a section held back by its limits leaves the
// share and its width is taken from the free width; repeated until every share fits.
void AutoSizeSections(TMyCustomHeaderSections& Sections, int ClientWidth);

enum class TMySectionTrackState
{
    Begin,
    Move,
    End
};

// A divider drag: the width follows the mouse from where the drag began, held within the
// section's limits.
class TDividerTrack
{
public:
    void Begin(int Section, int StartWidth, int StartX);
    // The width for mouse position X, clamped by Limits.
    [[nodiscard]] int WidthAt(int X, const TMyCustomHeaderSection& Limits) const;
    void End() { FSection = -1; }
    [[nodiscard]] bool Active() const { return FSection >= 0; }
    [[nodiscard]] int Section() const { return FSection; }
    [[nodiscard]] int StartWidth() const { return FStartWidth; }

private:
    int FSection = -1;
    int FStartWidth = 0;
    int FStartX = 0;
};

// The column-width bookkeeping of a list view's header: the width when a divider drag began, -1
// while none runs, and whether a width the header reports is a change worth an event.
class TColumnWidthTracker
{
public:
    void TrackBegin(int Width) { FStartWidth = Width; }
    [[nodiscard]] bool Tracking() const { return FStartWidth >= 0; }
    // At the end of a drag: true when the width differs from the one at its start.
    [[nodiscard]] bool TrackEnd(int Width);

private:
    int FStartWidth = -1;
};
