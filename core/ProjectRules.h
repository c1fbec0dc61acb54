#pragma once

#include "core/JsonCoding.h"
#include "core/Segment.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kestrove {

// One way of recognising a project's work; each kind carries one text.
struct ProjectRule
{
    enum class Kind
    {
        app,
        domain,
        titleContains,
        pathContains
    };

    Kind kind = Kind::app;
    std::string value;

    static ProjectRule app(std::string value) { return {Kind::app, std::move(value)}; }
    static ProjectRule domain(std::string value) { return {Kind::domain, std::move(value)}; }
    static ProjectRule titleContains(std::string value)
    {
        return {Kind::titleContains, std::move(value)};
    }
    static ProjectRule pathContains(std::string value)
    {
        return {Kind::pathContains, std::move(value)};
    }

    // Folder beats website beats window title beats app.
    int specificity() const;
    std::string_view kindLabel() const;

    // {"<kind>": {"_0": "<value>"}}
    JsonCoding::Json toJson() const;
    static ProjectRule fromJson(const JsonCoding::Json& json); // throws JsonCoding::DecodeError

    bool operator==(const ProjectRule&) const = default;
};

struct Project
{
    std::string id; // UUID text, upper case
    std::string name;
    std::string color; // a colour key of the project palette
    std::optional<std::string> area;
    std::vector<ProjectRule> rules;
    bool isArchived = false;

    JsonCoding::Json toJson() const;
    static Project fromJson(const JsonCoding::Json& json); // throws JsonCoding::DecodeError

    bool operator==(const Project&) const = default;
};

// Decides which kept project a sample belongs to: pinned, then the focus task's, then the most
// specific matching rule, then a project named like the hint.
class ProjectResolver
{
public:
    struct Resolution
    {
        std::optional<Project> project;
        std::optional<std::string> detectedHint;

        bool operator==(const Resolution&) const = default;
    };

    ProjectResolver() = default;
    // Keeps only projects that are not archived, in their order.
    explicit ProjectResolver(const std::vector<Project>& projects);

    const std::vector<Project>& projects() const { return m_projects; }

    Resolution resolve(const ContextSample& sample, const std::optional<std::string>& pinned,
                       const std::optional<std::string>& lockInProjectID,
                       const std::optional<std::string>& detectedHint) const;

private:
    const Project* projectWithID(const std::optional<std::string>& id) const;
    const Project* bestRuleMatch(const ContextSample& sample) const;

    std::vector<Project> m_projects;
};

// Guesses a project name for a sample from what the frontmost application shows.
namespace ProjectHints {

// The name of the nearest enclosing folder that `isGitRoot` accepts, testing at most 14 folders.
std::optional<std::string>
gitRootName(std::string_view documentPath,
            const std::function<bool(const std::string& folder)>& isGitRoot);

// A project name read from the window title of a well-known editor, terminal or note tool.
std::optional<std::string> fromWindowTitle(const std::optional<std::string>& bundleID,
                                           std::string_view title);

} // namespace ProjectHints

} // namespace kestrove
