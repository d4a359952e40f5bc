#include "wizard.h"

#include "engine/linux_machine.h"
#include "engine/page_fonts.h"
#include "engine/program_folders.h"
#include "framework/page_face_default.h"
#include "page_classes.h"
#include "pages.h"

namespace setup {

namespace {

template <class Page>
framework::FormPtr<Page> createPage(Wizard& wizard, PageTrees& readAhead) {
    framework::FormPtr<Page> page(new Page(wizard));
    page->createFromDefinition(readAhead.take(Page::staticClassInfo().name()));
    return page;
}

}  // namespace

framework::Application::StartupFaces distributionFaces(std::string distributionFolder) {
    return [folder = std::move(distributionFolder)] {
        engine::LinuxMachine machine;
        return engine::pageFacesToLoad(machine, folder);
    };
}

framework::Application::StartupFaces distributionFaces() {
    return distributionFaces(engine::programFolder());
}

Wizard::Wizard() : Wizard(std::make_unique<engine::LinuxMachine>(), engine::programFolder()) {}

Wizard::Wizard(std::unique_ptr<engine::Machine> machine, std::string distributionFolder)
    : m_machine(std::move(machine)), m_distributionFolder(std::move(distributionFolder)) {
    registerPageClasses();
}

engine::InstallChoices Wizard::installChoices() const {
    engine::InstallChoices choices;
    choices.folderText = isForm3->Edit1->text();
    choices.screenLanguageCode = ScreenLanguageCode;
    for (int row = 0; row < isform4->CheckListBox1->Items().count(); ++row) {
        if (isform4->CheckListBox1->checked(row)) {
            choices.dictionaryCodes.push_back(
                isform4->DictionaryCodes.at(static_cast<std::size_t>(row)));
        }
    }
    choices.desktopShortcut = isForm5->CheckBox1->checked();
    choices.startMenuShortcut = isForm5->CheckBox2->checked();
    choices.programsShortcut = isForm5->CheckBox3->checked();
    return choices;
}

// Pages go in the reverse order of their creation.
Wizard::~Wizard() {
    iForm11.reset();
    isForm7.reset();
    isform6.reset();
    isForm5.reset();
    isform4.reset();
    iForm10.reset();
    isForm3.reset();
    isForm2.reset();
    isForm1.reset();
}

void Wizard::createPages(PageTrees readAhead) {
    const framework::PageFaceAsDefault pageFace;
    isForm1 = createPage<TisForm1>(*this, readAhead);
    isForm2 = createPage<TisForm2>(*this, readAhead);
    isForm3 = createPage<TisForm3>(*this, readAhead);
    iForm10 = createPage<TiForm10>(*this, readAhead);
    isform4 = createPage<Tisform4>(*this, readAhead);
    isForm5 = createPage<TisForm5>(*this, readAhead);
    isform6 = createPage<Tisform6>(*this, readAhead);
    isForm7 = createPage<TisForm7>(*this, readAhead);
    iForm11 = createPage<TiForm11>(*this, readAhead);
}

}  // namespace setup
