#include "Engine/ProjectStore.h"

#include "core/Uuid.h"
#include "support/FakeClock.h"
#include "support/RecordingPreferences.h"

#include <gtest/gtest.h>

using namespace kestrove;

namespace {

using Data = Preferences::Data;
using Names = std::vector<std::string>;

const std::string kClientID = "11111111-1111-4111-8111-111111111111";

Project project(std::string name, std::string color = "violet",
                std::optional<std::string> area = std::nullopt, bool archived = false)
{
    return {Uuid::generate(), std::move(name), std::move(color), std::move(area), {}, archived};
}

Names names(const std::vector<Project>& projects)
{
    Names out;
    for (const Project& p : projects) {
        out.push_back(p.name);
    }
    return out;
}

class ProjectStoreTest : public ::testing::Test
{
protected:
    ProjectStore& open()
    {
        m_store = std::make_unique<ProjectStore>(prefs, clock);
        m_store->onChange = [this] { ++changes; };
        m_subscription = m_store->observers().subscribe([this] { ++told; });
        return *m_store;
    }
    // A store that already holds these projects, as the last launch left them.
    ProjectStore& openWith(const std::vector<Project>& projects)
    {
        prefs.remove(ProjectStore::kProjectsKey);
        for (const Project& p : projects) {
            open().add(p);
        }
        return open();
    }

    RecordingPreferences prefs;
    FakeClock clock;
    int changes = 0;
    int told = 0;

private:
    std::unique_ptr<ProjectStore> m_store;
    Subscription m_subscription;
};

} // namespace

TEST_F(ProjectStoreTest, MigratesTheThreeOlderKeysOnce)
{
    prefs.setData(ProjectStore::kProjectsKey, {R"([{"id":"22222222-2222-4222-8222-222222222222",
        "name":"Thesis","color":"teal","rules":[],"isArchived":false}])"});
    prefs.setData(ProjectStore::kLegacyProjectsKey, {R"([
        {"id":")" + kClientID + R"(","name":"Client","color":"red",
         "assignedBundleIDs":["Com.Figma.Desktop"],"isArchived":true,"extra":1},
        {"id":"33333333-3333-4333-8333-333333333333","name":"THESIS","color":"blue",
         "assignedBundleIDs":[],"isArchived":false},
        {"id":"44444444-4444-4444-8444-444444444444","name":"Odd","color":"Blue",
         "assignedBundleIDs":[],"isArchived":false}])"});
    prefs.setData(ProjectStore::kLegacyWorkspacesKey, {R"([
        {"name":"Studio","projectNames":["client","Site"],"isArchived":false},
        {"name":"Old","projectNames":["Gone"],"isArchived":true},
        {"name":"Later","projectNames":["Client"],"isArchived":false}])"});
    prefs.setDictionary(ProjectStore::kLegacyCategoriesKey,
                        {{"Com.Apple.Xcode", {std::string("deep_work")}},
                         {"com.x.chat", {std::string("distraction")}}});

    ProjectStore& store = open();
    ASSERT_EQ(names(store.projects()), (Names{"Thesis", "Client", "Odd", "Site"}));
    const Project& client = store.projects()[1];
    EXPECT_EQ(client, (Project{kClientID,
                               "Client",
                               "coral",
                               "Studio",
                               {ProjectRule::app("com.figma.desktop")},
                               true}));
    EXPECT_EQ(store.projects()[2].color, "violet"); // colour names are matched as written
    const Project& site = store.projects()[3];
    EXPECT_EQ(site.color, "blue"); // the first free palette key
    EXPECT_EQ(site.area, "Studio");
    EXPECT_EQ(site.rules, (std::vector{ProjectRule::titleContains("Site"),
                                       ProjectRule::pathContains("/Site/")}));
    EXPECT_EQ(store.overrides(),
              (std::map<std::string, ContextKind>{{"com.apple.xcode", ContextKind::deep},
                                                  {"com.x.chat", ContextKind::distraction}}));
    EXPECT_EQ(changes + told, 0);

    prefs.setData(ProjectStore::kLegacyProjectsKey,
                  {R"([{"id":"55555555-5555-4555-8555-555555555555","name":"New",)"
                   R"("color":"red","assignedBundleIDs":[],"isArchived":false}])"});
    EXPECT_EQ(open().projects().size(), 4u);
}

TEST_F(ProjectStoreTest, OlderKeysThatDoNotDecodeContributeNothing)
{
    prefs.setData(ProjectStore::kLegacyProjectsKey,
                  {R"([{"id":"not-a-uuid","name":"A","color":"red","assignedBundleIDs":[],)"
                   R"("isArchived":false}])"});
    prefs.setData(ProjectStore::kLegacyWorkspacesKey, {R"([{"name":"W","projectNames":["B"]}])"});
    prefs.setDictionary(ProjectStore::kLegacyCategoriesKey,
                        {{"a.b", {std::string("deep_work")}}, {"c.d", {std::int64_t{1}}}});
    ProjectStore& store = open();
    EXPECT_TRUE(store.projects().empty());
    EXPECT_TRUE(store.overrides().empty());
    EXPECT_EQ(prefs.boolValue(ProjectStore::kMigratedKey), true);
}

