#pragma once
// All nine pages of the setup wizard.

#include "closing_pages.h"
#include "dictionary_page.h"
#include "folder_dialogs.h"
#include "language_folder_page.h"
#include "welcome_pages.h"
