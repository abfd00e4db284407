// The caller-ID generator driven through its real widgets from the keyboard:
// user actions → the record the library receives; the template against the
// control model; "&Generate" disabled for the call; opening from the menu.
#include "dialogs/CCallerIdGenDlg.h"
#include "dialogs/logic/CidGenInterlocks.h"
#include "res/CallerIdGenTemplate.h"
#include "res/DialogBuilder.h"
#include "tests/support/AccessibleControls.h"
#include "tests/support/CidRecordBytes.h"
#include "tests/support/MainDialogFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

namespace tvx::test {
namespace {

using Action = CidAction;
using StateCheck = CidStateCheck;

class CallerIdDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        stub::Reset();
        dialog_ = std::make_unique<CCallerIdGenDlg>();
        dialog_->show();
        dialog_->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog_.get()));
    }
    void TearDown() override
    {
        dialog_.reset();
        stub::Reset();
    }

    template <class Widget> Widget *Control(int id) const { return res::Control<Widget>(dialog_.get(), id); }

    // Puts the keyboard focus on a control as the user would reach it: only
    // a visible, enabled control can take it.
    void Focus(QWidget *widget)
    {
        ASSERT_NE(widget, nullptr);
        ASSERT_TRUE(widget->isVisible() && widget->isEnabled())
            << widget->objectName().toStdString() << " cannot be reached";
        widget->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(widget->hasFocus()) << widget->objectName().toStdString();
    }

    // Focus on the edit (which selects its text), then type over it.
    void Type(int id, const std::string &text)
    {
        auto *edit = Control<QLineEdit>(id);
        Focus(edit);
        if (text.empty())
            QTest::keyClick(edit, Qt::Key_Delete);
        else
            QTest::keyClicks(edit, QString::fromLatin1(text.c_str()));
    }

    void Do(const Action &action)
    {
        switch (action.kind) {
        case Action::Select: {
            auto *combo = Control<QComboBox>(kCidIdMessageType);
            Focus(combo);
            while (combo->currentIndex() < action.value)
                QTest::keyClick(combo, Qt::Key_Down);
            while (combo->currentIndex() > action.value)
                QTest::keyClick(combo, Qt::Key_Up);
            break;
        }
        case Action::Click: {
            auto *box = Control<QCheckBox>(action.value);
            Focus(box);
            if (screenReader_)
                ASSERT_TRUE(AccessibleAction(box, QAccessibleActionInterface::toggleAction()));
            else
                QTest::keyClick(box, Qt::Key_Space);
            break;
        }
        case Action::Name:
            Type(kCidIdNameEdit, action.text);
            break;
        case Action::Number:
            Type(kCidIdNumberEdit, action.text);
            break;
        case Action::Date:
            Type(kCidIdDateEdit, action.text);
            break;
        case Action::Level: {
            auto *slider = Control<QSlider>(kCidIdSignalLevel);
            Focus(slider);
            QTest::keyClick(slider, static_cast<Qt::Key>(action.value));
            break;
        }
        }
    }

    // Enter where the focus is: the default button "&Generate" takes it.
    void PressEnter()
    {
        QWidget *focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : dialog_.get(), Qt::Key_Return);
    }

    void ExpectStates(const std::vector<StateCheck> &checks)
    {
        for (const StateCheck &check : checks) {
            auto *widget = Control<QWidget>(check.id);
            ASSERT_NE(widget, nullptr) << check.id;
            if (auto *box = qobject_cast<QCheckBox *>(widget)) {
                EXPECT_EQ(box->isChecked(), check.checked) << "checked of " << check.id;
            }
            EXPECT_EQ(widget->isEnabled(), check.enabled) << "enabled of " << check.id;
            EXPECT_EQ(widget->isVisible(), check.visible) << "visible of " << check.id;
        }
    }

    std::unique_ptr<CCallerIdGenDlg> dialog_;
    bool screenReader_ = false;  // boxes toggled as a screen reader does, not with the space bar
};

CidBytes Received(const stub::Call &call)
{
    CidBytes bytes{};
    EXPECT_EQ(call.bytes.size(), bytes.size());
    std::copy_n(call.bytes.begin(), std::min(call.bytes.size(), bytes.size()), bytes.begin());
    return bytes;
}

ExpectedCid Record(uint8_t msgType, uint8_t sendFlags, uint8_t callFlags = 0, uint8_t lit = 0)
{
    ExpectedCid record;
    record.msgType = msgType;
    record.sendFlags = sendFlags;
    record.callFlags = callFlags;
    record.indicatorLit = lit;
    return record;
}

