// Every page as designed: captions, sizes, fonts, and each control's kind, place and text.

#include <QFont>
#include <QWidget>

#include "wizard_fixture.h"

namespace {

struct PageRow {
    const char* page;
    const char* caption;
    int clientWidth, clientHeight;
    const char* font;
};

struct ControlRow {
    const char* page;
    const char* control;
    const char* className;
    int left, top, width, height;  // width and height -1: sized by its text
    const char* text;              // caption, text or "" when the control has none
};

const PageRow kPages[] = {
    {"isForm1", "Welcome to the Quindor installation program", 365, 334, "Tahoma"},
    {"isForm2", "Exit setup", 357, 179, "Tahoma"},
    {"isForm3", "Installing", 358, 332, "Tahoma"},
    {"iForm10", "Select/create directory", 357, 328, "Arial"},
    {"isform4", "Installing", 357, 334, "Tahoma"},
    {"isForm5", "Installing", 354, 334, "Tahoma"},
    {"isform6", "Finishing Marlo installation", 363, 329, "Tahoma"},
    {"isForm7", "Install Quindor 1.2", 363, 329, "Tahoma"},
    {"iForm11", "New folder", 369, 100, "Arial"},
};

const char* const kExitText =
    "You have interrupted the Quindor installation program.  If you exit now you will NOT have "
    "installed Quindor.\r\nYou can exit now and (re)install Quindor some other time.\r\nBy "
    "pressing the \"Resume\" button you will not exit Quindor and continue the installation.";

const ControlRow kControls[] = {
    {"isForm1", "Image1", "TImage", 8, 8, 137, 193, ""},
    {"isForm1", "Button2", "TButton", 8, 296, 75, 25, "Cancel"},
    {"isForm1", "Button3", "TButton", 272, 296, 75, 25, "Next>"},
    {"isForm1", "Memo1", "TMemo", 152, 8, 209, 273, ""},
    {"isForm1", "RadioButton1", "TRadioButton", 8, 224, 113, 17, "Install"},
    {"isForm1", "RadioButton2", "TRadioButton", 8, 248, 113, 17, "Uninstall"},
    {"isForm2", "Label1", "TLabel", 8, 16, 312, 65, kExitText},
    {"isForm2", "Button1", "TButton", 8, 144, 75, 25, "Resume"},
    {"isForm2", "Button2", "TButton", 96, 144, 75, 25, "Exit setup"},
    {"isForm3", "ComboBox1", "TComboBox", 8, 184, 337, 21, "English"},
    {"isForm3", "Button2", "TButton", 8, 296, 75, 25, "Cancel"},
    {"isForm3", "Button4", "TButton", 184, 296, 75, 25, "<Back"},
    {"isForm3", "Button3", "TButton", 272, 296, 75, 25, "Next>"},
    {"isForm3", "Edit1", "TEdit", 8, 248, 321, 22, nullptr},
    {"isForm3", "BitBtn1", "TBitBtn", 312, 248, 30, 22, ""},
    {"isForm3", "Label1", "TLabel", 8, 160, -1, -1, "Quindor Screen language"},
    {"isForm3", "Label2", "TLabel", 8, 232, -1, -1, "Install to:"},
    {"isForm3", "Label3", "TLabel", 16, 24, -1, -1, "Quindor 1.2"},
    {"isForm3", "Image1", "TImage", 216, 16, 113, 137, ""},
    {"iForm10", "Panel4", "TPanel", 0, 0, 357, 41, ""},
    {"iForm10", "Button2", "TButton", 272, 8, 75, 25, "Accept"},
    {"iForm10", "Button1", "TButton", 96, 8, 75, 25, "Help"},
    {"iForm10", "BitBtn1", "TBitBtn", 8, 8, 75, 25, "Create folder"},
    {"iForm10", "Button3", "TButton", 184, 8, 75, 25, "Abort"},
    {"iForm10", "Panel1", "TPanel", 0, 41, 357, 287, ""},
    {"isform4", "CheckListBox1", "TCheckListBox", 4, 40, 205, 257, ""},
    {"isform4", "Button2", "TButton", 8, 296, 75, 25, "Cancel"},
    {"isform4", "Button4", "TButton", 184, 296, 75, 25, "<Back"},
    {"isform4", "Button3", "TButton", 272, 296, 75, 25, "Next>"},
    {"isform4", "Label1", "TLabel", 8, 16, -1, -1, "Select one or more language dictionaries:"},
    {"isform4", "Image1", "TImage", 216, 40, 113, 137, ""},
    {"isForm5", "GroupBox1", "TGroupBox", 8, 184, 332, 81, "Shortcuts"},
    {"isForm5", "CheckBox1", "TCheckBox", 8, 18, 209, 23, "Add to desktop"},
    {"isForm5", "CheckBox2", "TCheckBox", 8, 38, 177, 17, "Add to Start menu"},
    {"isForm5", "CheckBox3", "TCheckBox", 8, 58, 209, 17, "Add to Programs"},
    {"isForm5", "Button2", "TButton", 8, 296, 75, 25, "Cancel"},
    {"isForm5", "Button4", "TButton", 184, 296, 75, 25, "<Back"},
    {"isForm5", "Button3", "TButton", 272, 296, 75, 25, "Install"},
    {"isForm5", "Image1", "TImage", 216, 16, 113, 137, ""},
    {"isForm5", "Label3", "TLabel", 16, 16, -1, -1, "Quindor 1.2"},
    {"isform6", "Button2", "TButton", 32, 300, 97, 25, "Start Quindor"},
    {"isform6", "Button1", "TButton", 216, 300, 97, 25, "Finish"},
    {"isform6", "Image1", "TImage", 96, 16, 145, 177, ""},
    {"isform6", "Label3", "TLabel", 264, 16, -1, -1, "Quindor"},
    {"isform6", "Label2", "TLabel", 32, 208, -1, -1, "You have successfully installed Quindor."},
    {"isForm7", "LB", "TListBox", 0, 0, 363, 329, ""},
    {"iForm11", "Label1", "TLabel", 16, 8, 265, 25, "Current folder"},
    {"iForm11", "Label2", "TLabel", 16, 32, 259, 33, ""},
    {"iForm11", "Label3", "TLabel", 16, 64, 41, 33, "New"},
    {"iForm11", "Edit1", "TEdit", 56, 64, 201, 22, ""},
    {"iForm11", "Button3", "TButton", 280, 40, 75, 25, "OK"},
    {"iForm11", "Button1", "TButton", 280, 8, 75, 25, "Help"},
    {"iForm11", "Button2", "TButton", 280, 69, 75, 25, "Cancel"},
};

// Tab order as designed: control names of each page in the order Tab visits them.
const std::pair<const char*, std::vector<std::string>> kTabOrders[] = {
    {"isForm1", {"Button2", "Button3", "Memo1", "RadioButton1", "RadioButton2"}},
    {"isForm2", {"Button1", "Button2"}},
    {"isForm3", {"ComboBox1", "Button2", "Button4", "Button3", "Edit1", "BitBtn1"}},
    {"iForm10", {"Button2", "Button1", "BitBtn1", "Button3", "ShellTree1"}},
    {"isform4", {"CheckListBox1", "Button2", "Button4", "Button3"}},
    {"isForm5", {"CheckBox1", "CheckBox2", "CheckBox3", "Button2", "Button4", "Button3"}},
    {"isform6", {"Button2", "Button1"}},
    {"iForm11", {"Edit1", "Button3", "Button1", "Button2"}},
};

std::string textOf(const framework::Component& c) {
    for (const char* name : {"Caption", "Text"}) {
        if (c.findProperty(name) != nullptr) return std::get<std::string>(c.property(name));
    }
    return "";
}

}  // namespace

