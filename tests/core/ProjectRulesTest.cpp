#include "core/ProjectRules.h"
#include "core/Uuid.h"

#include <gtest/gtest.h>

#include <set>

using namespace kestrove;
using JsonCoding::Json;

namespace {

Project project(std::string name, std::vector<ProjectRule> rules, bool archived = false)
{
    return {Uuid::generate(), std::move(name), "teal", std::nullopt, std::move(rules), archived};
}

ContextSample sample(std::string bundleID, std::string url = "", std::string title = "",
                     std::string documentPath = "")
{
    ContextSample s;
    s.bundleID = std::move(bundleID);
    s.url = std::move(url);
    s.windowTitle = std::move(title);
    s.documentPath = std::move(documentPath);
    return s;
}

std::optional<std::string> nameOf(const ProjectResolver::Resolution& resolution)
{
    return resolution.project ? std::optional(resolution.project->name) : std::nullopt;
}

} // namespace

TEST(ProjectRule, JsonFormAndItsErrors)
{
    Project p = project("Kestrove", {ProjectRule::app("dev.zed"), ProjectRule::domain("github.com"),
                                     ProjectRule::titleContains("kestrove"),
                                     ProjectRule::pathContains("/src/kestrove")});
    p.area = "Work";
    const Json json = p.toJson();
    EXPECT_EQ(json.dump().substr(0, 7), R"({"id":")");
    EXPECT_EQ(json["rules"][1].dump(), R"({"domain":{"_0":"github.com"}})");
    EXPECT_EQ(Project::fromJson(json), p);
    p.area.reset();
    EXPECT_FALSE(p.toJson().contains("area"));

    const auto error = [](const char* text) {
        try {
            ProjectRule::fromJson(Json::parse(text));
        } catch (const JsonCoding::DecodeError& e) {
            return std::string(e.what());
        }
        return std::string("decoded");
    };
    const std::string wrongCount = "Invalid number of keys found, expected one.";
    EXPECT_EQ(error(R"({"app":{"_0":"a"},"domain":{"_0":"b"}})"), wrongCount);
    EXPECT_EQ(error(R"({"other":{"_0":"a"}})"), wrongCount);
    EXPECT_EQ(error(R"({"app":{"_0":"a"},"other":1})"), "decoded"); // unknown keys do not count
    EXPECT_NE(error(R"({"app":{}})"), "decoded");
    EXPECT_NE(error(R"({"app":{"_0":3}})"), "decoded");
    Json missing = json;
    missing.erase("isArchived");
    EXPECT_THROW(Project::fromJson(missing), JsonCoding::DecodeError);
}

TEST(ProjectResolver, PinnedThenFocusTaskThenMostSpecificRuleThenHint)
{
    const Project byApp = project("App", {ProjectRule::app("DEV.ZED")});
    const Project byTitle = project("Title", {ProjectRule::titleContains("ÉTÉ")});
    const Project bySite = project("Site", {ProjectRule::domain("github.com")});
    const Project byLongerSite = project("Longer", {ProjectRule::domain("github.com/kestrove")});
    const Project byFolder = project("Folder", {ProjectRule::pathContains("/Src/")});
    const Project archived = project("Archived", {ProjectRule::pathContains("/")}, true);
    const Project hinted = project("Kestrove", {});
    const ProjectResolver resolver(
        {archived, byApp, byTitle, bySite, byLongerSite, byFolder, hinted});
    ASSERT_EQ(resolver.projects().size(), 6u);

    const ContextSample everything =
        sample("dev.zed.Zed", "https://github.com/kestrove", "été", "/home/me/src/a.cpp");
    struct Case
    {
        std::optional<std::string> pinned, lockIn;
        ContextSample sample;
        std::optional<std::string> expected;
    };
    const Case cases[] = {
        {byApp.id, byTitle.id, everything, "App"},
        {archived.id, byTitle.id, everything, "Title"}, // archived pins are ignored
        {"not-a-uuid", std::nullopt, everything, "Folder"},
        {std::nullopt, std::nullopt, sample("dev.zed.zed", "https://github.com/kestrove"), "Site"},
        {std::nullopt, std::nullopt, sample("x", "https://api.github.com/", "ÉTÉ"), "Site"},
        {std::nullopt, std::nullopt, sample("dev.zed", "", "un été"), "Title"},
        {std::nullopt, std::nullopt, sample("com.example", "https://kestrove"), std::nullopt},
        {std::nullopt, std::nullopt, sample("com.example", "", "", "/src"), std::nullopt},
    };
    for (const Case& c : cases) {
        const auto resolution = resolver.resolve(c.sample, c.pinned, c.lockIn, std::nullopt);
        EXPECT_EQ(nameOf(resolution), c.expected) << c.sample.url << c.sample.windowTitle;
    }

    const auto hint =
        resolver.resolve(sample("com.example"), std::nullopt, std::nullopt, "KESTROVE");
    EXPECT_EQ(nameOf(hint), "Kestrove");
    EXPECT_EQ(hint.detectedHint, "KESTROVE");
    const auto unknownHint = resolver.resolve(sample("x"), std::nullopt, std::nullopt, "Other");
    EXPECT_EQ(unknownHint, (ProjectResolver::Resolution{std::nullopt, "Other"}));
}

