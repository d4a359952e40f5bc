#include "component_classes.h"

namespace page_compiler {

const EventKind* findEventKind(std::string_view type) {
    for (const EventKind& kind : eventKinds()) {
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

}  // namespace page_compiler