class PageLayoutTest : public WizardTest {
protected:
    framework::TForm* page(const std::string& name) const {
        for (framework::TForm* p : allPages()) {
            if (p->name() == name) return p;
        }
        ADD_FAILURE() << "no page " << name;
        return nullptr;
    }
};

TEST_F(PageLayoutTest, PagesHaveTheirCaptionSizeAndFont) {
    ASSERT_EQ(std::size(kPages), allPages().size());
    for (const PageRow& row : kPages) {
        SCOPED_TRACE(row.page);
        framework::TForm* p = page(row.page);
        EXPECT_EQ(p->caption(), row.caption);
        EXPECT_EQ(p->widget()->size(), QSize(row.clientWidth, row.clientHeight));
        EXPECT_EQ(p->width(), row.clientWidth + 8);
        EXPECT_EQ(p->height(), row.clientHeight + 27);
        EXPECT_EQ(p->Font().name(), row.font);
        EXPECT_EQ(p->widget()->font().pixelSize(), 11);
        EXPECT_EQ(p->position(), framework::TPosition::poScreenCenter);
    }
}

TEST_F(PageLayoutTest, ControlsStandWhereDesigned) {
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(std::string(row.page) + "." + row.control);
        auto* control =
            dynamic_cast<framework::TControl*>(page(row.page)->findComponent(row.control));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->className(), row.className);
        const QRect geometry = control->widget()->geometry();
        EXPECT_EQ(geometry.topLeft(), QPoint(row.left, row.top));
        if (row.width >= 0) {
            EXPECT_EQ(geometry.size(), QSize(row.width, row.height));
        }
        if (row.text != nullptr) {
            EXPECT_EQ(textOf(*control), row.text);
        }
    }
}

TEST_F(PageLayoutTest, TabOrderIsAsDesigned) {
    for (const auto& [pageName, expected] : kTabOrders) {
        SCOPED_TRACE(pageName);
        framework::TForm* p = page(pageName);
        p->Show();
        testing_support::settle();
        QWidget* first =
            static_cast<framework::TControl*>(p->findComponent(expected.front()))->widget();
        const auto isTabStop = [&](QWidget* w) {
            auto* control =
                dynamic_cast<framework::TControl*>(p->findComponent(w->objectName().toStdString()));
            return control != nullptr && control->widget() == w &&
                   (w->focusPolicy() & Qt::TabFocus) != 0;
        };
        std::vector<std::string> visited;
        QWidget* w = first;
        do {
            if (isTabStop(w)) visited.push_back(w->objectName().toStdString());
            w = w->nextInFocusChain();
        } while (w != first && visited.size() < 20);
        EXPECT_EQ(visited, expected);
        p->Hide();
    }
}

