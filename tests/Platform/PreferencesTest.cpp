#include "Platform/Preferences.h"

#include "Platform/Log.h"
#include "support/ManualMainQueue.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace kestrove;
namespace fs = std::filesystem;

namespace {

using Value = Preferences::Value;

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

std::vector<std::string> filesIn(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Every log line written while it lives.
struct LogCapture
{
    LogCapture()
    {
        Log::setSink([this](Log::Level, const std::string&, const std::string& line) {
            lines.push_back(line);
        });
    }
    ~LogCapture() { Log::setSink(nullptr); }

    std::vector<std::string> lines;
};

bool isPrintableAscii(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
}

std::vector<std::string> namesStartingWith(const fs::path& folder, const std::string& prefix)
{
    std::vector<std::string> names = filesIn(folder);
    std::erase_if(names, [&](const std::string& name) { return !name.starts_with(prefix); });
    return names;
}

class FilePreferencesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "kestrove-prefs-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_root = pattern;
        file = m_root / "Kestrove" / "preferences.json";
    }
    void TearDown() override { fs::remove_all(m_root); }

    fs::path folder() const { return file.parent_path(); }

    fs::path file;
    ManualMainQueue queue;

private:
    fs::path m_root;
};

// Dies, in effect, after the new file is written and before it replaces the old one.
class CrashingPreferences final : public FilePreferences
{
public:
    using FilePreferences::FilePreferences;
    bool crashed = false;

protected:
    void beforeReplace(const fs::path&) override
    {
        if (!crashed) {
            crashed = true;
            throw std::runtime_error("crash");
        }
    }
};

} // namespace

