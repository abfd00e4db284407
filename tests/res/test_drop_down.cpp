// A drop-down list reports each item stepped to in its open list, whether its
// open list was made and polished before the watch began or is made when
// first shown.
#include "res/DropDownSelection.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(DropDownSelectionTest, OpenListStepsAreSentHoweverTheListWasMade)
{
    for (const bool madeFirst : {false, true}) {
        SCOPED_TRACE(madeFirst ? "open list made and polished before the watch" : "open list made when first shown");
        QComboBox list;
        list.addItems({"A", "B", "C"});
        if (madeFirst) {
            list.view();
            list.show();
        }
        std::vector<int> sent;
        tvx::res::NotifySelectionChanges(&list, [&](int index) { sent.push_back(index); });
        list.show();
        list.showPopup();
        QAbstractItemView *view = list.view();
        ASSERT_TRUE(view->isVisible());
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        EXPECT_EQ(sent, (std::vector<int>{1, 2}));
        EXPECT_EQ(list.currentIndex(), 2);
    }
}

}  // namespace
