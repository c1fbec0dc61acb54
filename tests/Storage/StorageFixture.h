#pragma once

#include "Storage/Database.h"
#include "support/FakeClock.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace kestrove {

// The seen applications and sites worked out the plain way from whole rows (as segments()
// gives them, clipped): keyed by domain, else by the lower-cased identifier, else the name.
inline std::vector<SeenContext> seenContextsOf(const std::vector<Segment>& rows, std::size_t limit)
{
    std::map<std::string, SeenContext> groups;
    for (const Segment& s : rows) {
        if (s.kind == ContextKind::idle) {
            continue;
        }
        std::string key = s.domain.empty() ? s.bundleID.value_or(s.appName) : s.domain;
        if (s.domain.empty()) {
            for (char& c : key) {
                c = (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; // ASCII only
            }
        }
        SeenContext& group = groups[key];
        group.key = key;
        group.displayName = s.domain.empty() ? s.appName : s.domain;
        group.isDomain = !s.domain.empty();
        group.seconds += s.end - s.start;
    }
    std::vector<SeenContext> result;
    for (const auto& entry : groups) {
        result.push_back(entry.second);
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const auto& a, const auto& b) { return a.seconds > b.seconds; });
    result.resize(std::min(result.size(), limit));
    return result;
}

// A database file in a fresh temporary folder, removed afterwards.
class StorageTest : public ::testing::Test
{
protected:
    StorageTest() { std::filesystem::create_directories(m_root + "/Kestrove"); }

    // A second, independent connection: arranges rows the store never writes and reads what
    // it stored. Returns the first column of the first row, "" when there is none.
    std::string raw(const std::string& sql)
    {
        sqlite3* db = nullptr;
        sqlite3_open(m_path.c_str(), &db);
        std::string first;
        char* message = nullptr;
        sqlite3_exec(
            db, sql.c_str(),
            [](void* out, int, char** values, char**) {
                auto* text = static_cast<std::string*>(out);
                if (text->empty() && values[0]) {
                    *text = values[0];
                }
                return 0;
            },
            &first, &message);
        EXPECT_EQ(message, nullptr) << message;
        sqlite3_free(message);
        sqlite3_close(db);
        return first;
    }

    // What a store operation threw, "" when it did not.
    template <typename Operation> static std::string errorOf(Operation operation)
    {
        try {
            operation();
        } catch (const DatabaseError& error) {
            return error.what();
        }
        return {};
    }

    TemporaryFolder m_folder;
    const std::string m_root = m_folder.path;
    std::string m_path = m_root + "/Kestrove/kestrove.db";
    FakeClock m_clock{1765000000.25};
};

} // namespace kestrove
