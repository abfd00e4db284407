// The dialog templates and the menu, row by row against the values written
// out here (not read back from the tables), as data and as built; and the
// conversion of dialog units to pixels.
#include "res/CallerIdGenTemplate.h"
#include "res/DialogBuilder.h"
#include "res/DialogUnits.h"
#include "res/LedsTestTemplate.h"
#include "res/MainDialogTemplate.h"
#include "res/MainMenu.h"
#include "res/MainMenu136.h"
#include "tests/support/AccessibleControls.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace tvx::res {
namespace {

using K = ControlKind;

struct Row {
    int id;
    ControlKind kind;
    const char *text;
    int x, y, width, height;
    uint32_t style;
};

struct Expected {
    const DialogTemplate *tmpl;
    int id;
    const char *title;
    int width, height;
    std::vector<Row> rows;
};

const std::vector<Expected> kExpected = {
    {&kMainDialogTemplate,
     102,
     "Telvora Parlino USB Control / Monitor",
     427,
     231,
     {
         {-1, K::GroupBox, "Dial", 270, 5, 140, 105, 0},
         {1047, K::Edit, "", 275, 15, 93, 12, kAutoScroll},
         {1001, K::Edit, "", 275, 190, 130, 12, kAutoScroll},
         {1067, K::PushButton, "Dia&l", 375, 15, 30, 14, 0},
         {1074, K::Static, "", 5, 135, 175, 90, kSimple | kSunken},
         {1077, K::CheckBox, "Telephony Anal&ysis", 5, 120, 80, 8, 0},
         {-1, K::GroupBox, "Events Monitor", 5, 5, 250, 105, 0},
         {1000, K::ListBox, "", 10, 15, 240, 90, kVScroll | kNotify},
         {1082, K::Static, "2000 Hz", 130, 120, 50, 10, kCentred | kSunken},
         {-1, K::GroupBox, "Adjustable Parameters", 270, 115, 140, 60, 0},
         {1079, K::DropDownList, "", 275, 125, 130, 89, 0},
         {1043, K::Trackbar, "Slider1", 275, 141, 130, 15, kTwoSidedThumb | kNoTicks},
         {1080, K::Static, "0", 280, 160, 120, 10, kSunken},
         {-1, K::GroupBox, "Serial Number", 270, 181, 140, 45, 0},
         {1083, K::DefaultPushButton, "&Burn Device ...", 275, 206, 65, 15, 0},
         {1081, K::DropDownList, "", 275, 60, 130, 89, kSorted},
         {-1, K::Static, "Local Country:", 275, 50, 55, 10, 0},
         {1084, K::DropDownList, "", 275, 90, 130, 89, kSorted},
         {-1, K::Static, "Destination Country:", 275, 80, 74, 9, 0},
         {1097, K::CheckBox, "Dial to Destination Country", 275, 35, 100, 8, kHidden},
         {1099, K::CheckBox, "Check2", 200, 170, 45, 10, kHidden | kDisabled},
     }},
    {&kCallerIdGenTemplate,
     139,
     "Parlino Caller ID Generator",
     197,
     141,
     {
         {1089, K::DropDownList, "", 5, 15, 50, 69, kVScroll},
         {1090, K::CheckBox, "Send Number:", 5, 35, 60, 8, 0},
         {1085, K::Edit, "", 5, 46, 85, 12, kBorder | kAutoScroll},
         {1091, K::CheckBox, "Send Name:", 5, 65, 55, 8, 0},
         {1086, K::Edit, "", 5, 75, 85, 12, kBorder | kAutoScroll},
         {1092, K::CheckBox, "Send Date and Time:", 100, 35, 80, 8, 0},
         {1087, K::Edit, "", 100, 46, 40, 12, kBorder | kAutoScroll},
         {1093, K::CheckBox, "Send Visual Indicator", 100, 65, 85, 8, 0},
         {1077, K::CheckBox, "Lit Visual Indicator", 110, 76, 75, 8, 0},
         {1088, K::DefaultPushButton, "&Generate", 70, 120, 50, 15, 0},
         {-1, K::Static, "Message Type:", 5, 5, 50, 10, 0},
         {1094, K::CheckBox, "Out of Area", 5, 105, 55, 8, 0},
         {1095, K::CheckBox, "Private", 5, 95, 40, 8, 0},
         {1096, K::Trackbar, "Slider1", 95, 100, 95, 15, kTwoSidedThumb | kNoTicks},
         {-1, K::Static, "MMDDhhmm", 145, 50, 45, 8, 0},
         {-1, K::Static, "- Signal Level + :", 100, 90, 85, 8, kCentred},
         {1078, K::CheckBox, "Use Ringer", 130, 17, 50, 8, 0},
         {1097, K::CheckBox, "Call Waiting", 65, 17, 55, 8, 0},
         {1098, K::CheckBox, "Wait for ACK", 130, 17, 55, 8, kHidden},
     }},
    {&kLedsTestTemplate,
     141,
     "Parlino LEDs Test",
     147,
     102,
     {
         {1077, K::CheckBox, "Enable Test", 5, 5, 60, 10, 0},
         {1100, K::CheckBox, "LED (Power)", 5, 25, 60, 10, 0},
         {1101, K::CheckBox, "LED", 5, 35, 30, 10, 0},
         {1102, K::CheckBox, "LED", 5, 45, 30, 10, 0},
         {1103, K::CheckBox, "LED", 5, 55, 30, 10, 0},
         {1104, K::CheckBox, "LED", 5, 65, 30, 10, 0},
         {1105, K::CheckBox, "LED", 5, 75, 30, 10, 0},
         {1106, K::CheckBox, "LED", 5, 85, 30, 10, 0},
     }},
};

// The widget the builder made for a row, found by id, or by kind and text.
QWidget *Built(const QWidget &dialog, const Row &row)
{
    if (row.id != kNoId)
        return Control<QWidget>(&dialog, row.id);
    for (QWidget *widget : dialog.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (auto *box = qobject_cast<QGroupBox *>(widget); box && row.kind == K::GroupBox && box->title() == row.text)
            return widget;
        if (auto *label = qobject_cast<QLabel *>(widget); label && row.kind == K::Static && label->text() == row.text)
            return widget;
    }
    return nullptr;
}

// The widget's class and shown text for each kind.
bool KindMatches(QWidget *widget, const Row &row)
{
    const QString text = QString::fromLatin1(row.text);
    switch (row.kind) {
    case K::GroupBox:
        return qobject_cast<QGroupBox *>(widget) && static_cast<QGroupBox *>(widget)->title() == text;
    case K::Static:
        return qobject_cast<QLabel *>(widget) && static_cast<QLabel *>(widget)->text() == text;
    case K::Edit:
        return qobject_cast<QLineEdit *>(widget) != nullptr;
    case K::PushButton:
    case K::DefaultPushButton: {
        auto *button = qobject_cast<QPushButton *>(widget);
        return button && button->text() == text && button->isDefault() == (row.kind == K::DefaultPushButton);
    }
    case K::CheckBox:
        return qobject_cast<QCheckBox *>(widget) && static_cast<QCheckBox *>(widget)->text() == text;
    case K::ListBox:
        return qobject_cast<QListView *>(widget) != nullptr;
    case K::DropDownList:
        return qobject_cast<QComboBox *>(widget) != nullptr;
    case K::Trackbar:
        return qobject_cast<QSlider *>(widget) && static_cast<QSlider *>(widget)->tickPosition() == QSlider::NoTicks;
    }
    return false;
}

TEST(TemplatesTest, EveryRowAsWrittenAndAsBuilt)
{
    for (const Expected &expected : kExpected) {
        SCOPED_TRACE(expected.id);
        const DialogTemplate &tmpl = *expected.tmpl;
        EXPECT_EQ(tmpl.id, expected.id);
        EXPECT_STREQ(tmpl.title, expected.title);
        EXPECT_EQ(tmpl.width, expected.width);
        EXPECT_EQ(tmpl.height, expected.height);
        EXPECT_STREQ(tmpl.fontFamily, "MS Sans Serif");
        EXPECT_EQ(tmpl.fontPointSize, 8);
        ASSERT_EQ(tmpl.controls.size(), expected.rows.size());

        QWidget dialog;
        const BaseUnits base{6, 13};
        BuildControls(&dialog, tmpl, base);
        for (size_t i = 0; i < expected.rows.size(); ++i) {
            const Row &row = expected.rows[i];
            const ControlTemplate &control = tmpl.controls[i];
            SCOPED_TRACE(testing::Message() << "row " << i << " " << row.id << " \"" << row.text << "\"");
            EXPECT_EQ(control.id, row.id);
            EXPECT_EQ(control.kind, row.kind);
            EXPECT_STREQ(control.text, row.text);
            EXPECT_EQ(control.x, row.x);
            EXPECT_EQ(control.y, row.y);
            EXPECT_EQ(control.width, row.width);
            EXPECT_EQ(control.height, row.height);
            EXPECT_EQ(control.style, row.style);

            QWidget *widget = Built(dialog, row);
            ASSERT_NE(widget, nullptr);
            EXPECT_TRUE(KindMatches(widget, row));
            EXPECT_EQ(widget->isHidden(), (row.style & kHidden) != 0);
            EXPECT_EQ(widget->isEnabled(), (row.style & kDisabled) == 0);
            EXPECT_EQ(widget->pos(), QPoint(DluToPixelsX(row.x, base), DluToPixelsY(row.y, base)));
            EXPECT_EQ(widget->width(), DluToPixelsX(row.width, base));
            // A drop-down list's template height includes its open list.
            if (row.kind != K::DropDownList) {
                EXPECT_EQ(widget->height(), DluToPixelsY(row.height, base));
            }
        }
    }
}

TEST(TemplatesTest, ListItemsAsWritten)
{
    const std::vector<std::string> parameters = {"Ringer Off Period",
                                                 "Ringer On Period",
                                                 "Wait for Dial Tone Time",
                                                 "Wait for Answer Time",
                                                 "DTMF Dial Time",
                                                 "Pause Time",
                                                 "Hook Flash Time",
                                                 "Pre Hook Flash Guard Time",
                                                 "Post Hook Flash Guard Time",
                                                 "Tones Detection Threshold",
                                                 "Silent Detection Threshold",
                                                 "Voice Detection Threshold",
                                                 "Voice Band Low",
                                                 "Voice Band High",
                                                 "Lite DTMF DAA, phone on-hook",
                                                 "Lite DTMF DAA, phone off-hook",
                                                 "Lite DTMF CODEC"};
    const std::vector<std::string> messageTypes = {"SDMF", "MDMF", "DTMF-C", "DTMF-#"};
    const auto items = [](const ControlTemplate &control) {
        return std::vector<std::string>(control.items.begin(), control.items.end());
    };
    EXPECT_EQ(items(kMainDialogTemplate.controls[10]), parameters);
    EXPECT_EQ(items(kCallerIdGenTemplate.controls[0]), messageTypes);
}

TEST(TemplatesTest, EveryControlWithoutATextIsToldToAScreenReader)
{
    for (const Expected &expected : kExpected) {
        std::set<int> labelled;
        for (const ControlTemplate &control : expected.tmpl->controls)
            if (control.access.labels != kNoId)
                labelled.insert(control.access.labels);
        for (const ControlTemplate &control : expected.tmpl->controls) {
            const bool textless = control.text[0] == '\0' && control.kind != ControlKind::GroupBox;
            if (textless && !(control.style & kHidden)) {
                EXPECT_TRUE(control.access.name || control.access.description || labelled.count(control.id))
                    << expected.id << "/" << control.id;
            }
        }
    }
}

// Each template as a screen reader meets it: the window offers exactly the
// controls it shows, and no two of its controls with an id are told the
// same way (name, label and description together).
TEST(TemplatesTest, AScreenReaderMeetsTheShownControlsOnlyAndTellsThemApart)
{
    for (const Expected &expected : kExpected) {
        SCOPED_TRACE(expected.id);
        QWidget dialog;
        BuildControls(&dialog, *expected.tmpl, BaseUnits{6, 13});
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(&dialog);
        ASSERT_NE(window, nullptr);
        std::vector<QWidget *> offered;
        for (int i = 0; i < window->childCount(); ++i) {
            QAccessibleInterface *child = window->child(i);
            ASSERT_NE(child, nullptr) << i;
            EXPECT_EQ(window->indexOfChild(child), i);
            offered.push_back(qobject_cast<QWidget *>(child->object()));
        }
        std::vector<QWidget *> shown;
        std::set<std::string> told;
        for (const Row &row : expected.rows) {
            SCOPED_TRACE(testing::Message() << row.id << " \"" << row.text << "\"");
            QWidget *widget = Built(dialog, row);
            ASSERT_NE(widget, nullptr);
            QAccessibleInterface *control = QAccessible::queryAccessibleInterface(widget);
            ASSERT_NE(control, nullptr);
            if (row.style & kHidden) {
                EXPECT_EQ(window->indexOfChild(control), -1) << "a hidden control is not offered";
                continue;
            }
            shown.push_back(widget);
            if (row.id == kNoId)
                continue;
            const QString how = tvx::test::AccessibleText(widget) + u'|' + tvx::test::AccessibleLabel(widget) + u'|' +
                                tvx::test::AccessibleText(widget, QAccessible::Description);
            EXPECT_TRUE(told.insert(how.toStdString()).second) << "told as another control is: " << how.toStdString();
        }
        // As sets: the frames, lowered beneath the controls, come first.
        std::sort(offered.begin(), offered.end());
        std::sort(shown.begin(), shown.end());
        EXPECT_EQ(offered, shown);
    }
}

// Menu 136 as written: depth, kind, id, text, check mark at creation.
struct MenuRow {
    int depth;
    char kind;  // 'P' pop-up, 'I' item, 'S' separator
    int id;
    const char *text;
    bool checked;
};

const MenuRow kMenu[] = {
    {0, 'P', 0, "&File", false},
    {1, 'I', 32830, "Eraze Device", false},
    {1, 'I', 32831, "Eraze Device tvx", false},
    {1, 'S', 0, "", false},
    {1, 'I', 32839, "ReBoot Device", false},
    {1, 'S', 0, "", false},
    {1, 'I', 32808, "E&xit", false},
    {0, 'P', 0, "Device &Mode", false},
    {1, 'I', 32770, "Phone - Audio Stream", false},
    {1, 'I', 32771, "Phone - Audio Stream - Line (Direct)", false},
    {1, 'I', 32772, "None", false},
    {1, 'I', 32773, "Phone -Line (Default)", true},
    {1, 'I', 32774, "Phone - Audio Stream, Line Hold", false},
    {1, 'I', 32775, "Line - Audio Stream", false},
    {1, 'I', 32776, "Phone - Audio Stream - Line", false},
    {1, 'I', 32777, "Line Audio Stream, Phone Monitor", false},
    {0, 'P', 0, "&Audio", false},
    {1, 'I', 32786, "Use Head Set", false},
    {1, 'I', 32787, "Mute line", false},
    {1, 'I', 32788, "Mute Phone", false},
    {1, 'I', 32837, "Silent PC Audio Stream", false},
    {1, 'I', 32789, "USB Phone - Keypad Beep", false},
    {1, 'I', 32835, "Echo Supression", true},
    {1, 'S', 0, "", false},
    {1, 'P', 0, "Auxilary Audio Content", false},
    {2, 'I', 32783, "CODEC", true},
    {2, 'I', 32784, "Wave Out", false},
    {2, 'I', 32785, "Wave Out Mixed with CODEC", false},
    {1, 'S', 0, "", false},
    {1, 'I', 32844, "Wiretapping", false},
    {1, 'S', 0, "", false},
    {1, 'I', 32838, "DAA Boost", false},
    {1, 'I', 32840, "CODEC Boost", false},
    {0, 'P', 0, "&DAA Config.", false},
    {1, 'I', 32794, "Normal (US/Canada)", true},
    {1, 'I', 32795, "Complex", false},
    {1, 'I', 32796, "Special Pulse dialing", false},
    {1, 'I', 32797, "Special Pulse dialing / Complex", false},
    {1, 'I', 32798, "CTR21", false},
    {1, 'I', 32799, "CTR21 / Complex", false},
    {0, 'P', 0, "&Ringer", false},
    {1, 'P', 0, "Frequency", false},
    {2, 'I', 32790, "17Hz", false},
    {2, 'I', 32791, "20Hz", false},
    {2, 'I', 32792, "25Hz (Default)", true},
    {2, 'I', 32793, "50Hz", false},
    {1, 'I', 32807, "Load Melody ...", false},
    {1, 'S', 0, "", false},
    {1, 'I', 32810, "Ring", false},
    {0, 'P', 0, "D&ialing", false},
    {1, 'I', 32800, "Tones Dial", true},
    {1, 'I', 32801, "Pulse Dial", false},
    {1, 'S', 0, "", false},
    {1, 'P', 0, "Pulse Dial Make/Break", false},
    {2, 'I', 32803, "39/61 @ 10 PPS US and Canada", true},
    {2, 'I', 32804, "33/67 @ 10 PPS UK and HK", false},
    {2, 'I', 32805, "39/61 @ 20 PPS", false},
    {2, 'I', 32806, "33/67 @ 20 PPS Japan", false},
    {0, 'P', 0, "&Tone Generator", false},
    {1, 'I', 32811, "Dialtone", true},
    {1, 'I', 32812, "Ring Back", false},
    {1, 'I', 32813, "Busy", false},
    {1, 'I', 32814, "Reorder", false},
    {1, 'I', 32815, "Proceeding", false},
    {1, 'S', 0, "", false},
    {1, 'I', 32816, "Infinite Beep", false},
    {1, 'I', 32817, "Beep", false},
    {1, 'I', 32818, "Receiver Off-Hook", false},
    {1, 'S', 0, "", false},
    {1, 'I', 32829, "Generate Tone", false},
    {0, 'P', 0, "Mis&c.", false},
    {1, 'I', 32827, "Generate Caller ID ...", false},
    {1, 'I', 32828, "CIDCW", false},
    {1, 'I', 32832, "USB Phone - Off H&ook", false},
    {1, 'I', 32825, "ScGenerateTones() API", false},
    {1, 'I', 32843, "LEDs Test ...", false},
    {1, 'S', 0, "", false},
    {1, 'I', 32826, "Driver Enabled", true},
    {1, 'S', 0, "", false},
    {1, 'I', 32836, "ReConnect", false},
    {0, 'P', 0, "Setup", false},
    {1, 'I', 32833, "Distinctive Ring Patterns ...", false},
    {1, 'I', 32841, "International Hardware ...", false},
    {1, 'I', 32834, "International Tones ...", false},
    {1, 'S', 0, "", false},
    {1, 'I', 32842, "Hardware Chips ...", false},
    {0, 'P', 0, "&Help", false},
    {1, 'I', 32809, "About ...", false},
};

// The built menu, depth first, as rows.
void Walk(const QList<QAction *> &actions, int depth, std::vector<MenuRow> &rows, std::vector<std::string> &texts)
{
    for (QAction *action : actions) {
        texts.push_back(action->text().toStdString());
        const char kind = action->isSeparator() ? 'S' : action->menu() ? 'P' : 'I';
        rows.push_back({depth, kind, action->objectName().toInt(), nullptr, action->isChecked()});
        EXPECT_TRUE(action->isEnabled()) << texts.back();
        if (action->menu())
            Walk(action->menu()->actions(), depth + 1, rows, texts);
    }
}

TEST(MenuTest, Menu136AsWrittenAndAsBuilt)
{
    // As data.
    ASSERT_EQ(std::size(kMainMenu136), std::size(kMenu));
    for (size_t i = 0; i < std::size(kMenu); ++i) {
        const MenuRow &row = kMenu[i];
        const MenuEntry &entry = kMainMenu136[i];
        SCOPED_TRACE(testing::Message() << "row " << i << " \"" << row.text << "\"");
        EXPECT_EQ(entry.depth, row.depth);
        EXPECT_EQ(entry.kind,
                  row.kind == 'P'   ? MenuKind::Popup
                  : row.kind == 'I' ? MenuKind::Item
                                    : MenuKind::Separator);
        EXPECT_EQ(entry.id, row.id);
        EXPECT_STREQ(entry.text, row.text);
        EXPECT_EQ(entry.checked, row.checked);
    }

    // As built: the bar's pop-ups and every entry at its position.
    QWidget owner;
    std::vector<uint16_t> chosen;
    MainMenu menu(&owner, kMainMenu136);
    QObject::connect(&menu, &MainMenu::Chosen, &menu, [&](uint16_t id) { chosen.push_back(id); });
    std::vector<MenuRow> rows;
    std::vector<std::string> texts;
    Walk(menu.Bar()->actions(), 0, rows, texts);
    ASSERT_EQ(rows.size(), std::size(kMenu));
    for (size_t i = 0; i < rows.size(); ++i) {
        const MenuRow &row = kMenu[i];
        SCOPED_TRACE(testing::Message() << "row " << i << " \"" << row.text << "\"");
        EXPECT_EQ(rows[i].depth, row.depth);
        EXPECT_EQ(rows[i].kind, row.kind);
        EXPECT_EQ(rows[i].id, row.id);
        EXPECT_EQ(texts[i], row.text);
        EXPECT_EQ(rows[i].checked, row.checked);
    }
    menu.Item(32809)->trigger();
    EXPECT_EQ(chosen, std::vector<uint16_t>{32809});
}

TEST(DialogUnitsTest, ConvertWithRoundingAtEveryPixelRatio)
{
    struct Row {
        int dlu;
        BaseUnits base;
        int x, y;  // logical pixels
    };
    // Base units of an 8-point font at 96 dpi (6 x 13) and of larger fonts.
    const Row rows[] = {
        {427, {6, 13}, 641, 694},
        {231, {6, 13}, 347, 375},
        {4, {6, 13}, 6, 7},
        {1, {6, 13}, 2, 2},
        {0, {7.5, 16}, 0, 0},
        {130, {7.5, 16}, 244, 260},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(DluToPixelsX(row.dlu, row.base), row.x) << row.dlu;
        EXPECT_EQ(DluToPixelsY(row.dlu, row.base), row.y) << row.dlu;
    }
    struct Ratio {
        double ratio;
        int logical, device;
    };
    const Ratio ratios[] = {{1.0, 641, 641}, {1.5, 641, 962}, {2.0, 641, 1282}, {1.5, 375, 563}, {1.25, 3, 4}};
    for (const Ratio &r : ratios)
        EXPECT_EQ(LogicalToDevice(r.logical, r.ratio), r.device) << r.ratio << " " << r.logical;
}

}  // namespace
}  // namespace tvx::res
