#pragma once
// The per-user places of the desktop: the pictures folder and the settings store file.
#include <string>

namespace vellum {

// The XDG pictures folder (XDG_PICTURES_DIR in user-dirs.dirs, "$HOME" expanded) when it
// exists, else ~/Pictures when it exists, else the home folder; always ending in '/'.
std::string UserPicturesDir();
// $XDG_CONFIG_HOME (default ~/.config) + "/Orvane Works/vellum.ini".
std::string UserSettingsPath();

// The same from given folders: home and the config folder ("" for the default).
std::string PicturesDirFor(const std::string& home, const std::string& configHome);
std::string SettingsPathFor(const std::string& home, const std::string& configHome);

// $HOME, or the password database's home folder when it is unset.
std::string HomeDir();

}  // namespace vellum
