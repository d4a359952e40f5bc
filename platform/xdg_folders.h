#pragma once
// The user's folders after the XDG conventions: the base folders from the environment and the
// named user folders from xdg-user-dirs' configuration file "user-dirs.dirs".

#include <string>

namespace platform {

struct UserFolders {
    // XDG_DESKTOP_DIR from $XDG_CONFIG_HOME/user-dirs.dirs, default $HOME/Desktop
    std::string desktop;
    std::string documents;  // XDG_DOCUMENTS_DIR, default $HOME/Documents
    std::string templates;  // XDG_TEMPLATES_DIR, default $HOME/Templates
    // XDG_DOWNLOAD_DIR, XDG_MUSIC_DIR, XDG_PICTURES_DIR, XDG_VIDEOS_DIR, XDG_PUBLICSHARE_DIR;
    // defaults $HOME/Downloads, Music, Pictures, Videos and Public.
    std::string download, music, pictures, videos, publicShare;
    std::string dataHome;    // $XDG_DATA_HOME, default $HOME/.local/share
    std::string configHome;  // $XDG_CONFIG_HOME, default $HOME/.config
};

// Reads the environment and user-dirs.dirs afresh on every call. No folder has a final '/'
// (except the root itself). In user-dirs.dirs a value is "$HOME/..." (or "${HOME}/...") or an
// absolute path, double-quoted as the shell would read it; lines that are none of these, and
// a file that cannot be read (also one that is no regular file, such as a named pipe, or is
// larger than 64 KiB), leave the defaults. XDG_* variables that are empty or relative
// are ignored, as the base-directory rules ask.
UserFolders userFolders();

// $XDG_CONFIG_HOME, else $HOME/.config; the same as userFolders().configHome without reading
// user-dirs.dirs.
std::string configHomeFolder();

// $XDG_DATA_HOME, else $HOME/.local/share.
std::string dataHomeFolder();

}  // namespace platform
