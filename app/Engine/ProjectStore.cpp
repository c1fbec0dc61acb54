#include "Engine/ProjectStore.h"

#include "Platform/Clock.h"
#include "Platform/Log.h"
#include "Platform/MainThread.h"
#include "Platform/Preferences.h"
#include "core/JsonCoding.h"
#include "core/Text.h"
#include "core/Uuid.h"

#include <algorithm>

namespace kestrove {

namespace {

using JsonCoding::Json;

const Log kLog("app");

Json parsedData(const Preferences::Data& data)
{
    try {
        return JsonCoding::parse(data.bytes);
    } catch (const Json::exception& error) {
        throw JsonCoding::DecodeError(error.what());
    }
}

Json parsedData(const Preferences::Value& value)
{
    const auto* data = std::get_if<Preferences::Data>(&value.storage);
    if (!data) {
        throw JsonCoding::DecodeError("not data");
    }
    return parsedData(*data);
}

std::vector<Project> decodedProjects(const Preferences::Value& stored)
{
    const Json json = parsedData(stored);
    if (!json.is_array()) {
        throw JsonCoding::DecodeError("expected an array of projects");
    }
    std::vector<Project> out;
    for (const Json& element : json) {
        out.push_back(Project::fromJson(element));
    }
    return out;
}

std::map<std::string, ContextKind> decodedOverrides(const Preferences::Value& stored)
{
    const Json json = parsedData(stored);
    if (!json.is_object()) {
        throw JsonCoding::DecodeError("expected an object of kinds");
    }
    std::map<std::string, ContextKind> out;
    for (const auto& [key, value] : json.items()) {
        const auto kind =
            value.is_string() ? ContextKinds::fromRawValue(value.get<std::string>()) : std::nullopt;
        if (!kind) {
            throw JsonCoding::DecodeError("override \"" + key + "\" is not a kind");
        }
        out[key] = *kind;
    }
    return out;
}

Preferences::Data encoded(const Json& json)
{
    return {json.dump(-1, ' ', false, Json::error_handler_t::replace)};
}

std::string legacyColor(const std::string& name)
{
    static const std::map<std::string, std::string> table = {
        {"blue", "blue"},     {"red", "coral"}, {"green", "green"},  {"orange", "amber"},
        {"purple", "violet"}, {"pink", "pink"}, {"yellow", "amber"}, {"teal", "teal"}};
    const auto it = table.find(name);
    return it == table.end() ? "violet" : it->second;
}

std::vector<std::string> stringList(const Json& object, const char* key)
{
    const Json& list = JsonCoding::require(object, key);
    if (!list.is_array()) {
        throw JsonCoding::DecodeError(std::string("key \"") + key + "\": expected an array");
    }
    std::vector<std::string> out;
    for (const Json& element : list) {
        if (!element.is_string()) {
            throw JsonCoding::DecodeError(std::string("key \"") + key + "\": expected texts");
        }
        out.push_back(element.get<std::string>());
    }
    return out;
}

// Every record of an older array, or nothing when one of them does not decode.
template <typename Decode>
auto decodedRecords(const std::optional<Preferences::Data>& data, Decode decode)
    -> std::vector<decltype(decode(Json()))>
{
    if (!data) {
        return {};
    }
    try {
        const Json json = parsedData(*data);
        if (!json.is_array()) {
            return {};
        }
        std::vector<decltype(decode(Json()))> out;
        for (const Json& element : json) {
            out.push_back(decode(element));
        }
        return out;
    } catch (const std::exception&) {
        return {};
    }
}

struct LegacyProject
{
    std::string id;
    std::string name;
    std::string color;
    std::vector<std::string> assignedBundleIDs;
    bool isArchived;
};

LegacyProject legacyProject(const Json& json)
{
    const std::string id = JsonCoding::requireString(json, "id");
    if (!Uuid::isValid(id)) {
        throw JsonCoding::DecodeError("key \"id\": expected a UUID");
    }
    return {Uuid::normalized(id), JsonCoding::requireString(json, "name"),
            JsonCoding::requireString(json, "color"), stringList(json, "assignedBundleIDs"),
            JsonCoding::requireBool(json, "isArchived")};
}

struct LegacyWorkspace
{
    std::string name;
    std::vector<std::string> projectNames;
    bool isArchived;
};

LegacyWorkspace legacyWorkspace(const Json& json)
{
    return {JsonCoding::requireString(json, "name"), stringList(json, "projectNames"),
            JsonCoding::requireBool(json, "isArchived")};
}

Project* findNamed(std::vector<Project>& projects, std::string_view name)
{
    const auto it = std::find_if(projects.begin(), projects.end(), [&](const Project& p) {
        return Text::equalsIgnoringCase(p.name, name);
    });
    return it == projects.end() ? nullptr : &*it;
}

// Reads the value stored under `key` into `field`. False (logged) when a stored value does not
// decode; the field then keeps its initial value.
template <typename Field, typename Decode>
bool loadStored(const Preferences& preferences, const char* key, Field& field, Decode decode)
{
    const auto stored = preferences.value(key);
    if (!stored) {
        return true;
    }
    try {
        field = decode(*stored);
        return true;
    } catch (const std::exception& error) {
        kLog.error(std::string("stored ") + key + " does not decode (" + error.what() +
                   "); kept as it is until the user changes it");
        return false;
    }
}

} // namespace

ProjectStore::ProjectStore(Preferences& preferences, const Clock& clock)
    : m_preferences(preferences), m_clock(clock)
{
    load();
    migrateLegacyIfNeeded();
}

// ---- Loading and the one-time migration ----

void ProjectStore::load()
{
    assertMainThread();
    m_held.projects = !loadStored(m_preferences, kProjectsKey, m_state.projects, decodedProjects);
    m_held.overrides =
        !loadStored(m_preferences, kOverridesKey, m_state.overrides, decodedOverrides);
    const auto areas = [this](const Preferences::Value&) {
        auto texts = m_preferences.stringArray(kAreasKey);
        if (!texts) {
            throw JsonCoding::DecodeError("not a list of texts");
        }
        return std::move(*texts);
    };
    m_held.areas = !loadStored(m_preferences, kAreasKey, m_state.customAreas, areas);
}

void ProjectStore::migrateLegacyIfNeeded()
{
    assertMainThread();
    if (m_preferences.boolValue(kMigratedKey).value_or(false)) {
        return;
    }
    migrateLegacyProjects();
    migrateLegacyWorkspaces();
    migrateLegacyCategories();
    save();
    m_preferences.setBool(kMigratedKey, true);
}

void ProjectStore::migrateLegacyProjects()
{
    assertMainThread();
    for (LegacyProject& old :
         decodedRecords(m_preferences.data(kLegacyProjectsKey), legacyProject)) {
        if (findNamed(m_state.projects, old.name)) {
            continue;
        }
        Project project;
        project.id = old.id;
        project.name = old.name;
        project.color = legacyColor(old.color);
        for (const std::string& bundleID : old.assignedBundleIDs) {
            project.rules.push_back(ProjectRule::app(Text::lowercased(bundleID)));
        }
        project.isArchived = old.isArchived;
        m_state.projects.push_back(std::move(project));
    }
}

void ProjectStore::migrateLegacyWorkspaces()
{
    assertMainThread();
    for (const LegacyWorkspace& workspace :
         decodedRecords(m_preferences.data(kLegacyWorkspacesKey), legacyWorkspace)) {
        if (workspace.isArchived) {
            continue;
        }
        for (const std::string& name : workspace.projectNames) {
            if (Project* existing = findNamed(m_state.projects, name)) {
                if (!existing->area) {
                    existing->area = workspace.name;
                }
                continue;
            }
            Project project;
            project.id = Uuid::generate();
            project.name = name;
            project.color = nextColor();
            project.area = workspace.name;
            project.rules = {ProjectRule::titleContains(name),
                             ProjectRule::pathContains("/" + name + "/")};
            m_state.projects.push_back(std::move(project));
        }
    }
}

void ProjectStore::migrateLegacyCategories()
{
    assertMainThread();
    const auto categories = m_preferences.dictionary(kLegacyCategoriesKey);
    if (!categories) {
        return;
    }
    const bool allTexts = std::all_of(categories->begin(), categories->end(), [](const auto& e) {
        return std::holds_alternative<std::string>(e.second.storage);
    });
    if (!allTexts) {
        return;
    }
    for (const auto& [bundleID, category] : *categories) {
        m_state.overrides[Text::lowercased(bundleID)] =
            ContextKinds::fromLegacyCategory(std::get<std::string>(category.storage), false);
    }
}

// ---- Saving ----

bool ProjectStore::mayWrite(const char* key, bool& held, bool fieldIsEmpty)
{
    assertMainThread();
    if (!held) {
        return true;
    }
    if (fieldIsEmpty) {
        return false;
    }
    const std::string aside = std::string(key) + ".undecodable";
    if (const auto stored = m_preferences.value(key)) {
        m_preferences.set(aside, *stored);
    }
    kLog.error(std::string("undecodable ") + key + " replaced by the user's change; kept as " +
               aside);
    held = false;
    return true;
}

void ProjectStore::save()
{
    assertMainThread();
    if (mayWrite(kProjectsKey, m_held.projects, m_state.projects.empty())) {
        Json list = Json::array();
        for (const Project& project : m_state.projects) {
            list.push_back(project.toJson());
        }
        m_preferences.setData(kProjectsKey, encoded(list));
    }
    if (mayWrite(kOverridesKey, m_held.overrides, m_state.overrides.empty())) {
        Json object = Json::object();
        for (const auto& [key, kind] : m_state.overrides) {
            object[key] = std::string(rawValue(kind));
        }
        m_preferences.setData(kOverridesKey, encoded(object));
    }
    if (mayWrite(kAreasKey, m_held.areas, m_state.customAreas.empty())) {
        m_preferences.setStringArray(kAreasKey, m_state.customAreas);
    }
}

template <typename Change> void ProjectStore::change(bool saves, Change&& apply)
{
    const State before = m_state;
    apply(m_state);
    if (saves) {
        save();
    }
    if (m_state != before) {
        m_observers.notify();
    }
    if (onChange) {
        onChange();
    }
}

// ---- Reading ----

std::vector<Project> ProjectStore::activeProjects() const
{
    std::vector<Project> out;
    std::copy_if(m_state.projects.begin(), m_state.projects.end(), std::back_inserter(out),
                 [](const Project& p) { return !p.isArchived; });
    return out;
}

std::vector<std::string> ProjectStore::areas() const
{
    std::vector<std::string> out;
    const auto offer = [&out](const std::string& area) {
        if (std::find(out.begin(), out.end(), area) == out.end()) {
            out.push_back(area);
        }
    };
    for (const Project& project : m_state.projects) {
        if (!project.isArchived && project.area && !project.area->empty()) {
            offer(*project.area);
        }
    }
    for (const std::string& area : m_state.customAreas) {
        offer(area);
    }
    return out;
}

std::optional<Project> ProjectStore::pinnedProject() const
{
    if (!m_state.pinnedProjectID) {
        return std::nullopt;
    }
    for (const Project& project : m_state.projects) {
        if (!project.isArchived && project.id == *m_state.pinnedProjectID) {
            return project;
        }
    }
    return std::nullopt;
}

std::optional<Project> ProjectStore::projectNamed(std::string_view name) const
{
    for (const Project& project : m_state.projects) {
        if (Text::equalsIgnoringCase(project.name, name)) {
            return project;
        }
    }
    return std::nullopt;
}

std::optional<Project> ProjectStore::projectWithID(std::string_view id) const
{
    for (const Project& project : m_state.projects) {
        if (project.id == id) {
            return project;
        }
    }
    return std::nullopt;
}

std::string ProjectStore::nextColor() const
{
    for (std::string_view key : palette) {
        const bool used = std::any_of(m_state.projects.begin(), m_state.projects.end(),
                                      [&](const Project& p) { return p.color == key; });
        if (!used) {
            return std::string(key);
        }
    }
    return std::string(palette[m_state.projects.size() % palette.size()]);
}

// ---- Operations ----

Project ProjectStore::add(Project project)
{
    project.name = Text::trimmed(project.name);
    change(true, [&](State& s) { s.projects.push_back(project); });
    return project;
}

void ProjectStore::update(const Project& project)
{
    assertMainThread();
    const auto it = std::find_if(m_state.projects.begin(), m_state.projects.end(),
                                 [&](const Project& p) { return p.id == project.id; });
    if (it == m_state.projects.end()) {
        return;
    }
    const auto index = it - m_state.projects.begin();
    change(true, [&](State& s) { s.projects[index] = project; });
}

void ProjectStore::deleteProject(std::string_view id)
{
    assertMainThread();
    change(true, [&](State& s) {
        std::erase_if(s.projects, [&](const Project& p) { return p.id == id; });
        if (s.pinnedProjectID == id) {
            s.pinnedProjectID.reset();
            s.pinnedAt.reset();
        }
    });
}

void ProjectStore::addRule(const ProjectRule& rule, std::string_view projectID)
{
    assertMainThread();
    const auto it = std::find_if(m_state.projects.begin(), m_state.projects.end(),
                                 [&](const Project& p) { return p.id == projectID; });
    if (it == m_state.projects.end()) {
        return;
    }
    const auto index = it - m_state.projects.begin();
    change(true, [&](State& s) {
        auto& rules = s.projects[index].rules;
        if (std::find(rules.begin(), rules.end(), rule) == rules.end()) {
            rules.push_back(rule);
        }
    });
}

void ProjectStore::setOverride(std::string_view key, std::optional<ContextKind> kind)
{
    assertMainThread();
    const std::string lowered = Text::lowercased(key);
    change(true, [&](State& s) {
        if (kind) {
            s.overrides[lowered] = *kind;
        } else {
            s.overrides.erase(lowered);
        }
    });
}

void ProjectStore::pin(std::optional<std::string> projectID)
{
    assertMainThread();
    const std::optional<Date> at = projectID ? std::optional(m_clock.now()) : std::nullopt;
    change(false, [&](State& s) {
        s.pinnedProjectID = std::move(projectID);
        s.pinnedAt = at;
    });
}

} // namespace kestrove
