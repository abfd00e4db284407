// A drop-down list's selection changes as a dialog handler expects them: one
// call for every item the user passes with the keys, whether the list is
// closed or open, and one for an item picked with the mouse or confirmed
// with Enter unless the keys already sent it. Hovering over the open list
// and changes made by code call nothing. UI thread only.
#pragma once

#include <functional>

class QComboBox;

namespace tvx::res {

// Calls onChange with the new index after each such change of list's
// selection; by then list->currentIndex() is that index. Holds for as long as
// the list keeps its model.
void NotifySelectionChanges(QComboBox *list, std::function<void(int index)> onChange);

}  // namespace tvx::res
