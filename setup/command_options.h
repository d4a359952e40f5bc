#pragma once
// The setup program's command line. Without arguments it is the wizard; with them it is
// the unattended mode, which installs or removes the product without pages:
//
//   setup --install [--folder DIR] [--language NAME|CODE] --dictionaries CODE[,CODE...]
//                   [--shortcuts desktop,startmenu,programs | --shortcuts none]
//   setup --uninstall [--yes]
//   setup --help
//   setup --version
//
// Long options only, each at most once; a value follows as the next argument (whatever it
// begins with) or after '='; "--" ends the options, and no argument may follow it. Names,
// codes and shortcut names match without regard to ASCII case.

#include <stdexcept>
#include <string>
#include <vector>

#include "base/errors.h"
#include "engine/install.h"
#include "page_choices.h"

namespace setup {

// A command line that cannot be followed, before anything was done. The text says what is
// wrong and, for a value, which values are valid.
class EUsageError : public base::Exception {
public:
    using Exception::Exception;
};

class CommandOptions {
public:
    enum class Mode { Install, Uninstall, Help, Version };

    // The arguments after the program's name (at least one: none is the wizard), whose
    // values must come from what the pages offer; throws EUsageError.
    static CommandOptions parse(const std::vector<std::string>& arguments,
                                const OfferedChoices& offered);

    Mode mode() const { return m_mode; }
    // For an install: what the pages would hand to the Install button. The folder is taken
    // as if typed into the folder box (default the box's own), the language as chosen in the
    // language box (default its first row, English), the dictionaries in the page's row
    // order, the shortcuts as the page's boxes (default its defaults).
    const engine::InstallChoices& installChoices() const { return m_choices; }
    // For an uninstall: whether --yes answers its question.
    bool answerYes() const { return m_answerYes; }

private:
    Mode m_mode = Mode::Help;
    engine::InstallChoices m_choices;
    bool m_answerYes = false;
};

}  // namespace setup
