// The controls of the three templates wired as their dialogs wire them: the
// commands each way of using a control sends. A click is one command by the
// mouse, the space bar, the mnemonic or a screen reader's toggle or press,
// and none when code changes a box; a drop-down list sends one per item
// stepped through with the keys, closed or open, none for hovering.
#include "dialogs/TemplateDialog.h"
#include "res/CallerIdGenTemplate.h"
#include "res/DialogBuilder.h"
#include "res/LedsTestTemplate.h"
#include "res/MainDialogTemplate.h"
#include "tests/support/AccessibleControls.h"
#include "ui/ControlCommands.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tvx::test {
namespace {

const res::DialogTemplate *const kTemplates[] = {
    &res::kMainDialogTemplate, &res::kCallerIdGenTemplate, &res::kLedsTestTemplate};

class ControlNotificationsTest : public ::testing::TestWithParam<const res::DialogTemplate *> {
protected:
    void SetUp() override
    {
        BuildFromTemplate(dialog_, *GetParam());
        ConnectControlCommands(dialog_, [this](uint32_t wParam, QWidget *) { commands_.push_back(wParam); });
        dialog_.show();
        dialog_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog_));
    }

    // The commands sent from now until the events settle. With settleMs, the
    // way clicks a moment later (a mnemonic, a screen reader's press of a
    // push button): its first command is waited for, however long a busy
    // machine takes to get there, then settleMs more for any that follows.
    std::vector<uint32_t> CommandsOf(const std::function<void()> &act, int settleMs = 0)
    {
        commands_.clear();
        act();
        QElapsedTimer timer;
        timer.start();
        while (settleMs > 0 && commands_.empty() && timer.elapsed() < 60000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        timer.restart();
        do
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        while (timer.elapsed() < settleMs);
        return commands_;
    }

    QDialog dialog_;
    std::vector<uint32_t> commands_;
};

struct Way {
    const char *name;
    // Whether the way applies to the button; what the user does.
    std::function<bool(QAbstractButton *)> applies;
    std::function<void(QDialog &, QAbstractButton *)> act;
    bool clicks;
    int settleMs = 0;  // mnemonics and presses click after a moment
};

bool IsCheckBox(QAbstractButton *button) { return qobject_cast<QCheckBox *>(button) != nullptr; }

const Way kWays[] = {
    {"mouse",
     [](QAbstractButton *) { return true; },
     [](QDialog &, QAbstractButton *b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2)); },
     true},
    {"space bar",
     [](QAbstractButton *) { return true; },
     [](QDialog &, QAbstractButton *b) {
         b->setFocus(Qt::TabFocusReason);
         QTest::keyClick(b, Qt::Key_Space);
     },
     true},
    {"mnemonic",
     [](QAbstractButton *b) { return !QKeySequence::mnemonic(b->text()).isEmpty(); },
     [](QDialog &d, QAbstractButton *b) {
         const int letter = QKeySequence::mnemonic(b->text())[0].key();
         QTest::keyClick(&d, static_cast<Qt::Key>(letter), Qt::AltModifier);
     },
     true,
     150},
    {"screen reader toggle",
     IsCheckBox,
     [](QDialog &, QAbstractButton *b) {
         ASSERT_TRUE(AccessibleAction(b, QAccessibleActionInterface::toggleAction()));
     },
     true},
    {"screen reader press",
     [](QAbstractButton *) { return true; },
     [](QDialog &, QAbstractButton *b) { ASSERT_TRUE(AccessibleAction(b, QAccessibleActionInterface::pressAction())); },
     true,
     150},
    {"code", IsCheckBox, [](QDialog &, QAbstractButton *b) { b->setChecked(!b->isChecked()); }, false},
};

TEST_P(ControlNotificationsTest, EveryButtonSendsOneClickWhicheverWayTheUserUsesIt)
{
    int buttons = 0;
    for (QAbstractButton *button : dialog_.findChildren<QAbstractButton *>()) {
        if (!button->isVisible() || !button->isEnabled())
            continue;
        ++buttons;
        const uint16_t id = static_cast<uint16_t>(button->objectName().toUInt());
        for (const Way &way : kWays) {
            if (!way.applies(button))
                continue;
            SCOPED_TRACE(testing::Message() << id << " by " << way.name);
            const bool checkedBefore = button->isChecked();
            const std::vector<uint32_t> sent = CommandsOf([&] { way.act(dialog_, button); }, way.settleMs);
            EXPECT_EQ(sent, way.clicks ? std::vector<uint32_t>{MakeCommandArg(id, kClicked)} : std::vector<uint32_t>{});
            if (IsCheckBox(button)) {
                EXPECT_NE(button->isChecked(), checkedBefore) << "the box changed once";
            }
        }
    }
    EXPECT_GT(buttons, 0);
}