ExpectedCid With(ExpectedCid record, void (*change)(ExpectedCid &))
{
    change(record);
    return record;
}

struct Row {
    const char *what;
    std::vector<Action> actions;
    ExpectedCid record;
    std::vector<StateCheck> states;
};

TEST_F(CallerIdDialogTest, KeyboardActionsGiveTheRecordBytes)
{
    const std::string name60 = std::string(30, 'A') + std::string(30, 'B');
    const std::vector<Row> rows = {
        {"defaults, Enter at once",
         {},
         Record(0, 0x40),
         {{kCidIdNameEdit, false, false, true},
          {kCidIdNumberEdit, false, true, true},
          {kCidIdDateEdit, false, true, true},
          {kCidIdSendName, false, false, true},
          {kCidIdSendNumber, false, false, true},
          {kCidIdSendDateTime, false, false, true},
          {kCidIdSendVisualIndicator, false, false, true},
          {kCidIdLitIndicator, false, false, true},
          {kCidIdOutOfArea, false, false, true},
          {kCidIdPrivate, false, false, true},
          {kCidIdUseRinger, true, true, true},
          {kCidIdCallWaiting, false, true, true},
          {kCidIdWaitForAck, false, true, false},
          {kCidIdGenerate, false, true, true}}},
        {"MDMF",
         {Select(kCidMdmf)},
         Record(1, 0x47),
         {{kCidIdNameEdit, false, true, true}, {kCidIdLitIndicator, false, true, true}}},
        {"MDMF, visual indicator sent and lit",
         {Select(kCidMdmf), Click(kCidIdSendVisualIndicator), Click(kCidIdLitIndicator)},
         Record(1, 0x08, 0, 0xFF),
         {{kCidIdUseRinger, false, true, true}, {kCidIdSendDateTime, false, true, true}}},
        {"MDMF, visual indicator unchecked again",
         {Select(kCidMdmf),
          Click(kCidIdSendVisualIndicator),
          Click(kCidIdLitIndicator),
          Click(kCidIdSendVisualIndicator)},
         Record(1, 0x47, 0, 0xFF),
         {}},
        {"MDMF, a box the user cleared is checked again with the visual indicator off",
         {Select(kCidMdmf), Click(kCidIdSendName), Click(kCidIdSendVisualIndicator), Click(kCidIdSendVisualIndicator)},
         Record(1, 0x47),
         {}},
        {"MDMF, private after out of area",
         {Select(kCidMdmf), Click(kCidIdOutOfArea), Click(kCidIdPrivate)},
         Record(1, 0x67),
         {{kCidIdOutOfArea, false, true, true},
          {kCidIdPrivate, true, true, true},
          {kCidIdSendNumber, true, false, true},
          {kCidIdSendName, true, false, true},
          {kCidIdNumberEdit, false, false, true},
          {kCidIdNameEdit, false, false, true}}},
        {"MDMF, out of area checked and cleared",
         {Select(kCidMdmf), Click(kCidIdOutOfArea), Click(kCidIdOutOfArea)},
         Record(1, 0x47),
         {{kCidIdSendNumber, true, true, true},
          {kCidIdSendName, true, true, true},
          {kCidIdNumberEdit, false, true, true},
          {kCidIdNameEdit, false, true, true}}},
        {"DTMF-# private: number edit disabled, its text sent",
         {Select(kCidDtmfHash), Click(kCidIdPrivate)},
         Record(3, 0x60),
         {{kCidIdNumberEdit, false, false, true}, {kCidIdNameEdit, false, false, true}}},
        {"DTMF-C out of area on and off",
         {Select(kCidDtmfC), Click(kCidIdOutOfArea), Click(kCidIdOutOfArea)},
         Record(2, 0x40),
         {{kCidIdNumberEdit, false, true, true}}},
        {"MDMF private, then SDMF",
         {Select(kCidMdmf), Click(kCidIdPrivate), Select(kCidSdmf)},
         Record(0, 0x40),
         {{kCidIdPrivate, false, false, true}, {kCidIdNumberEdit, false, true, true}}},
        {"call waiting, then wait for ACK",
         {Click(kCidIdCallWaiting), Click(kCidIdWaitForAck)},
         Record(0, 0x40, 0x03),
         {{kCidIdUseRinger, true, false, false}, {kCidIdWaitForAck, true, true, true}}},
        {"call waiting off keeps wait for ACK's hidden state",
         {Click(kCidIdCallWaiting), Click(kCidIdWaitForAck), Click(kCidIdCallWaiting)},
         Record(0, 0x40, 0x02),
         {{kCidIdUseRinger, true, true, true}, {kCidIdWaitForAck, true, true, false}}},
        {"ringer cleared", {Click(kCidIdUseRinger)}, Record(0, 0x00), {}},
        {"60 characters typed into the name: 50 kept, 49 sent",
         {Select(kCidMdmf), Name(name60)},
         With(Record(1, 0x47), [](ExpectedCid &r) { r.name = std::string(30, 'A') + std::string(19, 'B'); }),
         {}},
        {"4-character date", {Date("0429")}, With(Record(0, 0x40), [](ExpectedCid &r) { r.dateTime = "0429"; }), {}},
        {"9 characters typed into the date: 8 kept",
         {Date("123456789")},
         With(Record(0, 0x40), [](ExpectedCid &r) { r.dateTime = "12345678"; }),
         {}},
        {"empty number and date",
         {Number(""), Date("")},
         With(Record(0, 0x40),
              [](ExpectedCid &r) {
                  r.number.clear();
                  r.dateTime.clear();
              }),
         {}},
        {"level at its top",
         {LevelKey(Qt::Key_End)},
         With(Record(0, 0x40), [](ExpectedCid &r) { r.level = 32766; }),
         {}},
        {"level at its bottom",
         {LevelKey(Qt::Key_Home)},
         With(Record(0, 0x40), [](ExpectedCid &r) { r.level = 0; }),
         {}},
        {"level a page (a fifth of its range) up",
         {LevelKey(Qt::Key_PageUp)},
         With(Record(0, 0x40), [](ExpectedCid &r) { r.level = 16000 + 6553; }),
         {}},
    };
    for (const bool screenReader : {false, true}) {
        screenReader_ = screenReader;
        for (const Row &row : rows) {
            SCOPED_TRACE(testing::Message() << row.what << (screenReader ? ", by a screen reader" : ""));
            SetUp();
            for (const Action &action : row.actions)
                Do(action);
            stub::ClearCalls();
            PressEnter();
            const auto calls = stub::Calls();
            ASSERT_EQ(calls.size(), 1u);
            EXPECT_EQ(calls[0].name, "ScGenerateETSI_CID");
            EXPECT_EQ(Received(calls[0]), row.record.Bytes());
            ExpectStates(row.states);
        }
    }
}

