#pragma once
// While the pages are made, the toolkit's default font is the controls' default face.

#include <memory>

class QFont;

namespace framework {

// Every text editor lays out its empty document in the toolkit's default font as it is
// made, before the page's font reaches it. With the desktop's font as that default, its
// face would be looked up and loaded at start for that alone: the pages show their own
// faces, and message boxes and tooltips, which show the desktop's, come later. While an
// object of this class lives, the default is the controls' default face, which the pages
// load anyway; after, it is the desktop's again, and every window made meanwhile that
// does not set its own font takes the desktop's back.
class PageFaceAsDefault {
public:
    PageFaceAsDefault();
    ~PageFaceAsDefault();
    PageFaceAsDefault(const PageFaceAsDefault&) = delete;
    PageFaceAsDefault& operator=(const PageFaceAsDefault&) = delete;

private:
    std::unique_ptr<QFont> m_desktopFont;
};

}  // namespace framework
