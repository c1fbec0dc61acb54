#include "Views/Dashboard/ProjectsView.h"

#include "Views/Components/Eyebrow.h"
#include "Views/Dashboard/ProjectEditSheet.h"
#include "ViewsTestSupport.h"
#include "core/Calendar.h"
#include "support/EngineRig.h"
#include "support/TimeZone.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

Segment deep(Date start, double minutes, const char* project, const char* area)
{
    Segment s;
    s.start = start;
    s.end = start + minutes * 60;
    s.kind = ContextKind::deep;
    s.appName = "Code";
    s.bundleID = "com.microsoft.vscode";
    s.windowTitle = "notes.md";
    if (project) {
        s.project = project;
    }
    if (area) {
        s.area = area;
    }
    return s;
}

Project project(const char* id, const char* name, const char* area)
{
    Project p;
    p.id = id;
    p.name = name;
    p.color = "teal";
    if (area) {
        p.area = area;
    }
    return p;
}

class ProjectsViewTest : public ::testing::Test
{
protected:
    ProjectsViewTest()
    {
        testing_support::ensureApplication();
        Database db(m_rig.path);
        db.open();
        db.insertSegment(deep(Calendar::date(2026, 12, 1, 9, 0), 60, "Kestrove", "Work"));
        db.insertSegment(deep(Calendar::date(2026, 12, 8, 9, 0), 30, "Kestrove", "Work"));
        db.insertSegment(deep(Calendar::date(2026, 12, 8, 11, 0), 20, "Thesis", nullptr));
        m_rig.engine->projects().add(project("K", "Kestrove", "Work"));
        m_rig.engine->projects().add(project("T", "Thesis", nullptr));
        m_rig.start();
    }

    std::unique_ptr<ProjectsView> page()
    {
        auto view = std::make_unique<ProjectsView>(
            *m_rig.engine, [this](QWidget*, const QString&, const std::set<std::string>& chosen,
                                  std::function<void(const std::set<std::string>&)> onDone) {
                m_pickerStartedWith = chosen;
                onDone({"org.b.editor", "org.a.terminal"});
            });
        m_rig.settle();
        return view;
    }

    QAbstractButton* row(ProjectsView& view, const QString& name)
    {
        for (auto* button : view.list()->findChildren<QAbstractButton*>("projectRow")) {
            if (button->accessibleName() == name) {
                return button;
            }
        }
        return nullptr;
    }

    ScopedTimeZone m_tz{"Europe/Berlin"};
    EngineRig m_rig{Calendar::date(2026, 12, 9, 15, 0)};
    std::set<std::string> m_pickerStartedWith;
};

} // namespace

TEST_F(ProjectsViewTest, ListsByAreaAndShowsTheChosenProject)
{
    const auto view = page();
    QStringList headers;
    for (const auto* eyebrow : view->list()->findChildren<Eyebrow*>("areaHeader")) {
        headers << eyebrow->shownText();
    }
    EXPECT_EQ(headers, (QStringList{"WORK", "NO AREA"}));
    EXPECT_TRUE(view->detail()->objectName() == "placeholder");

    QAbstractButton* kestrove = row(*view, "Kestrove");
    ASSERT_TRUE(kestrove);
    QTest::mouseClick(kestrove, Qt::LeftButton);
    m_rig.settle();
    ASSERT_TRUE(view->selected());
    EXPECT_EQ(view->selected()->name, "Kestrove");
    EXPECT_EQ(view->trend().size(), 30u);
    const QStringList texts = view->texts(view->detail());
    EXPECT_TRUE(texts.contains("last 30 days: 1h 30m"));
    EXPECT_TRUE(texts.contains("per active day: 45m"));
    EXPECT_TRUE(texts.contains("active days: 2"));
    EXPECT_TRUE(texts.contains("notes.md"));

    auto* pin = view->detail()->findChild<QAbstractButton*>("pin");
    ASSERT_TRUE(pin);
    pin->click();
    EXPECT_EQ(m_rig.engine->projects().pinnedProjectID(), "K");
    EXPECT_EQ(view->detail()->findChild<QAbstractButton*>("pin")->text(), "Pinned");
}

