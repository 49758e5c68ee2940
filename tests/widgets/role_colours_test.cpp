#include <gtest/gtest.h>

#include "tests/support/palettes.h"
#include "widgets/role_colours.h"

namespace grainlink::test {
namespace {

constexpr ColourRole kRoles[] = {ColourRole::Caption, ColourRole::Emphasis, ColourRole::Warning,
                                 ColourRole::Value, ColourRole::Chart};
const QColor kSeries[] = {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255),
                          QColor(255, 255, 0)};

// Reference values of the WCAG 2 definition.
TEST(ContrastRatioTest, MatchesTheWcagDefinition)
{
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::black, Qt::white), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(QColor(0x77, 0x77, 0x77), QColor(0x77, 0x77, 0x77)), 1.0);
    EXPECT_NEAR(ContrastRatio(QColor(0x77, 0x77, 0x77), Qt::white), 4.48, 0.01);
    EXPECT_NEAR(ContrastRatio(Qt::white, QColor(0x76, 0x76, 0x76)), 4.54, 0.01);
    EXPECT_NEAR(ContrastRatio(QColor(0, 0, 255), Qt::white), 8.59, 0.01);
    EXPECT_NEAR(ContrastRatio(QColor(255, 0, 0), Qt::black), 5.25, 0.01);
}

// Under every dark palette, even one whose own text is too dim on it, each role's text reads at
// 4.5:1 on its background, the chart lines stand out at 3:1, and the signal colours keep their
// own background with readable text.
TEST(RoleColoursTest, EveryRoleIsReadableUnderADarkPalette)
{
    std::vector<NamedPalette> palettes = DarkPalettes();
    palettes.push_back(
        {"dim blue grey", MakePalette(QColor(0x2c, 0x3e, 0x50), QColor(0x7f, 0x8c, 0x8d),
                                      QColor(0x34, 0x49, 0x5e))});
    for (const NamedPalette& dark : palettes) {
        SCOPED_TRACE(dark.name);
        ASSERT_TRUE(IsDark(dark.palette));
        for (ColourRole role : kRoles) {
            const RoleColours colours = ColoursFor(role, dark.palette);
            EXPECT_GE(ContrastRatio(colours.text, colours.background), kTextContrast)
                << "role " << static_cast<int>(role) << ": " << colours.text.name().toStdString()
                << " on " << colours.background.name().toStdString();
        }
        const QColor chart = ColoursFor(ColourRole::Chart, dark.palette).background;
        for (const QColor& series : kSeries)
            EXPECT_GE(ContrastRatio(ChartLineColour(series, dark.palette), chart), kLineContrast)
                << series.name().toStdString();
        EXPECT_EQ(ColoursFor(ColourRole::Value, dark.palette).background,
                  dark.palette.color(QPalette::Base));
        EXPECT_EQ(ColoursFor(ColourRole::Caption, dark.palette).background,
                  dark.palette.color(QPalette::Window));
    }
    for (const QColor& signal : {QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255),
                                 QColor(255, 255, 128), QColor(255, 255, 192)})
        EXPECT_GE(ContrastRatio(TextOn(signal), signal), kTextContrast)
            << signal.name().toStdString();
}

// A dark palette keeps the hue where it can: the blue captions stay blue, the red warning red.
TEST(RoleColoursTest, UnderADarkPaletteTheDesignedHuesAreLightened)
{
    const QPalette dark = DarkPalettes().front().palette;
    const QColor blue = ColoursFor(ColourRole::Emphasis, dark).text;
    EXPECT_GT(blue.blue(), blue.red());
    EXPECT_GT(blue.red(), 0) << "lightened";
    const QColor red = ColoursFor(ColourRole::Warning, dark).text;
    EXPECT_GT(red.red(), red.green());
    EXPECT_EQ(ColoursFor(ColourRole::Caption, dark).text, dark.color(QPalette::WindowText))
        << "the palette's own text colour where it already reads";
}

// Under a light palette every role keeps the windows' designed colours.
TEST(RoleColoursTest, ALightPaletteKeepsTheDesignedColours)
{
    for (const NamedPalette& light : LightPalettes()) {
        SCOPED_TRACE(light.name);
        ASSERT_FALSE(IsDark(light.palette));
        const QColor window = light.palette.color(QPalette::Window);
        EXPECT_EQ(ColoursFor(ColourRole::Caption, light.palette).text, QColor(Qt::black));
        EXPECT_EQ(ColoursFor(ColourRole::Caption, light.palette).background, window);
        EXPECT_EQ(ColoursFor(ColourRole::Emphasis, light.palette).text, QColor(0, 0, 255));
        EXPECT_EQ(ColoursFor(ColourRole::Warning, light.palette).text, QColor(255, 0, 0));
        for (ColourRole box : {ColourRole::Value, ColourRole::Chart}) {
            EXPECT_EQ(ColoursFor(box, light.palette).text, QColor(Qt::black));
            EXPECT_EQ(ColoursFor(box, light.palette).background, QColor(Qt::white));
        }
        for (const QColor& series : kSeries)
            EXPECT_EQ(ChartLineColour(series, light.palette), series);
    }
    EXPECT_EQ(TextOn(QColor(0, 0, 255)), QColor(Qt::white));
    EXPECT_EQ(TextOn(QColor(0, 255, 0)), QColor(Qt::black));
}

}  // namespace
}  // namespace grainlink::test
