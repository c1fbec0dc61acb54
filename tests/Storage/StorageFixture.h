#pragma once

#include "Storage/Database.h"
#include "support/FakeClock.h"

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
    StorageTest()
    {
        char pattern[] = "/tmp/kestrove-storage-XXXXXX";
        m_root = mkdtemp(pattern);
        m_path = m_root + "/Kestrove/kestrove.db";
    }
    ~StorageTest() override { std::filesystem::remove_all(m_root); }

    // A second, independent connection for arranging rows the store itself never writes.
    void rawExec(const std::string& sql)
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(m_path.c_str(), &db), SQLITE_OK);
        char* message = nullptr;
        const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
        EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "");
        sqlite3_free(message);
        sqlite3_close(db);
    }

    std::string m_root;
    std::string m_path;
    FakeClock m_clock{1765000000.25};
};

} // namespace kestrove
