#pragma once

// What the page benchmarks share: the offscreen application they paint in, a year of history
// with an engine started on it, and the bulk insert that writes that history.
#include "Gallery/Gallery.h"
#include "Storage/Database.h"
#include "support/EngineRig.h"

#include <QApplication>

#include <sqlite3.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace kestrove {

// The program's offscreen application, made on first use and kept to the end.
inline QApplication& benchApplication(const char* programName)
{
    static int argc = 1;
    static std::string name = programName;
    static char* argv[] = {name.data(), nullptr};
    static std::unique_ptr<QApplication> app = gallery::offscreenApplication(argc, argv);
    return *app;
}

// A history written into a folder of its own by `write`, and an engine started on it with an
// editor window titled `frontTitle` in front; `prepare` sees the engine before it starts.
struct BenchYear
{
    BenchYear(Date now, const std::function<void(const std::string& path)>& write,
              const std::string& frontTitle, const std::function<void(EngineRig&)>& prepare = {})
    {
        const std::string path = folder.path + "/kestrove.db";
        write(path);
        rig.emplace(now, path);
        if (prepare) {
            prepare(*rig);
        }
        rig->show("org.example.editor", frontTitle);
        rig->start();
    }
    TemporaryFolder folder;
    std::optional<EngineRig> rig;
};

// Segments written straight into a new database in one transaction: a year through the
// writer thread would take minutes. The rows are committed when it goes.
class SegmentInserter
{
public:
    SegmentInserter(const std::string& path, const char* insertSql)
    {
        {
            Database db(path);
            db.open();
        }
        sqlite3_open(path.c_str(), &m_db);
        sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr);
        sqlite3_prepare_v2(m_db, insertSql, -1, &m_insert, nullptr);
    }
    ~SegmentInserter()
    {
        sqlite3_finalize(m_insert);
        sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
        sqlite3_close(m_db);
    }
    SegmentInserter(const SegmentInserter&) = delete;
    SegmentInserter& operator=(const SegmentInserter&) = delete;

    // The statement to bind the next row to.
    sqlite3_stmt* row() const { return m_insert; }
    // Writes the bound row and readies the statement for the next.
    void insert()
    {
        sqlite3_step(m_insert);
        sqlite3_reset(m_insert);
    }

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_insert = nullptr;
};

} // namespace kestrove
