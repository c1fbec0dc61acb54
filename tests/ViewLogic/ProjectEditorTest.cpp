#include "ViewLogic/Projects/ProjectEditor.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

using Kind = ProjectEditor::RuleKind;

Project stored(const std::string& id, const std::string& name)
{
    Project p;
    p.id = id;
    p.name = name;
    p.color = "teal";
    p.area = "Work";
    p.rules = {ProjectRule::titleContains("kestrove")};
    return p;
}

} // namespace

TEST(ProjectEditorTest, StartsFromTheProjectOrTheNextColour)
{
    const ProjectEditor fresh(std::nullopt, "amber");
    EXPECT_FALSE(fresh.isEditing());
    EXPECT_EQ(fresh.color, "amber");
    EXPECT_EQ(fresh.title(), "New project");
    EXPECT_EQ(fresh.saveLabel(), "Create");
    EXPECT_FALSE(fresh.canSave());

    Project odd = stored("P1", "Kestrove");
    odd.color = "mauve"; // a key outside the palette is kept as it is
    odd.area.reset();
    const ProjectEditor editing(odd, "amber");
    EXPECT_TRUE(editing.isEditing());
    EXPECT_EQ(editing.color, "mauve");
    EXPECT_EQ(editing.area, "");
    EXPECT_EQ(editing.rules, odd.rules);
    EXPECT_EQ(editing.saveLabel(), "Save");
}

TEST(ProjectEditorTest, TypedRulesAreNormalisedOrRefused)
{
    const struct
    {
        Kind kind;
        const char* typed;
        std::optional<ProjectRule> rule; // absent: refused
    } cases[] = {
        {Kind::website, "  HTTPS://WWW.Example.COM/docs/page?x=1 ",
         ProjectRule::domain("example.com")},
        {Kind::website, "Docs.Example.org", ProjectRule::domain("docs.example.org")},
        {Kind::website, "www.example.org/path", ProjectRule::domain("example.org")},
        {Kind::website, "http://git.example.org:8080/x", ProjectRule::domain("git.example.org")},
        {Kind::website, "localhost", std::nullopt},
        {Kind::website, "ftp://files.example.org", std::nullopt},
        {Kind::website, "https://", std::nullopt},
        {Kind::website, "my notes", std::nullopt},
        {Kind::windowTitle, "  Kestrove Plan ", ProjectRule::titleContains("Kestrove Plan")},
        {Kind::folder, "/Code/Kestrove/", ProjectRule::pathContains("/Code/Kestrove/")},
        {static_cast<Kind>(7), "/x/", ProjectRule::pathContains("/x/")},
    };
    for (const auto& c : cases) {
        ProjectEditor editor(std::nullopt, "violet");
        editor.newRuleKind = c.kind;
        editor.newRuleValue = c.typed;
        const auto refusal = editor.addTypedRule();
        if (c.rule) {
            EXPECT_FALSE(refusal) << c.typed;
            ASSERT_EQ(editor.rules.size(), 1u) << c.typed;
            EXPECT_EQ(editor.rules[0], *c.rule) << c.typed;
            EXPECT_EQ(editor.newRuleValue, "");
        } else {
            ASSERT_TRUE(refusal) << c.typed;
            EXPECT_NE(refusal->find("is not a website"), std::string::npos);
            EXPECT_TRUE(editor.rules.empty()) << c.typed;
            // The text stays, to be corrected.
            EXPECT_EQ(editor.newRuleValue, c.typed);
        }
    }
}

TEST(ProjectEditorTest, DuplicateAndBlankRules)
{
    ProjectEditor editor(stored("P1", "Kestrove"), "violet");
    editor.newRuleKind = Kind::windowTitle;
    editor.newRuleValue = "kestrove";
    EXPECT_FALSE(editor.addTypedRule());
    EXPECT_EQ(editor.rules.size(), 1u); // already listed: nothing added
    EXPECT_EQ(editor.newRuleValue, ""); // but the field is cleared

    editor.newRuleValue = "Kestrove"; // another case is another rule
    editor.addTypedRule();
    EXPECT_EQ(editor.rules.size(), 2u);

    editor.newRuleValue = " \t ";
    EXPECT_FALSE(editor.canAddRule());
    editor.addTypedRule();
    EXPECT_EQ(editor.newRuleValue, " \t "); // blank: nothing happens at all
    editor.newRuleValue = "\n";
    EXPECT_TRUE(editor.canAddRule()); // only spaces and tabs disable Add
    editor.addTypedRule();
    EXPECT_EQ(editor.rules.size(), 2u);
}

