#include "Platform/Preferences.h"

#include "Platform/Log.h"
#include "Platform/MainQueue.h"
#include "core/JsonCoding.h"
#include "core/NumberFormat.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <fstream>
#include <limits>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrove {

namespace {

using JsonCoding::Json;

const Log kLog("app");

// ---- Reading ----

template <typename T> const T* holding(const Preferences::Value* value)
{
    return value ? std::get_if<T>(&value->storage) : nullptr;
}

} // namespace

template <typename T> const T* Preferences::find(const std::string& key) const
{
    const auto it = m_values.find(key);
    return it == m_values.end() ? nullptr : holding<T>(&it->second);
}

bool Preferences::contains(const std::string& key) const
{
    return m_values.contains(key);
}

std::optional<Preferences::Value> Preferences::value(const std::string& key) const
{
    const auto it = m_values.find(key);
    if (it == m_values.end()) {
        return std::nullopt;
    }
    return it->second;
}

std::optional<bool> Preferences::boolValue(const std::string& key) const
{
    const bool* found = find<bool>(key);
    return found ? std::optional(*found) : std::nullopt;
}

std::optional<std::int64_t> Preferences::integer(const std::string& key) const
{
    const std::int64_t* found = find<std::int64_t>(key);
    return found ? std::optional(*found) : std::nullopt;
}

std::optional<double> Preferences::doubleValue(const std::string& key) const
{
    if (const double* found = find<double>(key)) {
        return *found;
    }
    if (const std::int64_t* whole = find<std::int64_t>(key)) {
        return static_cast<double>(*whole);
    }
    return std::nullopt;
}

std::optional<std::string> Preferences::string(const std::string& key) const
{
    const std::string* found = find<std::string>(key);
    return found ? std::optional(*found) : std::nullopt;
}

std::optional<Preferences::Data> Preferences::data(const std::string& key) const
{
    const Data* found = find<Data>(key);
    return found ? std::optional(*found) : std::nullopt;
}

std::optional<std::vector<std::string>> Preferences::stringArray(const std::string& key) const
{
    if (const auto* found = find<std::vector<std::string>>(key)) {
        return *found;
    }
    const auto* integers = find<std::vector<std::int64_t>>(key);
    if (integers && integers->empty()) {
        return std::vector<std::string>{};
    }
    return std::nullopt;
}

std::optional<std::vector<std::int64_t>> Preferences::integerArray(const std::string& key) const
{
    if (const auto* found = find<std::vector<std::int64_t>>(key)) {
        return *found;
    }
    const auto* texts = find<std::vector<std::string>>(key);
    if (texts && texts->empty()) {
        return std::vector<std::int64_t>{};
    }
    return std::nullopt;
}

std::optional<Preferences::Dictionary> Preferences::dictionary(const std::string& key) const
{
    const Dictionary* found = find<Dictionary>(key);
    return found ? std::optional(*found) : std::nullopt;
}

// ---- Writing ----

void Preferences::set(const std::string& key, Value value)
{
    auto [it, inserted] = m_values.try_emplace(key, value);
    const bool changed = inserted || it->second != value;
    if (changed) {
        it->second = std::move(value);
    }
    didWrite(key, changed);
}

void Preferences::setDouble(const std::string& key, double value)
{
    if (!std::isfinite(value)) {
        kLog.error("preference " + key + " refused: not a finite number");
        return;
    }
    set(key, {value});
}

void Preferences::remove(const std::string& key)
{
    didWrite(key, m_values.erase(key) > 0);
}

// ---- The file's form: one object of keys, each value tagged with its type ----

namespace {

constexpr char kBase64Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64Encoded(const std::string& bytes)
{
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 3; ++j) {
            const auto byte = j < count ? static_cast<unsigned char>(bytes[i + j]) : 0u;
            group = group << 8 | byte;
        }
        for (std::size_t j = 0; j < 4; ++j) {
            out += j <= count ? kBase64Digits[(group >> (18 - 6 * j)) & 63] : '=';
        }
    }
    return out;
}

