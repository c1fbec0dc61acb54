#include "Views/PageParts.h"

#include "Views/Components/Eyebrow.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Components/StatChip.h"
#include "Views/Theme.h"
#include "ViewsTestSupport.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace kestrove;

// One widget of every kind the walk reads, a button and a header with a trailing text among
// them; what is read depends on the parts asked for, in the order the widgets were made.
TEST(PagePartsTest, TheTextWalkReadsThePartsItIsAskedFor)
{
    testing_support::ensureApplication();
    QVBoxLayout* column = nullptr;
    std::unique_ptr<QWidget> root(bareColumn(4, &column));
    column->addWidget(new QLabel("<b>label</b>"));
    column->addWidget(new Eyebrow("eyebrow", KS::textTertiary()));
    column->addWidget(new QPushButton("button"));
    column->addWidget(new SectionHeader("Section", QString("trailing")));
    column->addWidget(new StatChip("deep work", "2h", KS::text()));

    const struct
    {
        ShownTextParts parts;
        QStringList expected;
    } cases[] = {
        {{}, {"<b>label</b>", "EYEBROW", "Section", "deep work: 2h"}},
        {{.buttons = true}, {"<b>label</b>", "EYEBROW", "button", "Section", "deep work: 2h"}},
        {{.headerTrailing = true},
         {"<b>label</b>", "EYEBROW", "Section", "trailing", "deep work: 2h"}},
        {{.buttons = true, .headerTrailing = true},
         {"<b>label</b>", "EYEBROW", "button", "Section", "trailing", "deep work: 2h"}},
    };
    for (const auto& c : cases) {
        const QStringList read = shownTexts(root.get(), c.parts);
        EXPECT_EQ(read, c.expected) << c.parts.buttons << c.parts.headerTrailing;
    }
    EXPECT_TRUE(shownTexts(nullptr, {.buttons = true}).isEmpty()) << "no page yet, no texts";
}

TEST(PagePartsTest, ASheetIsAModalColumnOnInkAtItsWidth)
{
    testing_support::ensureApplication();
    QDialog sheet;
    QVBoxLayout* column = sheetColumn(sheet, "Assign", 520, 16);
    EXPECT_EQ(sheet.layout(), column);
    EXPECT_EQ(sheet.windowTitle(), "Assign");
    EXPECT_TRUE(sheet.isModal());
    EXPECT_EQ(sheet.minimumWidth(), 520);
    EXPECT_EQ(sheet.maximumWidth(), 520);
    EXPECT_TRUE(sheet.autoFillBackground());
    EXPECT_EQ(sheet.palette().color(QPalette::Window), KS::ink());
    EXPECT_EQ(column->contentsMargins(), QMargins(22, 22, 22, 22));
    EXPECT_EQ(column->spacing(), 16);
}
