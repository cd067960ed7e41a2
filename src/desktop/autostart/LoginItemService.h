#pragma once

#include <QString>

// Launch at login through the XDG autostart entry $XDG_CONFIG_HOME/autostart/<app id>.desktop.
class LoginItemService final {
public:
    // Enabled: the entry exists, is not Hidden=true and not X-GNOME-Autostart-enabled=false.
    bool isEnabled() const;
    // Writes or removes the entry; on failure returns false and describes the error.
    bool setEnabled(bool enabled, QString* error = nullptr);

    static QString entryPath();
    // One argument of an Exec= line, quoted and escaped as the desktop entry format requires.
    static QString quotedExecArgument(const QString& argument);
};