// After a rename the detail follows the project under its new name, and its history with it.
TEST_F(ProjectsViewTest, ARenamedProjectReloadsUnderItsNewName)
{
    const auto view = page();
    view->select(*m_rig.engine->projects().projectWithID("K"));
    m_rig.settle();
    ProjectEditSheet* sheet = view->openEditor(view->selected());
    sheet->nameField()->setText("Kestrove App");
    sheet->save();
    m_rig.settle();
    ASSERT_TRUE(view->selected());
    EXPECT_EQ(view->selected()->name, "Kestrove App");
    double deep = 0;
    for (const DayTotal& day : view->trend()) {
        deep += day.deepSeconds;
    }
    EXPECT_EQ(deep, 5400);
    EXPECT_EQ(m_rig.rows("SELECT DISTINCT project FROM segments WHERE area = 'Work'"),
              (std::vector<std::vector<std::string>>{{"Kestrove App"}}));
    EXPECT_TRUE(view->texts(view->list()).contains("1h 30m"));
    EXPECT_TRUE(view->errorText().empty());
}

TEST_F(ProjectsViewTest, ANameAnotherProjectCarriesIsRefused)
{
    const auto view = page();
    ProjectEditSheet* sheet = view->openEditor(std::nullopt);
    sheet->nameField()->setText(" thesis ");
    sheet->save();
    m_rig.settle();
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_FALSE(sheet->message().isEmpty());
    EXPECT_EQ(m_rig.engine->projects().projects().size(), 2u);

    // A website rule that could never match is refused too, and the text stays to correct.
    sheet->ruleField()->setText("intranet");
    sheet->addTypedRule();
    EXPECT_TRUE(sheet->message().contains("not a website"));
    EXPECT_TRUE(sheet->editor().rules.empty());
    EXPECT_EQ(sheet->ruleField()->text(), "intranet");
    sheet->ruleField()->setText("https://WWW.Intranet.Example.org/wiki");
    sheet->addTypedRule();
    EXPECT_TRUE(sheet->message().isEmpty());
    EXPECT_EQ(sheet->editor().rules,
              (std::vector<ProjectRule>{ProjectRule::domain("intranet.example.org")}));
    EXPECT_TRUE(sheet->ruleField()->text().isEmpty());

    // Applications come from the picker, sorted at the end.
    sheet->openAppPicker();
    EXPECT_TRUE(m_pickerStartedWith.empty());
    EXPECT_EQ(sheet->editor().rules.back(), ProjectRule::app("org.b.editor"));

    sheet->nameField()->setText("Garden");
    sheet->save();
    m_rig.settle();
    const auto garden = m_rig.engine->projects().projectNamed("Garden");
    ASSERT_TRUE(garden);
    EXPECT_FALSE(garden->id.empty());
    EXPECT_EQ(garden->rules.size(), 3u);
}

TEST_F(ProjectsViewTest, DeletingLeavesTheHistoryUnassigned)
{
    const auto view = page();
    view->select(*m_rig.engine->projects().projectWithID("K"));
    m_rig.settle();
    ProjectEditSheet* sheet = view->openEditor(view->selected());
    sheet->deleteProject();
    m_rig.settle();
    EXPECT_FALSE(m_rig.engine->projects().projectWithID("K"));
    EXPECT_FALSE(view->selected());
    EXPECT_EQ(view->detail()->objectName(), "placeholder");
    EXPECT_EQ(m_rig.rows("SELECT COUNT(*) FROM segments WHERE kind = 'deep' AND project IS NULL "
                         "AND area IS NULL"),
              (std::vector<std::vector<std::string>>{{"2"}}));
    EXPECT_TRUE(view->list()->findChild<QAbstractButton*>("unassignedRow"));
}

TEST_F(ProjectsViewTest, AFailedRenameOfHistoryIsReported)
{
    const auto view = page();
    m_rig.engine->database().run([](Database& db) { db.close(); });
    ProjectEditSheet* sheet = view->openEditor(*m_rig.engine->projects().projectWithID("T"));
    sheet->nameField()->setText("Thesis 2");
    sheet->save();
    m_rig.settle();
    EXPECT_FALSE(view->errorText().empty());
    EXPECT_TRUE(view->list()->findChild<QLabel*>("errorLine"));
}
