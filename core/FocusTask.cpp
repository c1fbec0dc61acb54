#include "core/FocusTask.h"

#include "core/Text.h"
#include "core/Uuid.h"

#include <numeric>

namespace kestrove {

using JsonCoding::DecodeError;
using JsonCoding::Json;

namespace {

std::vector<std::string> requireStrings(const Json& object, const char* key)
{
    const Json& list = JsonCoding::require(object, key);
    if (!list.is_array()) {
        throw DecodeError(std::string("key \"") + key + "\": expected an array");
    }
    std::vector<std::string> result;
    for (const Json& item : list) {
        if (!item.is_string()) {
            throw DecodeError(std::string("key \"") + key + "\": expected strings");
        }
        result.push_back(item.get<std::string>());
    }
    return result;
}

std::vector<double> requireNumbers(const Json& object, const char* key)
{
    const Json& list = JsonCoding::require(object, key);
    if (!list.is_array()) {
        throw DecodeError(std::string("key \"") + key + "\": expected an array");
    }
    std::vector<double> result;
    for (const Json& item : list) {
        if (!item.is_number()) {
            throw DecodeError(std::string("key \"") + key + "\": expected numbers");
        }
        result.push_back(item.get<double>());
    }
    return result;
}

std::string uuidText(const std::string& text, const char* key)
{
    if (!Uuid::isValid(text)) {
        throw DecodeError(std::string("key \"") + key + "\": expected a UUID");
    }
    return Uuid::normalized(text);
}

} // namespace

double FocusTask::avgScore() const
{
    if (scoreSamples.empty()) {
        return 0;
    }
    return std::accumulate(scoreSamples.begin(), scoreSamples.end(), 0.0) /
           double(scoreSamples.size());
}

bool FocusTask::matches(const std::optional<std::string>& bundleID,
                        std::string_view browserURL) const
{
    const std::string app = bundleID ? Text::lowercased(*bundleID) : std::string();
    if (bundleID && app == Text::lowercased(kOwnBundleID)) {
        return true;
    }
    if (allowedBundleIDs.empty() && allowedURLPatterns.empty()) {
        return false;
    }
    // An empty entry would allow everything, so it allows nothing.
    if (bundleID) {
        for (const auto& entry : allowedBundleIDs) {
            if (!entry.empty() && Text::startsWith(app, entry)) {
                return true;
            }
        }
    }
    if (browserURL.empty()) {
        return false;
    }
    // Stored patterns may carry upper case; addresses are compared lower-cased on both sides.
    const std::string address = Text::lowercased(browserURL);
    for (const auto& pattern : allowedURLPatterns) {
        if (!pattern.empty() && address.find(Text::lowercased(pattern)) != std::string::npos) {
            return true;
        }
    }
    return false;
}

Json FocusTask::toJson() const
{
    Json json = Json::object();
    json["id"] = id;
    json["name"] = name;
    json["estimatedSeconds"] = estimatedSeconds;
    json["allowedBundleIDs"] = allowedBundleIDs;
    json["allowedURLPatterns"] = allowedURLPatterns;
    json["startedAt"] = JsonCoding::encodeDate(startedAt);
    JsonCoding::putOptionalDate(json, "endedAt", endedAt);
    json["cumulativeOnTaskSeconds"] = cumulativeOnTaskSeconds;
    json["scoreSamples"] = scoreSamples;
    json["isLockdown"] = isLockdown;
    json["breakoutAttempts"] = breakoutAttempts;
    if (endedReason) {
        json["endedReason"] = std::string(rawValue(*endedReason));
    }
    JsonCoding::putOptional(json, "projectID", projectID);
    JsonCoding::putOptional(json, "projectName", projectName);
    return json;
}

FocusTask FocusTask::fromJson(const Json& json)
{
    FocusTask task;
    task.id = uuidText(JsonCoding::requireString(json, "id"), "id");
    task.name = JsonCoding::requireString(json, "name");
    task.estimatedSeconds = JsonCoding::requireNumber(json, "estimatedSeconds");
    task.allowedBundleIDs = requireStrings(json, "allowedBundleIDs");
    task.allowedURLPatterns = requireStrings(json, "allowedURLPatterns");
    task.startedAt = JsonCoding::requireDate(json, "startedAt");
    task.endedAt = JsonCoding::optionalDate(json, "endedAt");
    task.cumulativeOnTaskSeconds = JsonCoding::requireNumber(json, "cumulativeOnTaskSeconds");
    task.scoreSamples = requireNumbers(json, "scoreSamples");
    task.isLockdown = JsonCoding::optionalBool(json, "isLockdown").value_or(false);
    task.breakoutAttempts = JsonCoding::optionalInteger(json, "breakoutAttempts").value_or(0);
    if (const auto reason = JsonCoding::optionalString(json, "endedReason")) {
        task.endedReason = endReasonFromRawValue(*reason);
        if (!task.endedReason) {
            throw DecodeError("key \"endedReason\": unknown value");
        }
    }
    if (const auto project = JsonCoding::optionalString(json, "projectID")) {
        task.projectID = uuidText(*project, "projectID");
    }
    task.projectName = JsonCoding::optionalString(json, "projectName");
    return task;
}

std::string_view FocusTask::rawValue(EndReason reason)
{
    switch (reason) {
    case EndReason::completed:
        return "completed";
    case EndReason::brokeOut:
        return "brokeOut";
    case EndReason::crashed:
        return "crashed";
    }
    return "completed";
}

std::optional<FocusTask::EndReason> FocusTask::endReasonFromRawValue(std::string_view text)
{
    for (const auto reason : {EndReason::completed, EndReason::brokeOut, EndReason::crashed}) {
        if (rawValue(reason) == text) {
            return reason;
        }
    }
    return std::nullopt;
}

} // namespace kestrove
