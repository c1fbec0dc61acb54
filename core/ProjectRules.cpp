#include "core/ProjectRules.h"

#include "core/ContextClassifier.h"
#include "core/Text.h"
#include "core/Uuid.h"

#include <array>

namespace kestrove {

namespace {

using JsonCoding::DecodeError;
using JsonCoding::Json;

struct RuleKindInfo
{
    ProjectRule::Kind kind;
    const char* key;
    std::string_view label;
    int specificity;
};

constexpr std::array<RuleKindInfo, 4> kRuleKinds = {{
    {ProjectRule::Kind::app, "app", "App", 1},
    {ProjectRule::Kind::domain, "domain", "Website", 3},
    {ProjectRule::Kind::titleContains, "titleContains", "Window title", 2},
    {ProjectRule::Kind::pathContains, "pathContains", "Folder", 4},
}};

const RuleKindInfo& infoOf(ProjectRule::Kind kind)
{
    return kRuleKinds[static_cast<std::size_t>(kind)];
}

} // namespace

int ProjectRule::specificity() const
{
    return infoOf(kind).specificity;
}

std::string_view ProjectRule::kindLabel() const
{
    return infoOf(kind).label;
}

Json ProjectRule::toJson() const
{
    Json json = Json::object();
    json[infoOf(kind).key] = Json{{"_0", value}};
    return json;
}

ProjectRule ProjectRule::fromJson(const Json& json)
{
    if (!json.is_object()) {
        throw DecodeError("expected an object");
    }
    const RuleKindInfo* found = nullptr;
    int count = 0;
    for (const RuleKindInfo& info : kRuleKinds) {
        if (json.contains(info.key)) {
            found = &info;
            ++count;
        }
    }
    if (count != 1) {
        throw DecodeError("Invalid number of keys found, expected one.");
    }
    return {found->kind, JsonCoding::requireString(json.at(found->key), "_0")};
}

Json Project::toJson() const
{
    Json json = {{"id", id}, {"name", name}, {"color", color}};
    JsonCoding::putOptional(json, "area", area);
    Json ruleList = Json::array();
    for (const ProjectRule& rule : rules) {
        ruleList.push_back(rule.toJson());
    }
    json["rules"] = std::move(ruleList);
    json["isArchived"] = isArchived;
    return json;
}

Project Project::fromJson(const Json& json)
{
    Project project;
    project.id = Uuid::normalized(JsonCoding::requireString(json, "id"));
    if (project.id.empty()) {
        throw DecodeError("key \"id\": expected a UUID");
    }
    project.name = JsonCoding::requireString(json, "name");
    project.color = JsonCoding::requireString(json, "color");
    project.area = JsonCoding::optionalString(json, "area");
    const Json& rules = JsonCoding::require(json, "rules");
    if (!rules.is_array()) {
        throw DecodeError("key \"rules\": expected an array");
    }
    for (const Json& rule : rules) {
        project.rules.push_back(ProjectRule::fromJson(rule));
    }
    project.isArchived = JsonCoding::requireBool(json, "isArchived");
    return project;
}

ProjectResolver::ProjectResolver(const std::vector<Project>& projects)
{
    for (const Project& project : projects) {
        if (!project.isArchived) {
            m_projects.push_back(project);
        }
    }
}

ProjectResolver::Resolution
ProjectResolver::resolve(const ContextSample& sample, const std::optional<std::string>& pinned,
                         const std::optional<std::string>& lockInProjectID,
                         const std::optional<std::string>& detectedHint) const
{
    const Project* project = projectWithID(pinned);
    if (!project) {
        project = projectWithID(lockInProjectID);
    }
    if (!project) {
        project = bestRuleMatch(sample);
    }
    if (!project && detectedHint) {
        for (const Project& candidate : m_projects) {
            if (Text::equalsIgnoringCase(candidate.name, *detectedHint)) {
                project = &candidate;
                break;
            }
        }
    }
    Resolution resolution;
    if (project) {
        resolution.project = *project;
    }
    resolution.detectedHint = detectedHint;
    return resolution;
}

const Project* ProjectResolver::projectWithID(const std::optional<std::string>& id) const
{
    if (!id) {
        return nullptr;
    }
    const std::string wanted = Uuid::normalized(*id);
    for (const Project& project : m_projects) {
        if (!wanted.empty() && project.id == wanted) {
            return &project;
        }
    }
    return nullptr;
}

const Project* ProjectResolver::bestRuleMatch(const ContextSample& sample) const
{
    const std::string bundleID = sample.bundleID ? Text::lowercased(*sample.bundleID) : "";
    std::optional<std::string> domain;
    std::string path;
    const auto matches = [&](const ProjectRule& rule) {
        switch (rule.kind) {
        case ProjectRule::Kind::app:
            // An empty value deliberately matches every application that reports an identifier.
            return sample.bundleID.has_value() &&
                   Text::startsWith(bundleID, Text::lowercased(rule.value));
        case ProjectRule::Kind::domain: {
            if (!domain) {
                domain = sample.domain();
                path = sample.path();
            }
            const SiteRule single[] = {{rule.value, ContextKind::deep}};
            return !domain->empty() && !rule.value.empty() &&
                   ContextClassifier::bestSiteMatch(*domain, path, single).has_value();
        }
        case ProjectRule::Kind::titleContains:
            return !rule.value.empty() &&
                   Text::containsIgnoringCase(sample.windowTitle, rule.value);
        case ProjectRule::Kind::pathContains:
            return !rule.value.empty() &&
                   Text::containsIgnoringCase(sample.documentPath, rule.value);
        }
        return false;
    };

    const Project* best = nullptr;
    int bestSpecificity = 0;
    for (const Project& project : m_projects) {
        for (const ProjectRule& rule : project.rules) {
            if (rule.specificity() > bestSpecificity && matches(rule)) {
                best = &project;
                bestSpecificity = rule.specificity();
            }
        }
    }
    return best;
}

namespace ProjectHints {

namespace {

std::string_view withoutTrailingSlashes(std::string_view path)
{
    while (path.size() > 1 && path.back() == '/') {
        path.remove_suffix(1);
    }
    return path;
}

std::string_view lastPathComponent(std::string_view path)
{
    path = withoutTrailingSlashes(path);
    if (path == "/") {
        return path;
    }
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// The folder that holds `path`: "/" above a top-level entry, "" above a bare relative name.
std::string_view parentFolder(std::string_view path)
{
    path = withoutTrailingSlashes(path);
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos) {
        return {};
    }
    if (slash == 0) {
        return path.substr(0, 1);
    }
    return withoutTrailingSlashes(path.substr(0, slash));
}

std::vector<std::string> segments(std::string_view title,
                                  std::initializer_list<std::string_view> separators)
{
    std::vector<std::string> pieces = {Text::trimmed(title)};
    for (std::string_view separator : separators) {
        std::vector<std::string> split;
        for (const std::string& piece : pieces) {
            std::size_t start = 0;
            for (auto at = piece.find(separator); at != std::string::npos;
                 at = piece.find(separator, start)) {
                split.push_back(piece.substr(start, at - start));
                start = at + separator.size();
            }
            split.push_back(piece.substr(start));
        }
        pieces = std::move(split);
    }
    std::vector<std::string> kept;
    for (const std::string& piece : pieces) {
        if (std::string trimmed = Text::trimmedSpacesAndTabs(piece); !trimmed.empty()) {
            kept.push_back(std::move(trimmed));
        }
    }
    return kept;
}

bool startsWithAny(std::string_view id, std::initializer_list<std::string_view> prefixes)
{
    for (std::string_view prefix : prefixes) {
        if (Text::startsWith(id, prefix)) {
            return true;
        }
    }
    return false;
}

std::optional<std::string> first(const std::vector<std::string>& pieces)
{
    return pieces.empty() ? std::nullopt : std::optional(pieces.front());
}

std::optional<std::string> last(const std::vector<std::string>& pieces)
{
    return pieces.empty() ? std::nullopt : std::optional(pieces.back());
}

// Editors put the file first and the folder second, before the editor's own name.
std::optional<std::string> editorFolder(std::string_view id, std::string_view title)
{
    std::vector<std::string> kept;
    for (std::string& piece : segments(title, {" — ", " - "})) {
        const std::string lower = Text::lowercased(piece);
        if (lower.find("visual studio code") == std::string::npos && lower != "cursor" &&
            lower != "antigravity") {
            kept.push_back(std::move(piece));
        }
    }
    if (kept.size() >= 2 && !Text::startsWith(id, "com.google.antigravity")) {
        return kept[1];
    }
    return first(kept);
}

// Terminals end their titles with the working folder.
std::optional<std::string> terminalFolder(std::string_view title)
{
    const auto folder = last(segments(title, {" — ", " - "}));
    if (!folder || !(Text::startsWith(*folder, "~") || Text::startsWith(*folder, "/"))) {
        return std::nullopt;
    }
    const std::string_view name = lastPathComponent(*folder);
    if (name.empty() || name == "~") {
        return std::nullopt;
    }
    return std::string(name);
}

} // namespace

std::optional<std::string>
gitRootName(std::string_view documentPath,
            const std::function<bool(const std::string& folder)>& isGitRoot)
{
    if (documentPath.empty()) {
        return std::nullopt;
    }
    std::string_view folder = parentFolder(documentPath);
    for (int tested = 0; tested < 14 && !folder.empty(); ++tested) {
        if (isGitRoot(std::string(folder))) {
            return std::string(lastPathComponent(folder));
        }
        const std::string_view parent = parentFolder(folder);
        if (parent == folder) {
            return std::nullopt;
        }
        folder = parent;
    }
    return std::nullopt;
}

std::optional<std::string> fromWindowTitle(const std::optional<std::string>& bundleID,
                                           std::string_view title)
{
    const std::string trimmed = Text::trimmedSpacesAndTabs(title);
    if (trimmed.empty() || !bundleID) {
        return std::nullopt;
    }
    const std::string id = Text::lowercased(*bundleID);
    if (Text::startsWith(id, "com.apple.dt.xcode")) {
        return first(segments(trimmed, {" — "}));
    }
    if (startsWithAny(id, {"com.microsoft.vscode", "com.google.antigravity", "com.cursor.ide",
                           "com.exafunction.windsurf", "com.todesktop"})) {
        return editorFolder(id, trimmed);
    }
    if (startsWithAny(id, {"com.googlecode.iterm2", "com.apple.terminal", "dev.warp",
                           ContextClassifier::kHandleTerminalBundleID})) {
        return terminalFolder(trimmed);
    }
    if (startsWithAny(id, {"com.notion.id", "notion.id"})) {
        return first(segments(trimmed, {" — Notion", " - Notion"}));
    }
    if (Text::startsWith(id, "md.obsidian")) {
        return last(segments(trimmed, {" — ", " - "}));
    }
    if (Text::startsWith(id, "com.figma.desktop")) {
        return first(segments(trimmed, {" – Figma", " - Figma", " — Figma"}));
    }
    return std::nullopt;
}

} // namespace ProjectHints

} // namespace kestrove
