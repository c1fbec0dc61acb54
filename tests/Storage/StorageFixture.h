#pragma once

#include "Storage/Database.h"
#include "support/FakeClock.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace kestrove {

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
