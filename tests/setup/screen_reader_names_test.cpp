// What a screen reader is told of each page through Qt's accessibility layer (which the
// AT-SPI bridge hands on): pages are frames, modal ones dialogs while they run, named by
// their captions; controls have their role and a name (buttons by caption, the folder
// button by its hint, boxes by the label that introduces them); pictures are left out; and
// the names follow the active language. tests/setup/screen_reader_test.py reads the real
// program over AT-SPI.

#include <QAccessible>
#include <QAccessibleInterface>

#include "framework/picture.h"
#include "wizard_fixture.h"

namespace {

QAccessibleInterface* readerView(const framework::TControl& control) {
    return QAccessible::queryAccessibleInterface(control.widget());
}

// The text of the label that labels the control.
std::string labelOf(const framework::TControl& control) {
    const auto labels = readerView(control)->relations(QAccessible::Label);
    return labels.empty() ? "" : labels.front().first->text(QAccessible::Name).toStdString();
}

class ScreenReaderNames : public WizardTest {
protected:
    void TearDown() override {
        wizard.isForm1->MltLang1->SetActiveLang(0);  // later wizards start in language 0
        WizardTest::TearDown();
    }
    framework::TControl& control(framework::TForm& page, const std::string& name) {
        auto* found = dynamic_cast<framework::TControl*>(page.findComponent(name));
        if (found == nullptr) throw std::runtime_error(page.name() + " has no " + name);
        return *found;
    }
};

struct Told {
    framework::TForm* page;
    std::string control;  // empty: the page itself
    QAccessible::Role role;
    std::string name;
    std::string description;
};

void expectTold(framework::TControl& control, const Told& row) {
    QAccessibleInterface* view = readerView(control);
    ASSERT_NE(view, nullptr) << row.name;
    EXPECT_EQ(view->role(), row.role) << row.page->name() << " " << row.control;
    EXPECT_EQ(view->text(QAccessible::Name).toStdString(), row.name)
        << row.page->name() << " " << row.control;
    EXPECT_EQ(view->text(QAccessible::Description).toStdString(), row.description)
        << row.page->name() << " " << row.control;
}

}  // namespace

TEST_F(ScreenReaderNames, EveryControlHasItsRoleAndName) {
    using R = QAccessible::Role;
    const std::vector<Told> rows = {
        {wizard.isForm1.get(), "", R::Window, "Welcome to the Quindor installation program", ""},
        {wizard.isForm1.get(), "Button2", R::Button, "Cancel", ""},
        {wizard.isForm1.get(), "Button3", R::Button, "Next>", ""},
        {wizard.isForm1.get(), "RadioButton1", R::RadioButton, "Install", ""},
        {wizard.isForm1.get(), "RadioButton2", R::RadioButton, "Uninstall", ""},
        {wizard.isForm2.get(), "Button1", R::Button, "Resume", ""},
        {wizard.isForm3.get(), "", R::Window, "Installing", ""},
        {wizard.isForm3.get(), "Edit1", R::EditableText, "Install to:", ""},
        {wizard.isForm3.get(), "BitBtn1", R::Button, "Choose Module folder",
         "Choose Module folder"},
        {wizard.iForm10.get(), "Button2", R::Button, "Accept", "Use highlighted folder "},
        {wizard.iForm10.get(), "BitBtn1", R::Button, "Create folder", "Create a new folder"},
        {wizard.iForm10.get(), "Button3", R::Button, "Abort", "Quit folder selection"},
        {wizard.iForm11.get(), "Edit1", R::EditableText, "New", ""},
        {wizard.isForm5.get(), "CheckBox2", R::CheckBox, "Add to Start menu", ""},
        {wizard.isform6.get(), "", R::Window, "Finishing Marlo installation", ""},
        {wizard.isform6.get(), "Button2", R::Button, "Start Quindor", ""},
    };
    for (const Told& row : rows) {
        expectTold(row.control.empty() ? *row.page : control(*row.page, row.control), row);
    }
}

TEST_F(ScreenReaderNames, TheNamesFollowTheActiveLanguage) {
    wizard.isForm1->MltLang1->SetActiveLang(2);
    using R = QAccessible::Role;
    const std::vector<Told> rows = {
        {wizard.isForm1.get(), "Button2", R::Button, "Afbreken", ""},
        {wizard.isForm2.get(), "", R::Window, "Stop installatie", ""},
        {wizard.isForm2.get(), "Button1", R::Button, "Ga door", ""},
        {wizard.iForm10.get(), "Button2", R::Button, "Accepteer", "Gebruik geselecteerde map"},
    };
    for (const Told& row : rows) {
        expectTold(row.control.empty() ? *row.page : control(*row.page, row.control), row);
    }
    EXPECT_EQ(labelOf(control(*wizard.isForm3, "ComboBox1")), "Taal");
}

// On Linux a combo box is named by its text and, like an edit box, labelled by the label that
// introduces it; screen readers say the label first.
TEST_F(ScreenReaderNames, BoxesAreLabelledByTheLabelThatIntroducesThem) {
    EXPECT_EQ(labelOf(control(*wizard.isForm3, "ComboBox1")), "Quindor Screen language");
    EXPECT_EQ(
        readerView(control(*wizard.isForm3, "ComboBox1"))->text(QAccessible::Value).toStdString(),
        "English");
    EXPECT_EQ(labelOf(control(*wizard.isForm3, "Edit1")), "Install to:");
    EXPECT_EQ(labelOf(control(*wizard.iForm11, "Edit1")), "New");
}

// The setup picture only decorates; every other control of a page is read.
TEST_F(ScreenReaderNames, PicturesAreLeftOutOfEveryPage) {
    for (framework::TForm* page : allPages()) {
        QAccessibleInterface* view = readerView(*page);
        std::vector<QObject*> read;
        read.reserve(view->childCount());
        for (int i = 0; i < view->childCount(); ++i) read.push_back(view->child(i)->object());
        std::vector<QObject*> expected;
        for (framework::TControl* child : page->childControls()) {
            if (dynamic_cast<framework::TImage*>(child) == nullptr)
                expected.push_back(child->widget());
        }
        EXPECT_EQ(read, expected) << page->name();
        for (QObject* object : read) {
            EXPECT_EQ(view->indexOfChild(QAccessible::queryAccessibleInterface(object)),
                      static_cast<int>(std::find(read.begin(), read.end(), object) - read.begin()));
        }
    }
}

TEST_F(ScreenReaderNames, ModalPagesAreDialogsWhileTheyRun) {
    QAccessible::Role whileModal = QAccessible::NoRole;
    bool modalState = false;
    testing_support::whenModal([&] {
        whileModal = readerView(*wizard.isForm2)->role();
        modalState = readerView(*wizard.isForm2)->state().modal;
        wizard.isForm2->Button1->Click();
    });
    wizard.isForm1->Button2->Click();
    EXPECT_EQ(whileModal, QAccessible::Dialog);
    EXPECT_TRUE(modalState);
    EXPECT_EQ(readerView(*wizard.isForm2)->role(), QAccessible::Window);
    EXPECT_FALSE(readerView(*wizard.isForm2)->state().modal);
}