TEST_F(CallerIdDialogTest, DisabledBoxesIgnoreTheKeyboard)
{
    // Under SDMF the send boxes are disabled: Space on them changes nothing.
    for (int id : {kCidIdSendName, kCidIdSendNumber, kCidIdSendDateTime, kCidIdOutOfArea, kCidIdPrivate})
        QTest::keyClick(Control<QCheckBox>(id), Qt::Key_Space);
    Control<QPushButton>(kCidIdGenerate)->click();
    ASSERT_EQ(stub::CountOf("ScGenerateETSI_CID"), 1);
    EXPECT_EQ(Received(stub::CallsNamed("ScGenerateETSI_CID")[0]), Record(0, 0x40).Bytes());
}

TEST_F(CallerIdDialogTest, GenerateIsDisabledForTheWholeCallAndEveryClickCallsOnce)
{
    // Every change of the button's enabled state, with the number of library
    // calls made at that moment.
    struct Change {
        bool enabled;
        int calls;
    };
    std::vector<Change> changes;
    struct Watch : QObject {
        std::vector<Change> *changes;
        bool eventFilter(QObject *object, QEvent *event) override
        {
            if (event->type() == QEvent::EnabledChange)
                changes->push_back({static_cast<QWidget *>(object)->isEnabled(), stub::CountOf("ScGenerateETSI_CID")});
            return false;
        }
    } watch;
    watch.changes = &changes;
    auto *generate = Control<QPushButton>(kCidIdGenerate);
    generate->installEventFilter(&watch);
    stub::Configure().results["ScGenerateETSI_CID"] = 7;  // a failure is not shown and changes nothing

    Focus(generate);
    QTest::keyClick(generate, Qt::Key_Space);
    PressEnter();

    EXPECT_EQ(stub::CountOf("ScGenerateETSI_CID"), 2);
    ASSERT_EQ(changes.size(), 4u);
    EXPECT_FALSE(changes[0].enabled);
    EXPECT_EQ(changes[0].calls, 0);
    EXPECT_TRUE(changes[1].enabled);
    EXPECT_EQ(changes[1].calls, 1);
    EXPECT_FALSE(changes[2].enabled);
    EXPECT_EQ(changes[2].calls, 1);
    EXPECT_TRUE(changes[3].enabled);
    EXPECT_EQ(changes[3].calls, 2);
    EXPECT_TRUE(generate->hasFocus()) << "the focus stays on the button the user pressed";
    generate->removeEventFilter(&watch);
}

