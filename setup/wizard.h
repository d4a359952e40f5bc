#pragma once
// The setup program: its nine pages, created once in a fixed order and living until the
// program ends, and the one program-wide value that no control holds.

#include <memory>
#include <string>

#include "engine/install.h"
#include "engine/machine.h"
#include "framework/application.h"
#include "framework/form.h"
#include "page_trees.h"

namespace setup {

class TisForm1;
class TisForm2;
class TisForm3;
class TiForm10;
class Tisform4;
class TisForm5;
class Tisform6;
class TisForm7;
class TiForm11;

// The page faces from the distribution folder (with its final '/'), for the application
// object to load at start-up where the machine lacks them.
framework::Application::StartupFaces distributionFaces(std::string distributionFolder);
// The same for the folder of the running program.
framework::Application::StartupFaces distributionFaces();

class Wizard {
public:
    // Installs on this machine from the folder of the running program.
    Wizard();
    Wizard(std::unique_ptr<engine::Machine> machine, std::string distributionFolder);
    ~Wizard();
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    // Creates the pages in order; the first becomes the main page. A page's creation
    // handler may use only the pages created before it. Definitions read ahead are used.
    void createPages(PageTrees readAhead = {});

    // The product's screen language, written into its settings file at install.
    std::string ScreenLanguageCode;

    engine::Machine& machine() { return *m_machine; }
    // The folder holding the extractor and the archives, with its final '/'.
    const std::string& distributionFolder() const { return m_distributionFolder; }
    // The choices of the pages, as the install procedure reads them.
    engine::InstallChoices installChoices() const;

    framework::FormPtr<TisForm1> isForm1;
    framework::FormPtr<TisForm2> isForm2;
    framework::FormPtr<TisForm3> isForm3;
    framework::FormPtr<TiForm10> iForm10;
    framework::FormPtr<Tisform4> isform4;
    framework::FormPtr<TisForm5> isForm5;
    framework::FormPtr<Tisform6> isform6;
    framework::FormPtr<TisForm7> isForm7;
    framework::FormPtr<TiForm11> iForm11;

private:
    std::unique_ptr<engine::Machine> m_machine;
    std::string m_distributionFolder;
};

}  // namespace setup