TEST(ProjectEditorTest, PickedAppsReplaceTheAppRulesAtTheEnd)
{
    ProjectEditor editor(std::nullopt, "violet");
    editor.rules = {ProjectRule::app("org.b"), ProjectRule::domain("example.org"),
                    ProjectRule::app("org.a"), ProjectRule::titleContains("x"),
                    ProjectRule::titleContains("x")};
    EXPECT_EQ(editor.appSelection(), (std::set<std::string>{"org.a", "org.b"}));
    editor.applyAppSelection({"org.z", "org.c", "org.b"});
    EXPECT_EQ(editor.rules, (std::vector<ProjectRule>{
                                ProjectRule::domain("example.org"), ProjectRule::titleContains("x"),
                                ProjectRule::titleContains("x"), ProjectRule::app("org.b"),
                                ProjectRule::app("org.c"), ProjectRule::app("org.z")}));
    editor.removeRule(ProjectRule::titleContains("x"));
    EXPECT_EQ(editor.rules.size(), 4u);
    editor.applyAppSelection({});
    EXPECT_EQ(editor.rules, (std::vector<ProjectRule>{ProjectRule::domain("example.org")}));
}

TEST(ProjectEditorTest, SavePlans)
{
    const std::vector<Project> store = {stored("P1", "Kestrove"), stored("P2", "Thesis")};
    const struct
    {
        std::optional<Project> project;
        const char* name;
        const char* area;
        bool refused;
        const char* savedName;
        std::optional<std::string> savedArea;
    } cases[] = {
        {std::nullopt, "  Garden\t", "  ", false, "Garden", std::nullopt},
        {std::nullopt, "thesis", "", true, "", std::nullopt},
        {std::nullopt, "   ", "", true, "", std::nullopt},
        {store[0], "KESTROVE", " Work ", false, "KESTROVE", "Work"},
        {store[0], "Thesis ", "Work", true, "", std::nullopt},
        {store[0], "Kestrove", "", false, "Kestrove", std::nullopt},
    };
    for (const auto& c : cases) {
        ProjectEditor editor(c.project, "pink");
        editor.name = c.name;
        editor.area = c.area;
        const auto plan = editor.savePlan(store, "NEW-ID");
        if (c.refused) {
            ASSERT_TRUE(std::holds_alternative<std::string>(plan)) << c.name;
            EXPECT_FALSE(std::get<std::string>(plan).empty());
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<ProjectEditor::SavePlan>(plan)) << c.name;
        const auto& saving = std::get<ProjectEditor::SavePlan>(plan);
        EXPECT_EQ(saving.project.name, c.savedName);
        EXPECT_EQ(saving.project.area, c.savedArea);
        EXPECT_EQ(saving.isNew, !c.project);
        if (c.project) {
            EXPECT_EQ(saving.project.id, c.project->id);
            EXPECT_EQ(saving.project.color, "teal");
            // Every saved edit moves the stored history, changed or not.
            ASSERT_TRUE(saving.rename);
            EXPECT_EQ(*saving.rename,
                      (HistoryRename{c.project->name, std::string(c.savedName), c.savedArea}));
        } else {
            EXPECT_EQ(saving.project.id, "NEW-ID");
            EXPECT_EQ(saving.project.color, "pink");
            EXPECT_FALSE(saving.rename);
        }
    }
}

TEST(ProjectEditorTest, DeletePlanLeavesTheHistoryUnassigned)
{
    EXPECT_FALSE(ProjectEditor(std::nullopt, "violet").deletePlan());
    const auto plan = ProjectEditor(stored("P1", "Kestrove"), "violet").deletePlan();
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->id, "P1");
    EXPECT_EQ(plan->rename, (HistoryRename{"Kestrove", std::nullopt, std::nullopt}));
}