TEST_F(CallerIdDialogTest, TemplateMatchesTheControlModel)
{
    EXPECT_EQ(dialog_->windowTitle(), "Parlino Caller ID Generator");
    for (const CidControl &control : kCidGenControls) {
        QWidget *widget = Control<QWidget>(control.id);
        ASSERT_NE(widget, nullptr) << control.id;
        bool kindMatches = false;
        switch (control.kind) {
        case CidControlKind::ComboBox:
            kindMatches = qobject_cast<QComboBox *>(widget) != nullptr;
            break;
        case CidControlKind::CheckBox:
            kindMatches = qobject_cast<QCheckBox *>(widget) != nullptr;
            break;
        case CidControlKind::Edit:
            kindMatches = qobject_cast<QLineEdit *>(widget) != nullptr;
            break;
        case CidControlKind::Trackbar:
            kindMatches = qobject_cast<QSlider *>(widget) != nullptr;
            break;
        case CidControlKind::PushButton:
            kindMatches = qobject_cast<QPushButton *>(widget) != nullptr;
            break;
        }
        EXPECT_TRUE(kindMatches) << control.id;
    }
    auto *combo = Control<QComboBox>(kCidIdMessageType);
    ASSERT_EQ(static_cast<size_t>(combo->count()), kCidMessageTypeItems.size());
    for (int i = 0; i < combo->count(); ++i)
        EXPECT_EQ(combo->itemText(i).toStdString(), kCidMessageTypeItems[static_cast<size_t>(i)]);
    // "&Generate" is the only push button and the default one: no OK, no Cancel.
    const auto buttons = dialog_->findChildren<QPushButton *>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0]->objectName(), QString::number(kCidIdGenerate));
    EXPECT_TRUE(buttons[0]->isDefault());
    // "Wait for ACK" lies exactly where "Use Ringer" is, hidden, and only
    // "Use Ringer" is offered to a screen reader.
    EXPECT_EQ(Control<QWidget>(kCidIdWaitForAck)->pos(), Control<QWidget>(kCidIdUseRinger)->pos());
    EXPECT_FALSE(Offered(dialog_.get(), Control<QWidget>(kCidIdWaitForAck)));
    EXPECT_TRUE(Offered(dialog_.get(), Control<QWidget>(kCidIdUseRinger)));
    auto *slider = Control<QSlider>(kCidIdSignalLevel);
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 32766);
    // A screen reader announces the list and the trackbar by their labels.
    EXPECT_EQ(AccessibleLabel(combo), "Message Type:");
    EXPECT_EQ(AccessibleLabel(slider), "- Signal Level + :");
}

TEST_F(CallerIdDialogTest, EscapeAndTheCloseBoxEndTheDialog)
{
    QTest::keyClick(dialog_.get(), Qt::Key_Escape);
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(dialog_->result(), QDialog::Rejected);
    SetUp();
    dialog_->close();
    EXPECT_FALSE(dialog_->isVisible());
    EXPECT_EQ(stub::Calls().size(), 0u) << "closing sends nothing";
}

// Opened from "Generate Caller ID ...": owned by the main dialog, run
// modally, and nothing but the generator's own call reaches the library.
class CallerIdMenuTest : public MainDialogTest {};

TEST_F(CallerIdMenuTest, MenuRunsTheGeneratorModallyAndDoesNothingElse)
{
    Create();
    const int lines = Dialog().Log().Count();
    stub::ClearCalls();
    QString title;
    QWidget *parent = nullptr;
    QTimer::singleShot(0, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        title = modal->windowTitle();
        parent = modal->parentWidget();
        QTest::keyClick(modal, Qt::Key_Return);
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    Choose(32827);
    EXPECT_EQ(title, "Parlino Caller ID Generator");
    EXPECT_EQ(parent, &Dialog());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(stub::CallTexts(), std::vector<std::string>{"ScGenerateETSI_CID(ptr)"});
    EXPECT_EQ(Dialog().Log().Count(), lines);
    EXPECT_EQ(Dialog().findChildren<CCallerIdGenDlg *>().size(), 0) << "the dialog is gone once closed";

    // Every opening starts from the defaults again.
    QTimer::singleShot(0, [&] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            QTest::keyClick(modal, Qt::Key_Return);
            modal->close();
        }
    });
    Choose(32827);
    const auto calls = stub::CallsNamed("ScGenerateETSI_CID");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(Received(calls[1]), Record(0, 0x40).Bytes());
}

}  // namespace
}  // namespace tvx::test
