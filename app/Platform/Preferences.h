#pragma once

#include "Platform/LifetimeGuard.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace kestrove {

class MainQueue;

// The user's preferences: typed values under text keys. Readers apply their own defaults; a
// value read as another type is absent. This class keeps them in memory (tests use it as it
// is); FilePreferences saves them. Main thread only.
class Preferences
{
public:
    struct Data
    {
        std::string bytes;
        bool operator==(const Data&) const = default;
    };
    struct Value;
    using Dictionary = std::map<std::string, Value>;
    struct Value
    {
        std::variant<bool, std::int64_t, double, std::string, Data, std::vector<std::string>,
                     std::vector<std::int64_t>, Dictionary>
            storage;
        bool operator==(const Value&) const = default;
    };

    Preferences() = default;
    virtual ~Preferences() = default;
    Preferences(const Preferences&) = delete;
    Preferences& operator=(const Preferences&) = delete;

    bool contains(const std::string& key) const;
    std::optional<Value> value(const std::string& key) const;
    std::optional<bool> boolValue(const std::string& key) const;
    std::optional<std::int64_t> integer(const std::string& key) const;
    // A stored integer reads as a double too: both are numbers to the user.
    std::optional<double> doubleValue(const std::string& key) const;
    std::optional<std::string> string(const std::string& key) const;
    std::optional<Data> data(const std::string& key) const;
    // An empty array reads as either kind of array.
    std::optional<std::vector<std::string>> stringArray(const std::string& key) const;
    std::optional<std::vector<std::int64_t>> integerArray(const std::string& key) const;
    std::optional<Dictionary> dictionary(const std::string& key) const;

    void set(const std::string& key, Value value);
    void setBool(const std::string& key, bool value) { set(key, {value}); }
    void setInteger(const std::string& key, std::int64_t value) { set(key, {value}); }
    // A value that is not finite cannot be saved and is refused (logged).
    void setDouble(const std::string& key, double value);
    void setString(const std::string& key, std::string value) { set(key, {std::move(value)}); }
    void setData(const std::string& key, Data value) { set(key, {std::move(value)}); }
    void setStringArray(const std::string& key, std::vector<std::string> value)
    {
        set(key, {std::move(value)});
    }
    void setIntegerArray(const std::string& key, std::vector<std::int64_t> value)
    {
        set(key, {std::move(value)});
    }
    void setDictionary(const std::string& key, Dictionary value) { set(key, {std::move(value)}); }
    void remove(const std::string& key);

    const std::map<std::string, Value>& values() const { return m_values; }

protected:
    // Every set or remove, whether or not it changed the stored value.
    virtual void didWrite(const std::string& key, bool changed)
    {
        (void)key;
        (void)changed;
    }
    void replaceAll(std::map<std::string, Value> values) { m_values = std::move(values); }

private:
    template <typename T> const T* find(const std::string& key) const;

    std::map<std::string, Value> m_values;
};

// Preferences kept in one JSON file, by default $XDG_CONFIG_HOME/Kestrove/preferences.json.
// Changes are saved on the next turn of the main queue, so a burst of changes is one write;
// flush() saves at once. A file that is not a JSON object is set aside whole
// (preferences.json.corrupt-<time>), never overwritten; a value in it that does not decode is
// ignored, logged by key and moved to preferences.json.rejected-<time>, and the rest are kept.
class FilePreferences : public Preferences
{
public:
    FilePreferences(std::filesystem::path file, MainQueue& mainQueue);
    ~FilePreferences() override; // flushes

    static std::filesystem::path defaultPath();
    // The values the file holds now, read without touching it (nothing set aside or kept);
    // empty when it is missing or not a JSON object. For readers outside the running program.
    static std::map<std::string, Value> readValues(const std::filesystem::path& file);

    const std::filesystem::path& path() const { return m_path; }
    // Writes pending changes now. False when the write failed (logged); they stay pending.
    bool flush();

protected:
    void didWrite(const std::string& key, bool changed) override;
    // Runs after the temporary file is complete and before it replaces the old one; tests
    // simulate a crash here.
    virtual void beforeReplace(const std::filesystem::path& temporary) { (void)temporary; }

private:
    void load();
    std::filesystem::path unusedSibling(const std::string& suffix) const;
    void setAside(const std::string& reason);
    void keepRejected(const std::string& contents,
                      const std::vector<std::pair<std::string, std::string>>& reasons);
    bool write(const std::filesystem::path& target, const std::string& contents);

    std::filesystem::path m_path;
    MainQueue& m_mainQueue;
    bool m_dirty = false;
    bool m_savePosted = false;
    // The file could not be read nor set aside, or its rejected values kept elsewhere.
    bool m_saveRefused = false;
    LifetimeGuard m_guard;
};

} // namespace kestrove