std::string base64Decoded(const std::string& text)
{
    if (text.size() % 4 != 0) {
        throw JsonCoding::DecodeError("data is not base64");
    }
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += 4) {
        std::uint32_t group = 0;
        int padding = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            const char c = text[i + j];
            const bool last = i + 4 == text.size();
            if (c == '=' && last && j >= 2 && (j == 3 || text[i + 3] == '=')) {
                ++padding;
                group <<= 6;
                continue;
            }
            const char* digit = c ? std::strchr(kBase64Digits, c) : nullptr;
            if (!digit || padding > 0) {
                throw JsonCoding::DecodeError("data is not base64");
            }
            group = group << 6 | static_cast<std::uint32_t>(digit - kBase64Digits);
        }
        for (int j = 0; j < 3 - padding; ++j) {
            out += static_cast<char>((group >> (16 - 8 * j)) & 0xff);
        }
    }
    return out;
}

Json encoded(const Preferences::Value& value)
{
    struct Encoder
    {
        Json operator()(bool v) const { return {{"bool", v}}; }
        Json operator()(std::int64_t v) const { return {{"int", v}}; }
        Json operator()(double v) const { return {{"double", v}}; }
        Json operator()(const std::string& v) const { return {{"string", v}}; }
        Json operator()(const Preferences::Data& v) const
        {
            return {{"data", base64Encoded(v.bytes)}};
        }
        Json operator()(const std::vector<std::string>& v) const { return {{"strings", v}}; }
        Json operator()(const std::vector<std::int64_t>& v) const { return {{"ints", v}}; }
        Json operator()(const Preferences::Dictionary& v) const
        {
            Json members = Json::object();
            for (const auto& [key, member] : v) {
                members[key] = encoded(member);
            }
            return {{"dictionary", members}};
        }
    };
    return std::visit(Encoder{}, value.storage);
}

std::int64_t decodedInteger(const Json& json)
{
    const bool fits = json.is_number_integer() &&
                      (!json.is_number_unsigned() ||
                       json.get<std::uint64_t>() <=
                           static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()));
    if (!fits) {
        throw JsonCoding::DecodeError("expected a whole number");
    }
    return json.get<std::int64_t>();
}

std::string decodedString(const Json& json)
{
    if (!json.is_string()) {
        throw JsonCoding::DecodeError("expected a text");
    }
    return json.get<std::string>();
}

const Json& decodedArray(const Json& json)
{
    if (!json.is_array()) {
        throw JsonCoding::DecodeError("expected an array");
    }
    return json;
}

Preferences::Value decoded(const Json& json);

Preferences::Dictionary decodedDictionary(const Json& json)
{
    if (!json.is_object()) {
        throw JsonCoding::DecodeError("expected an object");
    }
    Preferences::Dictionary out;
    for (const auto& [key, member] : json.items()) {
        out.emplace(key, decoded(member));
    }
    return out;
}

Preferences::Value decoded(const Json& json)
{
    if (!json.is_object() || json.size() != 1) {
        throw JsonCoding::DecodeError("expected one typed value");
    }
    const std::string& type = json.begin().key();
    const Json& inner = json.begin().value();
    if (type == "bool" && inner.is_boolean()) {
        return {inner.get<bool>()};
    }
    if (type == "int") {
        return {decodedInteger(inner)};
    }
    if (type == "double" && inner.is_number()) {
        return {inner.get<double>()};
    }
    if (type == "string") {
        return {decodedString(inner)};
    }
    if (type == "data") {
        return {Preferences::Data{base64Decoded(decodedString(inner))}};
    }
    if (type == "strings") {
        std::vector<std::string> out;
        for (const Json& element : decodedArray(inner)) {
            out.push_back(decodedString(element));
        }
        return {std::move(out)};
    }
    if (type == "ints") {
        std::vector<std::int64_t> out;
        for (const Json& element : decodedArray(inner)) {
            out.push_back(decodedInteger(element));
        }
        return {std::move(out)};
    }
    if (type == "dictionary") {
        return {decodedDictionary(inner)};
    }
    // The type's name came from the file: it is not repeated in the log.
    throw JsonCoding::DecodeError("unknown type or a value of another type");
}

