#pragma once
// What the user's desktop holds for the engine: fonts, shortcuts and the user's XDG folders.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop_entry.h"
#include "platform/xdg_folders.h"

namespace engine {

// Work the machine goes on with while the install takes its next steps. Destroyed before
// finish(), it is waited for then.
class PendingWork {
public:
    virtual ~PendingWork() = default;
    // Waits until the work is done; whileWaiting keeps the pages painting.
    virtual void finish(const std::function<void()>& whileWaiting) = 0;
};

class Desktop {
public:
    virtual ~Desktop() = default;

    virtual std::vector<std::string> fontFamilies() = 0;
    virtual bool registerFont(const std::string& file) = 0;
    // Starts telling the other programs about the fonts newly put in the folder (fontconfig's
    // cache); null when that cannot be started (they still find the fonts, more slowly).
    virtual std::unique_ptr<PendingWork> refreshFontFolder(const std::string& folder) = 0;

    virtual bool writeShortcut(const std::string& file, const platform::DesktopEntry& entry) = 0;

    virtual platform::UserFolders userFolders() = 0;
};

}  // namespace engine
