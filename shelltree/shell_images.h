#pragma once
// The images of the folder tree: the desktop's theme icons for each ShellIcon (folder, open
// folder, file, computer, file system, home, volume, desktop), with the style's own pictures
// where the theme has none, and two overlays: 0 a shared item, 1 a symbolic link.

namespace framework {
class TImageList;
}

namespace shelltree {

void fillShellImages(framework::TImageList& images);

}  // namespace shelltree