std::string encodedFile(const std::map<std::string, Preferences::Value>& values)
{
    Json file = Json::object();
    for (const auto& [key, value] : values) {
        file[key] = encoded(value);
    }
    // Invalid UTF-8 in a text is replaced rather than failing the whole save.
    return file.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

// A key as it may appear in the log: printable ASCII as it is, every other byte as \xNN, and
// cut short, so that a hostile file cannot write raw bytes or pages of text into the log.
std::string printableKey(std::string_view key)
{
    constexpr std::size_t kLongest = 64;
    constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (i == kLongest) {
            out += "...";
            break;
        }
        const auto byte = static_cast<unsigned char>(key[i]);
        if (byte >= 0x20 && byte < 0x7f && byte != '"' && byte != '\\') {
            out += static_cast<char>(byte);
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out + "\"";
}

struct DecodedFile
{
    std::map<std::string, Preferences::Value> values;
    // Values that parsed but did not decode, as they were found, with the reason for each.
    Json rejected = Json::object();
    std::vector<std::pair<std::string, std::string>> reasons;
};

// Only a file that is not a JSON object fails as a whole (DecodeError, with a reason that
// quotes nothing of the file); a value that does not decode is rejected on its own.
DecodedFile decodedFile(const std::string& text)
{
    Json file;
    try {
        file = Json::parse(text);
    } catch (const Json::parse_error& error) {
        throw JsonCoding::DecodeError("it is not valid JSON (at byte " +
                                      NumberFormat::integer(static_cast<std::int64_t>(error.byte)) +
                                      ")");
    }
    if (!file.is_object()) {
        throw JsonCoding::DecodeError("it is not a JSON object");
    }
    DecodedFile out;
    for (const auto& [key, value] : file.items()) {
        try {
            out.values.emplace(key, decoded(value));
        } catch (const JsonCoding::DecodeError& error) {
            out.rejected[key] = value;
            out.reasons.emplace_back(key, error.what());
        }
    }
    return out;
}

std::string systemError(const char* what)
{
    return std::string(what) + ": " + std::strerror(errno);
}

bool syncFolder(const std::filesystem::path& folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool writeAll(int fd, const std::string& contents)
{
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

std::string temporaryPrefix(const std::filesystem::path& file)
{
    return file.filename().string() + ".tmp-";
}

} // namespace

// ---- FilePreferences ----

FilePreferences::FilePreferences(std::filesystem::path file, MainQueue& mainQueue)
    : m_path(std::move(file)), m_mainQueue(mainQueue)
{
    load();
}

FilePreferences::~FilePreferences()
{
    flush();
}

std::filesystem::path FilePreferences::defaultPath()
{
    std::filesystem::path base;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config && *config == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home && *home ? home : ".") / ".config";
    }
    return base / "Kestrove" / "preferences.json";
}

std::map<std::string, Preferences::Value>
FilePreferences::readValues(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return {};
    }
    std::ostringstream text;
    text << in.rdbuf();
    try {
        return decodedFile(text.str()).values;
    } catch (const JsonCoding::DecodeError&) {
        return {};
    }
}

void FilePreferences::load()
{
    // A temporary file left by a crash mid-save is incomplete by definition.
    std::error_code ignored;
    const std::string prefix = temporaryPrefix(m_path);
    for (const auto& entry : std::filesystem::directory_iterator(m_path.parent_path(), ignored)) {
        if (entry.path().filename().string().starts_with(prefix)) {
            std::filesystem::remove(entry.path(), ignored);
        }
    }

    std::ifstream in(m_path, std::ios::binary);
    if (!in) {
        if (std::filesystem::exists(m_path, ignored)) {
            setAside("it cannot be read");
        }
        return;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) {
        setAside("it cannot be read");
        return;
    }
    DecodedFile file;
    try {
        file = decodedFile(text.str());
    } catch (const JsonCoding::DecodeError& error) {
        setAside(error.what());
        return;
    }
    replaceAll(std::move(file.values));
    if (!file.reasons.empty()) {
        keepRejected(file.rejected.dump(2, ' ', false, Json::error_handler_t::replace) + "\n",
                     file.reasons);
    }
}

