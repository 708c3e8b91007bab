// List views that outlive the event loop: a window closed while the program shuts down is freed
// after QApplication::exec has returned, with its model, its scratch row and its handlers.
#include "widelayer/UniSortListView.h"

#include <QApplication>
#include <QHeaderView>
#include <QTimer>
#include <QVBoxLayout>
#include <cstdio>
#include <memory>

namespace {

TUniSortListView* MakeView(QWidget* Parent, bool OwnerData)
{
    auto* View = new TUniSortListView(Parent);
    View->SetOwnerData(OwnerData);
    View->SetMultiSelect(true);
    View->Columns().Add(QStringLiteral("日時"), 120);
    View->Columns().Add(QStringLiteral("𠮷"), 120);
    View->OnData = [](TUniListItem* Item) {
        Item->SetCaption(QStringLiteral("行%1").arg(Item->Index()));
        Item->SubItems().Add(QStringLiteral("😀"));
    };
    View->OnSortChange = [View](int, int) { (void)View->SortIndex(); };
    View->OnColumnWidthChange = [View](int Column) { (void)View->Columns()[Column]->Width(); };
    View->OnChange = [View](TUniListItem* Item, TItemChange) { (void)View->Items().Count(); };
    View->OnSelectItem = [](TUniListItem* Item, bool) { (void)Item->Caption(); };
    if (OwnerData) {
        View->Items().SetCount(500);
    } else {
        for (int I = 0; I < 50; ++I) {
            TUniListItem* Item = View->Items().Add();
            Item->SetCaption(QStringLiteral("項目%1").arg(I));
            Item->SubItems().Add(QStringLiteral("副"));
        }
    }
    return View;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication App(argc, argv);
    auto Window = std::make_unique<QWidget>();
    auto* Layout = new QVBoxLayout(Window.get());
    TUniSortListView* Owned = MakeView(Window.get(), true);
    Layout->addWidget(Owned);
    Layout->addWidget(MakeView(Window.get(), false));
    std::unique_ptr<TUniSortListView> Loose(MakeView(nullptr, false));
    Window->show();
    Loose->show();
    QTimer::singleShot(0, [&] {
        Owned->SetItemIndex(3);
        Loose->SetItemIndex(7);
        Loose->Items()[9]->SetSelected(true);
        Owned->ColClick(1);
        Loose->SetSortDir(sdDesc);
        Loose->SetColumnWidth(0, 90);
    });
    QTimer::singleShot(200, &App, &QApplication::quit);
    const int Result = App.exec();

    // The loop is over: free the views with selections, pending repaints and handlers still in place.
    Loose.reset();
    Window.reset();
    std::puts("late destruction done");
    return Result;
}
