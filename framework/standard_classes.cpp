#include "standard_classes.h"

#include "buttons.h"
#include "containers.h"
#include "image_list.h"
#include "list_controls.h"
#include "picture.h"
#include "popup_menu.h"
#include "text_controls.h"
#include "tree_view.h"

namespace framework {

void registerStandardClasses() {
    // Declaring a class's information registers it.
    TButton::staticClassInfo();
    TBitBtn::staticClassInfo();
    TRadioButton::staticClassInfo();
    TCheckBox::staticClassInfo();
    TLabel::staticClassInfo();
    TMemo::staticClassInfo();
    TEdit::staticClassInfo();
    TComboBox::staticClassInfo();
    TListBox::staticClassInfo();
    TCheckListBox::staticClassInfo();
    TGroupBox::staticClassInfo();
    TPanel::staticClassInfo();
    TImage::staticClassInfo();
    TTreeView::staticClassInfo();
    TImageList::staticClassInfo();
    TPopupMenu::staticClassInfo();
    TMenuItem::staticClassInfo();
}

}  // namespace framework
