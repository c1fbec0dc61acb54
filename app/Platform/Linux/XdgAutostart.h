#pragma once

#include "Platform/LoginItem.h"

#include <filesystem>
#include <string>

namespace kestrove {

// Launch at login as the desktop's autostart entry, kestrove.desktop in the user's autostart
// folder. Only our own entry is written and removed; an entry the user hid (Hidden=true) or
// switched off reads as not enabled.
class XdgAutostart final : public LoginItem
{
public:
    static constexpr const char* kFileName = "kestrove.desktop";

    // `program` is the executable the entry starts.
    XdgAutostart(std::filesystem::path folder, std::string program);

    // $XDG_CONFIG_HOME/autostart, else ~/.config/autostart.
    static std::filesystem::path defaultFolder();
    // The running program's own executable.
    static std::string currentProgram();

    std::filesystem::path entryPath() const { return m_folder / kFileName; }
    // The entry's text: a desktop entry whose Exec starts `program` with no arguments.
    static std::string entryText(const std::string& program);

    bool isEnabled() const override;
    bool setEnabled(bool enabled) override;

private:
    bool write();
    bool remove();

    std::filesystem::path m_folder;
    std::string m_program;
};

} // namespace kestrove