TEST_F(ProjectStoreTest, UndecodableStoredValuesAreNotOverwrittenUntilARealChange)
{
    const Data badProjects{"[{\"name\":1}]"};
    const Data badOverrides{R"({"com.a":"deep","com.b":"sleepy"})"};
    prefs.setBool(ProjectStore::kMigratedKey, true);
    prefs.setData(ProjectStore::kProjectsKey, badProjects);
    prefs.setData(ProjectStore::kOverridesKey, badOverrides);
    prefs.setIntegerArray(ProjectStore::kAreasKey, {1});

    ProjectStore& store = open();
    EXPECT_TRUE(store.projects().empty() && store.overrides().empty());
    store.deleteProject(kClientID);
    store.setOverride("com.c", std::nullopt);
    EXPECT_EQ(prefs.data(ProjectStore::kProjectsKey), badProjects);
    EXPECT_EQ(prefs.data(ProjectStore::kOverridesKey), badOverrides);

    store.add(project("Fresh"));
    store.setOverride("com.c", ContextKind::shallow);
    EXPECT_EQ(prefs.data(ProjectStore::kProjectsKey + std::string(".undecodable")), badProjects);
    EXPECT_EQ(prefs.data(ProjectStore::kOverridesKey + std::string(".undecodable")), badOverrides);
    EXPECT_EQ(prefs.integerArray(ProjectStore::kAreasKey), std::vector<std::int64_t>{1});
    ProjectStore& reopened = open();
    EXPECT_EQ(names(reopened.projects()), Names{"Fresh"});
    EXPECT_EQ(reopened.overrides().at("com.c"), ContextKind::shallow);
}

TEST_F(ProjectStoreTest, NextColorAndAreas)
{
    const std::pair<Names, const char*> rows[] = {
        {{}, "violet"},
        {{"violet", "teal"}, "blue"},
        {{"violet", "blue", "teal", "green", "amber", "coral", "pink", "slate", "violet"}, "blue"},
        {{"violet", "blue", "teal", "green", "amber", "coral", "pink", "slate"}, "violet"},
    };
    for (const auto& [colors, expected] : rows) {
        std::vector<Project> projects;
        for (const std::string& color : colors) {
            projects.push_back(project("P", color, std::nullopt, projects.size() == 1));
        }
        EXPECT_EQ(openWith(projects).nextColor(), expected); // archived colours count
    }

    prefs.setStringArray(ProjectStore::kAreasKey, {"Home", "Side"});
    ProjectStore& store = openWith(
        {project("A", "violet", "Work"), project("B", "blue", "Home"), project("C", "teal", "Work"),
         project("D", "green", "Garden", true), project("E", "pink", "")});
    EXPECT_EQ(store.areas(), (Names{"Work", "Home", "Side"}));
}

TEST_F(ProjectStoreTest, OperationsSaveNotifyAndTellObserversOfRealChanges)
{
    ProjectStore& store = openWith({project("Thesis"), project("Site"), project("Old")});
    const std::string thesis = store.projects()[0].id;
    Project renamed = store.projects()[1];
    renamed.name = "  Site  ";
    Project archived = store.projects()[2];
    archived.isArchived = true;
    clock.set(1000);

    struct Step
    {
        const char* name;
        std::function<void()> run;
        int writes, changes, told;
    };
    const Step steps[] = {
        {"add trims", [&] { EXPECT_EQ(store.add(project(" New\n")).name, "New"); }, 1, 1, 1},
        {"update keeps blanks", [&] { store.update(renamed); }, 1, 1, 1},
        {"update unknown id", [&] { store.update(project("Nobody")); }, 0, 0, 0},
        {"add rule", [&] { store.addRule(ProjectRule::app("com.a"), thesis); }, 1, 1, 1},
        {"same rule again", [&] { store.addRule(ProjectRule::app("com.a"), thesis); }, 1, 1, 0},
        {"rule for unknown id", [&] { store.addRule(ProjectRule::app("x"), kClientID); }, 0, 0, 0},
        {"override", [&] { store.setOverride("GitHub.com", ContextKind::deep); }, 1, 1, 1},
        {"same override", [&] { store.setOverride("github.com", ContextKind::deep); }, 1, 1, 0},
        {"remove override", [&] { store.setOverride("GITHUB.COM", std::nullopt); }, 1, 1, 1},
        {"remove absent override", [&] { store.setOverride("x", std::nullopt); }, 1, 1, 0},
        {"pin archived", [&] { store.update(archived), store.pin(archived.id); }, 1, 2, 2},
        {"pin", [&] { store.pin(thesis); }, 0, 1, 1},
        {"delete unknown id", [&] { store.deleteProject(kClientID); }, 1, 1, 0},
        {"delete pinned", [&] { store.deleteProject(thesis); }, 1, 1, 1},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        prefs.forgetWrites();
        changes = told = 0;
        step.run();
        EXPECT_EQ(prefs.writes(ProjectStore::kProjectsKey), step.writes);
        EXPECT_EQ(changes, step.changes);
        EXPECT_EQ(told, step.told);
        if (std::string_view(step.name) == "pin archived") {
            EXPECT_EQ(store.pinnedAt(), 1000);
            EXPECT_EQ(store.pinnedProject(), std::nullopt);
        }
        if (std::string_view(step.name) == "pin") {
            EXPECT_EQ(store.pinnedProject()->name, "Thesis");
        }
    }
    EXPECT_EQ(names(store.activeProjects()), (Names{"  Site  ", "New"}));
    EXPECT_TRUE(store.overrides().empty());
    EXPECT_EQ(store.pinnedProjectID(), std::nullopt);
    EXPECT_EQ(store.pinnedAt(), std::nullopt);
    EXPECT_EQ(store.projectNamed("OLD")->id, archived.id);
    store.pin(archived.id);
    EXPECT_EQ(open().pinnedProjectID(), std::nullopt); // the pin lives in memory only
}