TEST(ProjectResolver, EmptyValuesMatchOnlyWhereMeant)
{
    const ProjectResolver resolver(
        {project("Title", {ProjectRule::titleContains("")}),
         project("Site", {ProjectRule::domain(""), ProjectRule::domain("/x.y")}),
         project("Everything", {ProjectRule::app("")})});
    EXPECT_EQ(nameOf(resolver.resolve(sample("any.app", "https://x.y./"), {}, {}, {})),
              "Everything");
    ContextSample withoutID = sample("");
    withoutID.bundleID.reset();
    withoutID.windowTitle = "anything";
    EXPECT_EQ(nameOf(resolver.resolve(withoutID, {}, {}, {})), std::nullopt);
}

TEST(ProjectHints, GitRootWalksAtMostFourteenFolders)
{
    std::set<std::string> roots = {"/home/me/kestrove", "/"};
    std::vector<std::string> asked;
    const auto isRoot = [&](const std::string& folder) {
        asked.push_back(folder);
        return roots.contains(folder);
    };
    EXPECT_EQ(ProjectHints::gitRootName("/home/me/kestrove/README.md", isRoot), "kestrove");
    EXPECT_EQ(ProjectHints::gitRootName("/home/me/kestrove/core/a/b.cpp", isRoot), "kestrove");
    EXPECT_EQ(ProjectHints::gitRootName("", isRoot), std::nullopt);
    roots = {"/r"};
    std::string deep = "/r";
    for (int i = 0; i < 13; ++i) {
        deep += "/d";
    }
    EXPECT_EQ(ProjectHints::gitRootName(deep + "/file", isRoot), "r"); // the 14th folder
    asked.clear();
    EXPECT_EQ(ProjectHints::gitRootName(deep + "/d/file", isRoot), std::nullopt);
    EXPECT_EQ(asked.size(), 14u);
    asked.clear();
    EXPECT_EQ(ProjectHints::gitRootName("/a/b.txt", isRoot), std::nullopt);
    EXPECT_EQ(asked, (std::vector<std::string>{"/a", "/"}));
}

TEST(ProjectHints, WindowTitles)
{
    const std::tuple<std::optional<std::string>, std::string, std::optional<std::string>> cases[] =
        {
            {"com.apple.dt.Xcode", "Kestrove — Tracker.swift", "Kestrove"},
            {"com.microsoft.VSCode", "main.cpp — kestrove — Visual Studio Code", "kestrove"},
            {"com.cursor.ide", "main.cpp - kestrove - Cursor", "kestrove"},
            {"com.google.antigravity", "main.cpp — kestrove — Antigravity", "main.cpp"},
            {"com.microsoft.vscode", "Visual Studio Code", std::nullopt},
            {"com.googlecode.iterm2", "make — ~/src/kestrove", "kestrove"},
            {"org.wezfurlong.wezterm", "vim - /home/me/notes/", "notes"},
            {"com.apple.Terminal", "zsh — ~", std::nullopt},
            {"dev.warp.Warp-Stable", "zsh — src", std::nullopt},
            {"notion.id", "Roadmap — Notion", "Roadmap"},
            {"com.notion.id", "Roadmap and plans", "Roadmap and plans"},
            {"md.obsidian", "Daily — Vault - Obsidian 1.5", "Obsidian 1.5"},
            {"com.figma.desktop", "Kestrove icons – Figma", "Kestrove icons"},
            {"com.example.unknown", "a — b", std::nullopt},
            {std::nullopt, "a — b", std::nullopt},
            {"com.apple.dt.xcode", " \t ", std::nullopt},
        };
    for (const auto& [bundleID, title, expected] : cases) {
        EXPECT_EQ(ProjectHints::fromWindowTitle(bundleID, title), expected) << title;
    }
}