// Hovers the open list over row: the mouse moves across the item.
void Hover(QComboBox *list, int row)
{
    QAbstractItemView *view = list->view();
    const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
    QMouseEvent move(QEvent::MouseMove, at, view->viewport()->mapToGlobal(at), Qt::NoButton, {}, {});
    QApplication::sendEvent(view->viewport(), &move);
}

TEST_P(ControlNotificationsTest, EveryListSendsEachItemSteppedThroughAndNothingForHovering)
{
    for (QComboBox *list : dialog_.findChildren<QComboBox *>()) {
        const uint16_t id = static_cast<uint16_t>(list->objectName().toUInt());
        SCOPED_TRACE(id);
        if (list->count() == 0)
            list->addItems({"A [ 1 ]", "B [ 2 ]", "C [ 3 ]", "D [ 4 ]"});
        const auto change = [&](int times) {
            return std::vector<uint32_t>(times, MakeCommandArg(id, kSelectionChange));
        };
        const auto key = [](QWidget *target, Qt::Key k) { return [=] { QTest::keyClick(target, k); }; };
        list->setFocus(Qt::TabFocusReason);

        EXPECT_EQ(CommandsOf([&] { list->setCurrentIndex(0); }), change(0)) << "code";
        // Closed.
        EXPECT_EQ(CommandsOf(key(list, Qt::Key_Down)), change(1));
        EXPECT_EQ(CommandsOf(key(list, Qt::Key_Down)), change(1));
        EXPECT_EQ(CommandsOf(key(list, Qt::Key_Up)), change(1));
        EXPECT_EQ(list->currentIndex(), 1);
        // Open: each step goes at once; Enter on the item stepped to adds nothing.
        list->showPopup();
        QAbstractItemView *view = list->view();
        ASSERT_TRUE(view->isVisible());
        EXPECT_EQ(CommandsOf(key(view, Qt::Key_Down)), change(1));
        EXPECT_EQ(list->currentIndex(), 2);
        EXPECT_EQ(CommandsOf(key(view, Qt::Key_Up)), change(1));
        EXPECT_EQ(CommandsOf(key(view, Qt::Key_Down)), change(1));
        EXPECT_EQ(CommandsOf(key(view, Qt::Key_Return)), change(0));
        EXPECT_FALSE(view->isVisible());
        EXPECT_EQ(list->currentIndex(), 2);
        // Hovering sends nothing; Escape keeps the item; a pick of the
        // hovered item sends it once.
        list->showPopup();
        EXPECT_EQ(CommandsOf([&] { Hover(list, 0); }), change(0));
        EXPECT_EQ(view->currentIndex().row(), 0) << "the hover reached the list";
        EXPECT_EQ(CommandsOf(key(view, Qt::Key_Escape)), change(0));
        EXPECT_EQ(list->currentIndex(), 2);
        list->showPopup();
        EXPECT_EQ(CommandsOf([&] { Hover(list, 3); }), change(0));
        EXPECT_EQ(CommandsOf(key(view, Qt::Key_Return)), change(1));
        EXPECT_EQ(list->currentIndex(), 3);
    }
}

TEST_P(ControlNotificationsTest, TrackbarsPageByAFifthOfTheirRange)
{
    for (QSlider *slider : dialog_.findChildren<QSlider *>()) {
        for (const auto &[min, max, step] : {std::tuple{1, 255, 50}, {0, 32766, 6553}, {0, 30, 6}, {1, 4, 1}}) {
            slider->setRange(min, max);
            EXPECT_EQ(slider->pageStep(), step) << min << ".." << max;
        }
        slider->setRange(0, 32766);
        slider->setValue(16000);
        slider->setFocus(Qt::TabFocusReason);
        QTest::keyClick(slider, Qt::Key_PageUp);
        EXPECT_EQ(std::abs(slider->value() - 16000), 6553);
    }
}

INSTANTIATE_TEST_SUITE_P(Templates, ControlNotificationsTest, ::testing::ValuesIn(kTemplates),
                         [](const auto &info) { return "Template" + std::to_string(info.param->id); });

}  // namespace
}  // namespace tvx::test
