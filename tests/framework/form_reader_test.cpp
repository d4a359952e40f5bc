// Creating a page from its definition: classes by name, properties in stored order,
// Loaded on every component after all properties, then the creation handler.

#include "framework/form_reader.h"

#include <gtest/gtest.h>

#include "framework/buttons.h"
#include "framework/containers.h"
#include "framework/form.h"
#include "framework/list_controls.h"
#include "framework/standard_classes.h"
#include "framework/text_controls.h"

using namespace framework;

namespace {

std::vector<std::string> g_log;

// A non-visual component that records what it saw when Loaded ran.
class TRecorder : public Component {
    FRAMEWORK_CLASS(Component)

    explicit TRecorder(Component* owner) : Component(owner) {}
    std::string target() const { return m_target; }
    void setTarget(const std::string& value) {
        g_log.push_back("set Target, reading=" + std::to_string(hasState(csReading)));
        m_target = value;
    }
    void Loaded() override {
        Component::Loaded();
        // Every control of the form exists and has its properties by now.
        auto* control = dynamic_cast<TButtonControl*>(owner()->findComponent(m_target));
        g_log.push_back("Loaded " + name() + " sees " + (control ? control->caption() : "nothing"));
    }

private:
    std::string m_target;
};

const ClassInfo& TRecorder::staticClassInfo() {
    return declareClass<TRecorder>("TRecorder", [] {
        return std::vector<PropertyInfo>{
            valueProperty("Target", &TRecorder::target, &TRecorder::setTarget)};
    });
}

class TTestForm : public TForm {
    FRAMEWORK_CLASS(TForm)

    TTestForm() {
        publish("FormCreate", &TTestForm::FormCreate);
        publish("ButtonClick", &TTestForm::ButtonClick);
    }
    void FormCreate(Component*) { g_log.push_back("FormCreate"); }
    void ButtonClick(Component* sender) { g_log.push_back("click " + sender->name()); }
    void Loaded() override {
        TForm::Loaded();
        g_log.push_back("Loaded form");
    }
};

const ClassInfo& TTestForm::staticClassInfo() {
    return declareClass<TTestForm>("TTestForm", [] { return std::vector<PropertyInfo>{}; });
}

const char* const kDefinition = R"(object Test1: TTestForm
  Caption = 'A test page'
  ClientWidth = 200
  ClientHeight = 100
  OnCreate = FormCreate
  object Recorder1: TRecorder
    Target = 'Button1'
  end
  object Box: TGroupBox
    Left = 4
    Top = 5
    Width = 150
    Height = 60
    Caption = 'Box'
    object Button1: TButton
      Left = 8
      Top = 18
      Width = 75
      Height = 25
      Caption = 'Press'
      OnClick = ButtonClick
    end
  end
  object List: TListBox
    Items = ('one' 'two')
  end
end
)";

class FormReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        registerStandardClasses();
        TRecorder::staticClassInfo();
        g_log.clear();
    }
    FormPtr<TTestForm> form{new TTestForm};
};

}  // namespace

TEST_F(FormReaderTest, CreatesComponentsInOrderThenLoadedThenCreate) {
    form->createFromDefinition(kDefinition);
    EXPECT_EQ(g_log,
              (std::vector<std::string>{"set Target, reading=1", "Loaded Recorder1 sees Press",
                                        "Loaded form", "FormCreate"}));
    EXPECT_EQ(form->name(), "Test1");
    ASSERT_EQ(form->componentCount(), 4);
    EXPECT_EQ(form->component(0)->name(), "Recorder1");
    EXPECT_EQ(form->component(2)->name(), "Button1");  // owned by the form, placed in the box
    auto* button = static_cast<TButton*>(form->component(2));
    EXPECT_EQ(button->parentControl()->name(), "Box");
    EXPECT_EQ(button->widget()->parentWidget(),
              static_cast<TControl*>(form->component(1))->widget());
    EXPECT_FALSE(button->hasState(csReading));
    EXPECT_FALSE(button->hasState(csLoading));

    button->Click();
    EXPECT_EQ(g_log.back(), "click Button1");
}

TEST_F(FormReaderTest, TextPropertiesAreReachableByName) {
    form->createFromDefinition(kDefinition);
    Component* button = form->findComponent("Button1");
    button->setProperty("Caption", std::string("Pressed"));
    EXPECT_EQ(std::get<std::string>(button->property("Caption")), "Pressed");
    button->setProperty("Hint", std::string("a hint"));
    EXPECT_EQ(std::get<std::string>(button->property("Hint")), "a hint");
    Component* list = form->findComponent("List");
    list->setProperty("Items", StringList{"x", "y", "z"});
    EXPECT_EQ(std::get<StringList>(list->property("Items")), (StringList{"x", "y", "z"}));
    EXPECT_EQ(list->findProperty("Items")->kind, PropertyKind::Object);
    form->setProperty("Caption", std::string("Renamed"));
    EXPECT_EQ(form->caption(), "Renamed");
}

TEST_F(FormReaderTest, BadDefinitionsAreClearErrors) {
    const std::vector<std::pair<std::string, std::string>> rows = {
        {"object T: TTestForm\n  object X: TNoSuchControl\n  end\nend\n",
         "Error reading X (line 2): Class TNoSuchControl not found"},
        {"object T: TTestForm\n  object X: TButton\n    Colour = 3\n  end\nend\n",
         "Error reading X.Colour (line 3): Property does not exist"},
        {"object T: TTestForm\n  object X: TButton\n    OnClick = Missing\n  end\nend\n",
         "Error reading X.OnClick (line 3): Method Missing not found"},
        {"object T: TTestForm\n  object X: TButton\n    Left = 'far'\n  end\nend\n",
         "Error reading X.Left (line 3): Property Left needs an integer"},
        {"object T: TTestForm\n  Position = poNowhere\nend\n",
         "Error reading T.Position (line 2): Unknown position poNowhere"},
        {"object T: TOtherForm\nend\n",
         "Error reading T (line 1): the definition is of TOtherForm, not of TTestForm"},
        {"object T: TTestForm\n  object X: TButton\n    object Y: TButton\n    end\n  end\nend\n",
         "Error reading X (line 2): TButton cannot hold controls"},
        {"object T: TTestForm\n  object I: TImage\n    Picture.Data = {0102}\n  end\nend\n",
         "Error reading I.Picture.Data (line 3): Bitmap image is not valid"},
    };
    for (const auto& [text, message] : rows) {
        FormPtr<TTestForm> page(new TTestForm);
        try {
            page->createFromDefinition(text);
            ADD_FAILURE() << "no error for " << text;
        } catch (const EPropertyError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
}
