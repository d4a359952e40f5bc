#pragma once
// The setup program: its nine pages, created once in a fixed order and living until the
// program ends, and the one program-wide value that no control holds.

#include <string>

#include "framework/form.h"

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

class Wizard {
public:
    Wizard();
    ~Wizard();
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    // Creates the pages in order; the first becomes the main page. A page's creation
    // handler may use only the pages created before it.
    void createPages();

    // The product's screen language, written into its settings file at install.
    std::string ScreenLanguageCode;

    framework::FormPtr<TisForm1> isForm1;
    framework::FormPtr<TisForm2> isForm2;
    framework::FormPtr<TisForm3> isForm3;
    framework::FormPtr<TiForm10> iForm10;
    framework::FormPtr<Tisform4> isform4;
    framework::FormPtr<TisForm5> isForm5;
    framework::FormPtr<Tisform6> isform6;
    framework::FormPtr<TisForm7> isForm7;
    framework::FormPtr<TiForm11> iForm11;
};

// Registers every class the page definitions use; idempotent.
void registerPageClasses();

}  // namespace setup
