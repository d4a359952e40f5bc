#pragma once
// Applies a parsed page definition to a form: creates each object by registered class
// name, owned by the form and placed in its enclosing control, and sets the properties
// in stored order (a dotted name goes through object properties, "Font.Style"). References
// to other components are set once every component exists. Unknown classes, properties,
// methods and components, duplicate names and handlers whose parameters do not fit the
// event are errors naming the line.

#include "form.h"
#include "framework/page_definition.h"

namespace framework {

// An error of the definition that already names its place ("Error reading <where> (line
// <n>): ..."): it passes through the reading as it is.
class EReadingError : public EPropertyError {
public:
    using EPropertyError::EPropertyError;
};

void readForm(TForm& form, const ObjectNode& root);

}  // namespace framework
