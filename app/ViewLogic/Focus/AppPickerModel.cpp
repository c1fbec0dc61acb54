#include "ViewLogic/Focus/AppPickerModel.h"

#include "core/NumberFormat.h"
#include "core/Text.h"

#include <algorithm>

namespace kestrove::AppPickerModel {

std::vector<InstalledApp> filtered(const std::vector<InstalledApp>& apps, std::string_view search)
{
    if (search.empty()) {
        return apps;
    }
    const std::string query = Text::lowercased(search);
    std::vector<InstalledApp> result;
    for (const InstalledApp& app : apps) {
        if (Text::lowercased(app.name).find(query) != std::string::npos ||
            Text::lowercased(app.bundleID).find(query) != std::string::npos) {
            result.push_back(app);
        }
    }
    return result;
}

bool isChosen(const AppSelection& selection, std::string_view bundleID)
{
    const std::string key = Text::lowercased(bundleID);
    return selection.contains(key) ||
           std::any_of(selection.begin(), selection.end(),
                       [&](const std::string& id) { return Text::lowercased(id) == key; });
}

void toggle(AppSelection& selection, std::string_view bundleID)
{
    const std::string key = Text::lowercased(bundleID);
    if (!isChosen(selection, key)) {
        selection.insert(key);
        return;
    }
    std::erase_if(selection, [&](const std::string& id) { return Text::lowercased(id) == key; });
}

std::string countText(const AppSelection& selection)
{
    return NumberFormat::integer(static_cast<std::int64_t>(selection.size())) + " selected";
}

} // namespace kestrove::AppPickerModel