std::filesystem::path FilePreferences::unusedSibling(const std::string& suffix) const
{
    const std::string stem = m_path.string() + suffix + NumberFormat::integer(std::time(nullptr));
    std::filesystem::path target = stem;
    std::error_code error;
    for (int n = 2; std::filesystem::exists(target, error); ++n) {
        target = stem + "-" + NumberFormat::integer(n);
    }
    return target;
}

void FilePreferences::setAside(const std::string& reason)
{
    const std::filesystem::path target = unusedSibling(".corrupt-");
    std::error_code error;
    std::filesystem::rename(m_path, target, error);
    if (error) {
        m_saveRefused = true;
        kLog.error("preferences file does not decode (" + reason + ") and cannot be set aside (" +
                   error.message() + "); starting with defaults, changes will not be saved");
        return;
    }
    kLog.error("preferences file does not decode (" + reason + "); set aside as " +
               target.filename().string() + ", starting with defaults");
}

void FilePreferences::keepRejected(const std::string& contents,
                                   const std::vector<std::pair<std::string, std::string>>& reasons)
{
    // One line per key, up to a point: a file of thousands of bad keys must not flood the log.
    constexpr std::size_t kKeysLogged = 10;
    const std::filesystem::path target = unusedSibling(".rejected-");
    const bool kept = write(target, contents);
    const std::string where =
        kept ? "kept in " + target.filename().string() : "left in the file, which is not saved";
    for (std::size_t i = 0; i < reasons.size() && i < kKeysLogged; ++i) {
        kLog.error("preference " + printableKey(reasons[i].first) +
                   " ignored: " + reasons[i].second + "; " + where);
    }
    if (reasons.size() > kKeysLogged) {
        kLog.error("preferences: " +
                   NumberFormat::integer(static_cast<std::int64_t>(reasons.size() - kKeysLogged)) +
                   " more values ignored; " + where);
    }
    if (!kept) {
        // Saving now would drop the values that could not be kept elsewhere.
        m_saveRefused = true;
        return;
    }
    // The file is rewritten without them, so that the next start finds nothing to reject.
    m_dirty = true;
    flush();
}

void FilePreferences::didWrite(const std::string& key, bool changed)
{
    (void)key;
    if (!changed) {
        return;
    }
    m_dirty = true;
    if (m_savePosted) {
        return;
    }
    m_savePosted = true;
    m_mainQueue.post(m_guard.wrap<>([this] {
        m_savePosted = false;
        flush();
    }));
}

bool FilePreferences::flush()
{
    if (!m_dirty) {
        return true;
    }
    if (m_saveRefused) {
        return false;
    }
    if (!write(m_path, encodedFile(values()))) {
        return false;
    }
    m_dirty = false;
    return true;
}

bool FilePreferences::write(const std::filesystem::path& target, const std::string& contents)
{
    const std::filesystem::path folder = target.parent_path();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        kLog.error("preferences save failed: " + error.message());
        return false;
    }
    std::string temporary = (folder / (temporaryPrefix(m_path) + "XXXXXX")).string();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        kLog.error("preferences save failed: " + systemError("create"));
        return false;
    }
    const bool written = ::fchmod(fd, 0600) == 0 && writeAll(fd, contents) && ::fsync(fd) == 0;
    const std::string failure = written ? "" : systemError("write");
    ::close(fd);
    if (!written) {
        ::unlink(temporary.c_str());
        kLog.error("preferences save failed: " + failure);
        return false;
    }
    beforeReplace(temporary);
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        kLog.error("preferences save failed: " + systemError("rename"));
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename is durable only once the folder's entry is on disk.
    if (!syncFolder(folder)) {
        kLog.error("preferences folder sync failed: " + systemError("fsync"));
    }
    return true;
}

} // namespace kestrove
