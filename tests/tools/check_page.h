#pragma once
// A page built as the setup's pages are: its controls and handlers come from the page
// compiler. check_page.cpp implements the handlers; the build also compiles it against
// definitions it no longer matches, which must fail.

#include <string>
#include <vector>

#include "check_pages/TCheckPage.h"

class TCheckPage : public framework::TForm {
    TCheckPage_GENERATED

        public : TCheckPage() = default;

    std::vector<std::string> calls;
};
