#pragma once

class QWidget;

// The pick-list editor over Owner, opened on list Tag (0 rank, 1..3 select items), as the list
// buttons of the incoming-call window open it; answers the bits of the lists that changed.
[[nodiscard]] int RunPickListEditor(QWidget* Owner, int Tag);
