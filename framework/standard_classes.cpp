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
    ClassRegistry& r = ClassRegistry::instance();
    r.add(TButton::staticClassInfo(), &createComponent<TButton>);
    r.add(TBitBtn::staticClassInfo(), &createComponent<TBitBtn>);
    r.add(TRadioButton::staticClassInfo(), &createComponent<TRadioButton>);
    r.add(TCheckBox::staticClassInfo(), &createComponent<TCheckBox>);
    r.add(TLabel::staticClassInfo(), &createComponent<TLabel>);
    r.add(TMemo::staticClassInfo(), &createComponent<TMemo>);
    r.add(TEdit::staticClassInfo(), &createComponent<TEdit>);
    r.add(TComboBox::staticClassInfo(), &createComponent<TComboBox>);
    r.add(TListBox::staticClassInfo(), &createComponent<TListBox>);
    r.add(TCheckListBox::staticClassInfo(), &createComponent<TCheckListBox>);
    r.add(TGroupBox::staticClassInfo(), &createComponent<TGroupBox>);
    r.add(TPanel::staticClassInfo(), &createComponent<TPanel>);
    r.add(TImage::staticClassInfo(), &createComponent<TImage>);
    r.add(TTreeView::staticClassInfo(), &createComponent<TTreeView>);
    r.add(TImageList::staticClassInfo(), &createComponent<TImageList>);
    r.add(TPopupMenu::staticClassInfo(), &createComponent<TPopupMenu>);
    r.add(TMenuItem::staticClassInfo(), &createComponent<TMenuItem>);
}

}  // namespace framework