TEST_F(PageLayoutTest, WelcomeTextIsTheIntroductionLineByLine) {
    const framework::StringList expected = {
        "This program will install Quindor on ",
        "your hard disk. ",
        "",
        "First you need to choose which ",
        "screen language you want to use. ",
        "Then you specify which language ",
        "dictionaries you want to install and ",
        "finally you can set some shortcut ",
        "keys.",
        "",
        "All the installation screens have a  \"Cancel\" ",
        "button . The \"Cancel\" button will ask you if ",
        "you want to abort the Quindor",
        "installation. The \"Next>\" button will open ",
        "the next screen of the installation ",
        "procedure. The \"<Back\" button will go back ",
        "to the previous screen.",
    };
    EXPECT_EQ(wizard.isForm1->Memo1->Lines().toList(), expected);
}

TEST_F(PageLayoutTest, ListsHoldTheirRowsInOrder) {
    const framework::StringList languages{
        "English",
        "Czech",
        "Dansk",
        "Deutsch",
        "Fran\xC3\xA7"  // NOLINT(bugprone-suspicious-missing-comma): ends the \xA7 escape
        "ais",
        "Nederlands",
        "Po polsku",
        "Ruski",
        "Slovak"};
    EXPECT_EQ(wizard.isForm3->ComboBox1->Items().toList(), languages);
    EXPECT_EQ(
        wizard.isform4->CheckListBox1->Items().toList(),
        (framework::StringList{"British English", "American English", "Danish", "Dutch", "German",
                               "French", "Polish", "Russian", "Czeck", "Slovak", "Slovenian",
                               "Italian", "Spanish", "Swedish", "South-African"}));
    EXPECT_TRUE(wizard.isform4->CheckListBox1->multiSelect());
    EXPECT_EQ(wizard.isform4->CheckListBox1->itemHeight(), 15);
    EXPECT_EQ(wizard.isForm7->LB->itemHeight(), 14);
    EXPECT_EQ(wizard.isForm7->LB->Font().name(), "Courier New");
}

TEST_F(PageLayoutTest, LabelsAndHintsAsDesigned) {
    EXPECT_TRUE(wizard.isForm3->Label1->widget()->font().bold());
    EXPECT_EQ(wizard.isForm3->Label3->widget()->font().pixelSize(), 19);
    EXPECT_EQ(wizard.isform6->Label3->widget()->font().pixelSize(), 27);
    EXPECT_EQ(wizard.isform6->Label3->Font().name(), "Arial");
    EXPECT_FALSE(wizard.isForm1->Memo1->widget()->font().bold());
    // Hints are stored but not shown on the folder pages.
    EXPECT_EQ(wizard.isForm3->BitBtn1->hint(), "Choose Module folder");
    EXPECT_TRUE(wizard.isForm3->BitBtn1->widget()->toolTip().isEmpty());
    EXPECT_EQ(wizard.iForm10->Button2->hint(), "Use highlighted folder ");
    EXPECT_TRUE(wizard.iForm10->Button2->widget()->toolTip().isEmpty());
    // The folder dialogs have no title-bar buttons.
    EXPECT_FALSE(wizard.iForm10->widget()->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(wizard.iForm11->widget()->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(wizard.isForm1->widget()->windowFlags() & Qt::WindowCloseButtonHint);
}

TEST_F(PageLayoutTest, ComponentsCarryTheirStoredValues) {
    for (framework::TForm* p : allPages()) {
        SCOPED_TRACE(p->name());
        auto* wp = static_cast<setup::WizardPage*>(p);
        EXPECT_EQ(wp->MltLang1->ActiveLang(), 0);
        EXPECT_EQ(wp->MltLang1->MaxLang(), 9);
        EXPECT_EQ(wp->MltLang1->LangId(), mltlang::lgENGLISH);
        EXPECT_FALSE(wp->ElasticForm1->settings().ElasticFont);
        EXPECT_EQ(wp->ElasticForm1->settings().DesignPixelsPerInch, 96);
        EXPECT_EQ(wp->ElasticForm1->settings().DesignFormWidth, p->width());
        EXPECT_EQ(wp->ElasticForm1->settings().DesignFormHeight, p->height());
        EXPECT_EQ(wp->ElasticForm1->settings().DesignFormClientWidth, p->clientWidth());
        EXPECT_EQ(wp->ElasticForm1->settings().DesignFormClientHeight, p->clientHeight());
        EXPECT_DOUBLE_EQ(wp->ElasticForm1->Version(), 3.05);
    }
    EXPECT_EQ(wizard.isForm1->ElasticForm1->settings().DesignFormLeft, 344);
    EXPECT_EQ(wizard.isForm1->ElasticForm1->settings().DesignFormTop, 189);
}
