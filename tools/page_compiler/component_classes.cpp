#include "component_classes.h"

#include <array>

namespace page_compiler {

namespace {

const std::array<EventKind, 5> kEventKinds{{
    {"framework::NotifyEvent", "framework::Component* Sender"},
    {"framework::ChangingEvent", "framework::Component* Sender, bool& Allowed"},
    {"framework::TVChangedEvent", "framework::Component* Sender, framework::TTreeNode* Node"},
    {"framework::TVExpandingEvent",
     "framework::Component* Sender, framework::TTreeNode* Node, bool& Allowed"},
    {"framework::TVEditedEvent",
     "framework::Component* Sender, framework::TTreeNode* Node, std::string& Text"},
}};

const std::vector<EventSlot> kTreeViewEvents{
    {"OnChange", "framework::TVChangedEvent"},    {"OnExpanding", "framework::TVExpandingEvent"},
    {"OnExpanded", "framework::TVChangedEvent"},  {"OnCollapsing", "framework::TVExpandingEvent"},
    {"OnCollapsed", "framework::TVChangedEvent"}, {"OnEditing", "framework::TVExpandingEvent"},
    {"OnEdited", "framework::TVEditedEvent"},
};

const std::vector<EventSlot> kClickEvent{{"OnClick", "framework::NotifyEvent"}};

}  // namespace

const std::vector<ComponentClass>& componentClasses() {
    static const std::vector<ComponentClass> table{
        {"TButton", "framework::TButton", "framework/buttons.h", kClickEvent},
        {"TBitBtn", "framework::TBitBtn", "framework/buttons.h", kClickEvent},
        {"TRadioButton", "framework::TRadioButton", "framework/buttons.h", kClickEvent},
        {"TCheckBox", "framework::TCheckBox", "framework/buttons.h", kClickEvent},
        {"TLabel", "framework::TLabel", "framework/text_controls.h", {}},
        {"TMemo", "framework::TMemo", "framework/text_controls.h", {}},
        {"TEdit", "framework::TEdit", "framework/text_controls.h",
         {{"OnClick", "framework::NotifyEvent"}, {"OnChange", "framework::NotifyEvent"}}},
        {"TComboBox", "framework::TComboBox", "framework/text_controls.h",
         {{"OnChange", "framework::NotifyEvent"}}},
        {"TListBox", "framework::TListBox", "framework/list_controls.h", {}},
        {"TCheckListBox", "framework::TCheckListBox", "framework/list_controls.h", {}},
        {"TGroupBox", "framework::TGroupBox", "framework/containers.h", {}},
        {"TPanel", "framework::TPanel", "framework/containers.h", {}},
        {"TImage", "framework::TImage", "framework/picture.h", {}},
        {"TImageList", "framework::TImageList", "framework/image_list.h", {}},
        {"TMenuItem", "framework::TMenuItem", "framework/popup_menu.h", kClickEvent},
        {"TPopupMenu", "framework::TPopupMenu", "framework/popup_menu.h",
         {{"OnPopup", "framework::NotifyEvent"}}},
        {"TTreeView", "framework::TTreeView", "framework/tree_view.h", kTreeViewEvents},
        {"TMltLang", "mltlang::TMltLang", "mltlang/mltlang.h",
         {{"OnBeforeChanging", "framework::ChangingEvent"},
          {"OnLanguageChanged", "framework::NotifyEvent"}}},
        {"TElasticForm", "elastic::TElasticForm", "elastic/elastic_form.h", {}},
        {"TShellTree", "shelltree::TShellTree", "shelltree/shell_tree.h", kTreeViewEvents},
    };
    return table;
}

const EventKind* findEventKind(std::string_view type) {
    for (const EventKind& kind : kEventKinds) {
        if (kind.type == type) return &kind;
    }
    return nullptr;
}

const ComponentClass* findComponentClass(std::string_view storedName) {
    for (const ComponentClass& c : componentClasses()) {
        if (c.storedName == storedName) return &c;
    }
    return nullptr;
}

const ComponentClass& formClass() {
    static const ComponentClass form{"TForm", "framework::TForm", "framework/form.h",
                                     {{"OnCreate", "framework::NotifyEvent"},
                                      {"OnShow", "framework::NotifyEvent"},
                                      {"OnActivate", "framework::NotifyEvent"},
                                      {"OnResize", "framework::NotifyEvent"},
                                      {"OnDestroy", "framework::NotifyEvent"}}};
    return form;
}

}  // namespace page_compiler
