// Creates the check page, so that linking needs every handler its definition names.

#include "check_page.h"

int main() {
    TCheckPage page;
    return page.calls.empty() ? 0 : 1;
}
