#pragma once

#include <sqlite3.h>

#include <string>
#include <vector>

namespace kestrove {

// Rows of a query over a read-only connection of its own, each row's columns as texts ("NULL"
// for a null); empty when the database or the query cannot be opened.
inline std::vector<std::vector<std::string>> tableRows(const std::string& path,
                                                       const std::string& sql)
{
    std::vector<std::vector<std::string>> result;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) {
                std::vector<std::string> row;
                for (int i = 0; i < sqlite3_column_count(statement); ++i) {
                    const auto* text = sqlite3_column_text(statement, i);
                    row.emplace_back(text ? reinterpret_cast<const char*>(text) : "NULL");
                }
                result.push_back(std::move(row));
            }
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return result;
}

} // namespace kestrove
