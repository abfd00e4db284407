// The main window as built from its template: controls, titles, the ways it
// closes, keyboard and assistive access.
#include "app/CControlMonitorApp.h"
#include "app/DeferredIconStyle.h"
#include "tests/support/AccessibleControls.h"
#include "tests/support/MainDialogFixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>

namespace tvx::test {
namespace {

class ShellTest : public MainDialogTest {};

// Each row of the template as built is checked in the resource tests; here
// what the dialog adds: title, icon, the menu's room and the open's values.
TEST_F(ShellTest, TheDialogTakesItsTemplateBelowTheMenu)
{
    Create();
    EXPECT_EQ(Dialog().windowTitle(), "Telvora Parlino USB Control / Monitor");
    EXPECT_FALSE(Dialog().windowIcon().isNull());
    EXPECT_EQ(Control<QLabel>(1080)->text(), "30") << "the open shows the first parameter's default";
    EXPECT_GE(Control<QListView>(1000)->geometry().top(), Dialog().Menu().Bar()->geometry().bottom());
    EXPECT_LT(Control<QListView>(1000)->geometry().right(), Control<QLineEdit>(1047)->geometry().left());
    EXPECT_GT(Control<QLineEdit>(1001)->geometry().top(), Control<QSlider>(1043)->geometry().bottom());
}

TEST_F(ShellTest, AScreenReaderTellsEveryControlAndReadsTheValuesAsTheyChange)
{
    Create();
    struct Row {
        int id;
        const char *name;  // nullptr: not checked (a list reads its item)
        const char *description;
        const char *label;
    };
    const Row rows[] = {
        {1000, "Event log", "", ""},
        {1047, "Dial string", "", ""},
        {1001, "Serial number", "", ""},
        {1074, "Spectrum", "", ""},
        {1077, "Telephony Analysis", "", ""},
        {1043, "Parameter value", "", ""},
        {1080, "30", "Value of the selected parameter", ""},
        {1082, "2000 Hz", "Frequency under the mouse", ""},
        {1079, nullptr, "Parameter selector", ""},
        {1081, nullptr, "", "Local Country:"},
        {1084, nullptr, "", "Destination Country:"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.id);
        QWidget *widget = Control<QWidget>(row.id);
        ASSERT_NE(widget, nullptr);
        if (row.name) {
            EXPECT_EQ(AccessibleText(widget), row.name);
        }
        EXPECT_EQ(AccessibleText(widget, QAccessible::Description), row.description);
        EXPECT_EQ(AccessibleLabel(widget), row.label);
    }
    EXPECT_EQ(AccessibleText(Control<QComboBox>(1079)), "Ringer Off Period") << "a list reads its item";
    // The two check boxes the template hides are not offered at all.
    for (const int hidden : {1097, 1099})
        EXPECT_FALSE(Offered(&Dialog(), Control<QWidget>(hidden))) << hidden;
    for (const int shown : {1000, 1047, 1067, 1083})
        EXPECT_TRUE(Offered(&Dialog(), Control<QWidget>(shown))) << shown;

    // A drag changes the value text; the reader reads the new one.
    Control<QSlider>(1043)->setSliderDown(true);
    Control<QSlider>(1043)->setSliderPosition(77);
    Control<QSlider>(1043)->setSliderDown(false);
    EXPECT_EQ(AccessibleText(Control<QLabel>(1080)), "77");
}

TEST_F(ShellTest, NoDisplayNameIsAppendedToAnyWindowsTitle)
{
    const QString name = QCoreApplication::applicationName();
    CControlMonitorApp::SetIdentity(*qApp);
    EXPECT_EQ(QCoreApplication::applicationName(), "tvxmonitor");
    // Without a display name of its own the application's name stands in
    // for it: the platform then appends nothing to titles.
    QCoreApplication::setApplicationName("probe");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), "probe");
    QCoreApplication::setApplicationName(name);
}

TEST_F(ShellTest, EveryWayOfClosingClosesTheDeviceOnce)
{
    const std::function<void(CControlMonitorDlg &)> closers[] = {
        [this](CControlMonitorDlg &) { QTest::keyClick(Control<QLineEdit>(1001), Qt::Key_Escape); },
        [](CControlMonitorDlg &dialog) { dialog.close(); },
    };
    for (const auto &close : closers) {
        stub::Reset();
        Create().show();
        close(Dialog());
        EXPECT_FALSE(Dialog().isVisible()) << &close - closers;
        EXPECT_EQ(stub::CountOf("ScClose"), 0) << "the device closes with the dialog's destruction";
        Destroy();
        EXPECT_EQ(stub::CallTexts({"ScClose", "ScShutdown"}),
                  std::vector<std::string>({"ScClose(0)", "ScShutdown(0)"}));
    }
}

TEST_F(ShellTest, SerialNumberIsFocusedAndSelectedWhenShown)
{
    Create();
    Dialog().show();
    Dialog().activateWindow();
    auto *serial = Control<QLineEdit>(1001);
    ASSERT_TRUE(PumpUntil([&] { return serial->hasFocus(); }, 2000));
    EXPECT_EQ(serial->selectedText(), serial->text());

    Control<QLineEdit>(1047)->setFocus();
    Dialog().showMinimized();
    Dialog().showNormal();
    Pump();
    EXPECT_TRUE(serial->hasFocus()) << "restoring the window focuses the serial number again";
}

TEST_F(ShellTest, EnterInTheDialStringClicksTheDefaultButtonNotDial)
{
    Create();
    Dialog().show();
    int burns = 0, dials = 0;
    QObject::connect(Control<QPushButton>(1083), &QPushButton::clicked, [&] { ++burns; });
    QObject::connect(Control<QPushButton>(1067), &QPushButton::clicked, [&] { ++dials; });
    Control<QLineEdit>(1047)->setFocus();
    QTest::keyClick(Control<QLineEdit>(1047), Qt::Key_Return);
    QTest::keyClick(Control<QLineEdit>(1001), Qt::Key_Return);
    EXPECT_EQ(burns, 2);
    EXPECT_EQ(dials, 0);
}

}  // namespace
}  // namespace tvx::test

// The menu bar's overflow arrows are read when first drawn, and are then the
// platform style's own; every other standard icon is the style's at once.
TEST(DeferredIconStyleTest, IconsAreTheBaseStylesWhenDrawn)
{
    tvx::DeferredIconStyle style(QApplication::style()->name());
    for (const QStyle::StandardPixmap which : {QStyle::SP_ToolBarHorizontalExtensionButton,
                                               QStyle::SP_ToolBarVerticalExtensionButton,
                                               QStyle::SP_MessageBoxWarning}) {
        SCOPED_TRACE(which);
        const QIcon icon = style.standardIcon(which, nullptr, nullptr);
        const QIcon base = style.baseStyle()->standardIcon(which);
        ASSERT_FALSE(base.isNull());
        EXPECT_FALSE(icon.isNull());
        EXPECT_EQ(icon.availableSizes(), base.availableSizes());
        for (const int size : {16, 32})
            EXPECT_EQ(icon.pixmap(size).toImage(), base.pixmap(size).toImage()) << size;
    }
}
