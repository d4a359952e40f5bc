#include "page_classes.h"

#include "elastic/elastic_form.h"
#include "framework/standard_classes.h"
#include "mltlang/mltlang.h"
#include "shelltree/shell_tree.h"

namespace setup {

void registerPageClasses() {
    framework::registerStandardClasses();
    mltlang::TMltLang::staticClassInfo();
    elastic::TElasticForm::staticClassInfo();
    shelltree::TShellTree::staticClassInfo();
}

}  // namespace setup
