// The dialog templates as data, and the conversion of dialog units to pixels.
#include "res/CallerIdGenTemplate.h"
#include "res/DialogUnits.h"
#include "res/LedsTestTemplate.h"
#include "res/MainDialogTemplate.h"

#include <gtest/gtest.h>

#include <set>

namespace tvx::res {
namespace {

const DialogTemplate *const kTemplates[] = {&kMainDialogTemplate, &kCallerIdGenTemplate, &kLedsTestTemplate};

TEST(TemplatesTest, EveryControlLiesInsideItsDialogAndIdsAreUnique)
{
    for (const DialogTemplate *tmpl : kTemplates) {
        std::set<int> ids;
        for (const ControlTemplate &control : tmpl->controls) {
            EXPECT_GE(control.x, 0) << tmpl->id << "/" << control.id;
            EXPECT_GE(control.y, 0) << tmpl->id << "/" << control.id;
            EXPECT_LE(control.x + control.width, tmpl->width) << tmpl->id << "/" << control.id;
            EXPECT_LE(control.y + control.height, tmpl->height) << tmpl->id << "/" << control.id;
            if (control.id != kNoId) {
                EXPECT_TRUE(ids.insert(control.id).second) << "id used twice: " << control.id;
            }
            // A control without a text of its own needs a name for assistive technology.
            const bool textless = control.text[0] == '\0' && control.kind != ControlKind::GroupBox;
            if (textless && !(control.style & kHidden)) {
                EXPECT_NE(control.accessibleName, nullptr) << tmpl->id << "/" << control.id;
            }
        }
    }
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
