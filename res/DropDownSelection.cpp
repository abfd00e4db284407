#include "res/DropDownSelection.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QItemSelectionModel>

#include <utility>

namespace tvx::res {

namespace {

// Watches the open list: the item that becomes current while a key is down
// was stepped to; one that becomes current under the mouse was only hovered.
class SelectionWatch : public QObject {
public:
    SelectionWatch(QComboBox *list, std::function<void(int)> onChange)
        : QObject(list), list_(list), onChange_(std::move(onChange))
    {
        // The open list is made when it is first needed (asking for it makes
        // it, a pop-up window per list): it is watched from its first polish,
        // which comes before it first shows.
        list->installEventFilter(this);
        // A list whose open list is already made (asked for earlier) is watched now.
        if (auto *made = list->findChild<QFrame *>(QString(), Qt::FindDirectChildrenOnly))
            WatchOpenList(made);
        // A pick with the mouse or Enter, and every key step of the closed list.
        connect(list, &QComboBox::activated, this, [this](int index) {
            if (std::exchange(sentFromOpenList_, -1) != index)
                onChange_(index);
        });
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == list_) {
            if (event->type() == QEvent::ChildPolished)
                WatchOpenList(static_cast<QChildEvent *>(event)->child());
            return false;
        }
        switch (event->type()) {
        case QEvent::Show:
            keyDown_ = false;
            sentFromOpenList_ = -1;
            break;
        case QEvent::KeyPress:
            keyDown_ = true;
            break;
        case QEvent::KeyRelease:
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
            keyDown_ = false;
            break;
        default:
            break;
        }
        return false;
    }

private:
    // child: a widget of the list just polished; the open list's pop-up
    // holds the item view.
    void WatchOpenList(QObject *child)
    {
        auto *view = child ? child->findChild<QAbstractItemView *>() : nullptr;
        if (!view || view != list_->view())
            return;
        list_->removeEventFilter(this);
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
            OnCurrentInOpenList(current);
        });
    }

    void OnCurrentInOpenList(const QModelIndex &current)
    {
        if (!keyDown_ || !list_->view()->isVisible() || !current.isValid() || current.row() == list_->currentIndex())
            return;
        // The list's selection follows the keys, as it would closed.
        list_->setCurrentIndex(current.row());
        sentFromOpenList_ = current.row();
        onChange_(current.row());
    }

    QComboBox *list_;
    std::function<void(int)> onChange_;
    bool keyDown_ = false;       // a key is being handled in the open list
    int sentFromOpenList_ = -1;  // the item the keys sent last while the list was open
};

}  // namespace

void NotifySelectionChanges(QComboBox *list, std::function<void(int index)> onChange)
{
    if (list)
        new SelectionWatch(list, std::move(onChange));
}

}  // namespace tvx::res