TEST(Preferences, ValueReadAsAnotherTypeIsAbsent)
{
    Preferences prefs;
    prefs.setBool("bool", true);
    prefs.setInteger("int", 7);
    prefs.setDouble("double", 2.5);
    prefs.setString("string", "7");
    prefs.setData("data", {"7"});
    prefs.setStringArray("strings", {"a"});
    prefs.setIntegerArray("ints", {1});
    prefs.setIntegerArray("noInts", {});
    prefs.setDictionary("dictionary", {{"a", {std::string("b")}}});

    struct Row
    {
        const char* key;
        bool asBool, asInt, asDouble, asString, asData, asStrings, asInts, asDictionary;
    };
    const Row rows[] = {
        {"bool", 1, 0, 0, 0, 0, 0, 0, 0},       {"int", 0, 1, 1, 0, 0, 0, 0, 0},
        {"double", 0, 0, 1, 0, 0, 0, 0, 0},     {"string", 0, 0, 0, 1, 0, 0, 0, 0},
        {"data", 0, 0, 0, 0, 1, 0, 0, 0},       {"strings", 0, 0, 0, 0, 0, 1, 0, 0},
        {"ints", 0, 0, 0, 0, 0, 0, 1, 0},       {"noInts", 0, 0, 0, 0, 0, 1, 1, 0},
        {"dictionary", 0, 0, 0, 0, 0, 0, 0, 1}, {"absent", 0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(prefs.boolValue(row.key).has_value(), row.asBool);
        EXPECT_EQ(prefs.integer(row.key).has_value(), row.asInt);
        EXPECT_EQ(prefs.doubleValue(row.key).has_value(), row.asDouble);
        EXPECT_EQ(prefs.string(row.key).has_value(), row.asString);
        EXPECT_EQ(prefs.data(row.key).has_value(), row.asData);
        EXPECT_EQ(prefs.stringArray(row.key).has_value(), row.asStrings);
        EXPECT_EQ(prefs.integerArray(row.key).has_value(), row.asInts);
        EXPECT_EQ(prefs.dictionary(row.key).has_value(), row.asDictionary);
    }
    EXPECT_EQ(prefs.doubleValue("int"), 7.0);
    EXPECT_EQ(prefs.stringArray("noInts"), std::vector<std::string>{});

    prefs.setDouble("double", std::nan(""));
    EXPECT_EQ(prefs.doubleValue("double"), 2.5);
    prefs.remove("double");
    EXPECT_FALSE(prefs.contains("double"));
}

TEST_F(FilePreferencesTest, EveryTypeSurvivesASaveAndReload)
{
    const std::map<std::string, Value> values = {
        {"bool", {false}},
        {"int", {std::int64_t{-9007199254740993}}},
        {"double", {4.0}},
        {"string", {std::string("Zoë \"quoted\"\n")}},
        {"data", {Preferences::Data{std::string("\0\xff[1]", 5)}}},
        {"oneByte", {Preferences::Data{"x"}}},
        {"strings", {std::vector<std::string>{"b", "a"}}},
        {"ints", {std::vector<std::int64_t>{7, 1}}},
        {"dictionary", {Preferences::Dictionary{{"k", {std::string("v")}}, {"n", {true}}}}},
    };
    {
        FilePreferences prefs(file, queue);
        for (const auto& [key, value] : values) {
            prefs.set(key, value);
        }
    } // destruction flushes
    FilePreferences reread(file, queue);
    EXPECT_EQ(reread.values(), values);
    EXPECT_EQ(reread.doubleValue("double"), 4.0);
    EXPECT_FALSE(reread.integer("double"));

    struct stat info = {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(filesIn(folder()), std::vector<std::string>{"preferences.json"});
}

TEST_F(FilePreferencesTest, ChangesInOneTurnAreSavedOnceAndNoOpsNotAtAll)
{
    FilePreferences prefs(file, queue);
    prefs.setInteger("a", 1);
    prefs.setInteger("b", 2);
    prefs.setInteger("a", 3);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(queue.drain(), 1);
    FilePreferences saved(file, queue);
    EXPECT_EQ(saved.integer("a"), 3);
    EXPECT_EQ(saved.integer("b"), 2);

    prefs.setInteger("a", 3);
    prefs.remove("absent");
    EXPECT_EQ(queue.drain(), 0);

    // A save still queued when the preferences go away does nothing.
    auto doomed = std::make_unique<FilePreferences>(file, queue);
    doomed->setInteger("a", 4);
    doomed.reset();
    fs::remove(file);
    EXPECT_EQ(queue.drain(), 1);
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(FilePreferencesTest, CorruptFileIsSetAsideAndDefaultsUsed)
{
    // Each text holds the marker "zzq" near its fault, where a parser's message would quote it.
    const std::string contents[] = {
        "{\"zzq\": {\"double\": 4.0}",                     // cut short
        "[\"zzq\"]",                                       // not an object
        "",                                                // empty
        "{\"k\": {\"string\": \"zzq\xff\xfe\"}}",          // not UTF-8
        "{\"k\": {\"string\": \"zzq\x01\x1b[31m\"}}",      // raw control characters
        "{\"zzq\": {\"int\": 1}} {\"zzq\": {\"int\": 2}}", // two documents
    };
    for (const std::string& text : contents) {
        SCOPED_TRACE(text);
        fs::remove_all(folder());
        fs::create_directories(folder());
        writeFile(file, text);
        LogCapture log;
        {
            FilePreferences prefs(file, queue);
            EXPECT_TRUE(prefs.values().empty());
            prefs.setBool("fresh", true);
            EXPECT_TRUE(prefs.flush());
        }
        const auto names = filesIn(folder());
        ASSERT_EQ(names.size(), 2u);
        EXPECT_TRUE(names[1].starts_with("preferences.json.corrupt-")) << names[1];
        EXPECT_EQ(readFile(folder() / names[1]), text);
        EXPECT_EQ(FilePreferences(file, queue).boolValue("fresh"), true);

        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_NE(log.lines[0].find(names[1]), std::string::npos) << log.lines[0];
        EXPECT_EQ(log.lines[0].find("zzq"), std::string::npos) << log.lines[0];
        EXPECT_TRUE(isPrintableAscii(log.lines[0])) << log.lines[0];
    }
}

TEST_F(FilePreferencesTest, ValueThatDoesNotDecodeIsMovedAsideAndTheRestKept)
{
    const char* badValues[] = {
        "4.0",                                      // untyped
        "{\"int\": 2.5}",                           // mistyped
        "{\"int\": 9223372036854775808}",           // out of range
        "{\"bool\": 1}",                            // mistyped
        "{\"data\": \"@@@@\"}",                     // not base64
        "{\"strings\": [\"a\", 1]}",                // mixed array
        "{\"dictionary\": {\"x\": {\"nope\": 1}}}", // unknown type inside
        "{\"zzq\\u0007\": 1}",                      // unknown type, named with a bell
        "{\"int\": 1, \"string\": \"a\"}",          // two types
    };
    for (const char* bad : badValues) {
        SCOPED_TRACE(bad);
        fs::remove_all(folder());
        fs::create_directories(folder());
        writeFile(file, std::string("{\"goal\": {\"int\": 3}, \"bad\": ") + bad +
                            ", \"name\": {\"string\": \"Zo\u00eb\"}}");
        LogCapture log;
        {
            FilePreferences prefs(file, queue);
            EXPECT_EQ(prefs.integer("goal"), 3);
            EXPECT_EQ(prefs.string("name"), "Zo\u00eb");
            EXPECT_FALSE(prefs.contains("bad"));
        }
        // The bad value is kept as it was found, and the file no longer holds it.
        const auto rejected = namesStartingWith(folder(), "preferences.json.rejected-");
        ASSERT_EQ(rejected.size(), 1u);
        EXPECT_EQ(nlohmann::json::parse(readFile(folder() / rejected[0])),
                  nlohmann::json({{"bad", nlohmann::json::parse(bad)}}));
        EXPECT_EQ(filesIn(folder()), (std::vector<std::string>{"preferences.json", rejected[0]}));

        ASSERT_EQ(log.lines.size(), 1u);
        EXPECT_TRUE(log.lines[0].starts_with("preference \"bad\" ignored: ")) << log.lines[0];
        EXPECT_NE(log.lines[0].find(rejected[0]), std::string::npos) << log.lines[0];
        EXPECT_EQ(log.lines[0].find("zzq"), std::string::npos) << log.lines[0];

        // The next start finds a clean file and sets nothing more aside.
        FilePreferences again(file, queue);
        EXPECT_EQ(again.integer("goal"), 3);
        EXPECT_EQ(again.string("name"), "Zo\u00eb");
        EXPECT_EQ(filesIn(folder()).size(), 2u);
        EXPECT_EQ(log.lines.size(), 1u);
    }
}

TEST_F(FilePreferencesTest, RejectedKeysAreLoggedPrintablyAndBriefly)
{
    fs::create_directories(folder());
    nlohmann::json text = {{"goal", {{"int", 3}}}};
    const std::string hostile = "\x1b[2Jk\xc3\xbc\"\\" + std::string(200, 'x');
    text[hostile] = 1;
    for (int i = 0; i < 24; ++i) {
        text["bad" + std::to_string(i)] = {{"int", "one"}};
    }
    writeFile(file, text.dump());
    LogCapture log;
    FilePreferences prefs(file, queue);
    EXPECT_EQ(prefs.integer("goal"), 3);
    EXPECT_EQ(prefs.values().size(), 1u);

    // Ten lines by key, then one that counts the rest.
    ASSERT_EQ(log.lines.size(), 11u);
    for (const std::string& line : log.lines) {
        EXPECT_TRUE(isPrintableAscii(line)) << line;
        EXPECT_LT(line.size(), 200u) << line;
    }
    EXPECT_NE(log.lines[10].find("15 more values ignored"), std::string::npos) << log.lines[10];
    const auto hostileLine =
        std::find_if(log.lines.begin(), log.lines.end(), [](const std::string& line) {
            return line.find("\\x1b") != std::string::npos;
        });
    ASSERT_NE(hostileLine, log.lines.end());
    EXPECT_NE(hostileLine->find("\"\\x1b[2Jk\\xc3\\xbc\\x22\\x5cxxx"), std::string::npos)
        << *hostileLine;

    const auto rejected = namesStartingWith(folder(), "preferences.json.rejected-");
    ASSERT_EQ(rejected.size(), 1u);
    EXPECT_EQ(nlohmann::json::parse(readFile(folder() / rejected[0])).size(), 25u);
}

TEST_F(FilePreferencesTest, CrashBeforeReplaceLeavesThePreviousFileWhole)
{
    {
        FilePreferences prefs(file, queue);
        prefs.setString("k", "old");
    }
    const std::string previous = readFile(file);
    CrashingPreferences crashing(file, queue);
    crashing.setString("k", "new");
    EXPECT_THROW(crashing.flush(), std::runtime_error);
    EXPECT_EQ(readFile(file), previous);
    EXPECT_EQ(filesIn(folder()).size(), 2u); // the orphaned temporary file

    FilePreferences restarted(file, queue);
    EXPECT_EQ(restarted.string("k"), "old");
    EXPECT_EQ(filesIn(folder()), std::vector<std::string>{"preferences.json"});
}
