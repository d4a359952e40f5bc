#include "unattended.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <exception>

#include "command_options.h"
#include "engine/install.h"
#include "engine/linux_machine.h"
#include "engine/program_folders.h"
#include "engine/uninstall.h"
#include "page_choices.h"
#include "terminal_ui.h"

namespace setup {

namespace {

const char* const kUsage =
    "Usage: setup                 the setup wizard\n"
    "       setup --install [--folder DIR] [--language NAME|CODE] --dictionaries CODE[,CODE...]\n"
    "                     [--shortcuts desktop,startmenu,programs | --shortcuts none]\n"
    "       setup --uninstall [--yes]\n"
    "       setup --help\n"
    "       setup --version\n"
    "\n"
    "Installs Quindor from the folder this program lies in, or removes it, as the wizard's\n"
    "Install and UnInstall buttons do, without pages and without a display. Every line of the\n"
    "progress log goes to standard output, every message to standard error.\n"
    "\n"
    "  --install              install Quindor\n"
    "  --folder DIR           the folder, as typed into the folder box (default $HOME/Quindor/)\n"
    "  --language NAME|CODE   the screen language of Quindor (default English)\n"
    "  --dictionaries CODES   the dictionaries to install, at least one, separated by commas\n"
    "  --shortcuts LIST       desktop, startmenu and programs, separated by commas, or none\n"
    "                         (default desktop,programs)\n"
    "  --uninstall            remove Quindor, its shortcuts and its record\n"
    "  --yes                  answer the question whether to delete the folder with yes;\n"
    "                         without it the question is asked on the terminal, and not\n"
    "                         answered (nothing changed) when standard input is no terminal\n"
    "  --help                 show this text\n"
    "  --version              show the version\n";

const char* const kExitStatuses =
    "Exit status:\n"
    "  0  done\n"
    "  1  usage error (an unknown option, a value not in the lists, no dictionary); nothing done\n"
    "  2  refused (a folder that may not be installed into or removed, nothing installed,\n"
    "     a question not answered); nothing changed\n"
    "  3  failed part-way; the output tells what was done\n";

std::string choiceList(const std::vector<PageChoice>& choices) {
    std::string list;
    for (const PageChoice& choice : choices) list += "  " + choice.code + "  " + choice.name + "\n";
    return list;
}

// What the procedure came to once it returned.
int statusOf(const TerminalUi& ui) {
    if (ui.programEnded() || !ui.finished()) return kRefused;
    return ui.messagesBeforeFinish() ? kFailedPartWay : kDone;
}

// What a procedure raises is shown as the error box would show it; what was done stays.
template <typename Procedure>
int runProcedure(TerminalUi& ui, Procedure procedure) {
    try {
        procedure();
    } catch (const std::exception& error) {
        ui.showMessage(error.what());
        return kFailedPartWay;
    }
    return statusOf(ui);
}

int install(const CommandOptions& options) {
    engine::LinuxMachine machine;
    TerminalUi ui(TerminalUi::Answering::Nobody, installedText());
    return runProcedure(ui, [&] {
        engine::InstallProduct(machine, ui, options.installChoices(), engine::programFolder());
    });
}

TerminalUi::Answering answering(const CommandOptions& options) {
    if (options.answerYes()) return TerminalUi::Answering::Yes;
    return ::isatty(STDIN_FILENO) == 1 ? TerminalUi::Answering::OnTerminal
                                       : TerminalUi::Answering::Nobody;
}

int uninstall(const CommandOptions& options) {
    engine::LinuxMachine machine;
    TerminalUi ui(answering(options), std::string());
    return runProcedure(ui, [&] { engine::UninstallProduct(machine, ui); });
}

int print(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    return kDone;
}

int run(const CommandOptions& options) {
    switch (options.mode()) {
        case CommandOptions::Mode::Install: return install(options);
        case CommandOptions::Mode::Uninstall: return uninstall(options);
        case CommandOptions::Mode::Help: return print(helpText());
        case CommandOptions::Mode::Version: return print("setup (Quindor) " QUINDOR_VERSION "\n");
    }
    return kUsageError;
}

}  // namespace

std::string helpText() {
    return std::string(kUsage) + "\nScreen languages (name or code):\n" +
           choiceList(screenLanguageChoices()) + "\nDictionaries (codes):\n" +
           choiceList(dictionaryChoices()) + "\n" + kExitStatuses;
}

int runUnattended(const std::vector<std::string>& arguments) {
    // A reader that goes away (setup --install | head -1) must not end the install part-way:
    // the lines are lost, the procedure goes on. The extractor gets the default back.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        return run(CommandOptions::parse(arguments, offeredByThePages()));
    } catch (const EUsageError& error) {
        std::fprintf(stderr, "%s\nsetup --help lists the options and their values.\n",
                     error.what());
        return kUsageError;
    }
}

}  // namespace setup
