#pragma once
// What the page compiler knows of the component classes a page definition may name: the
// C++ type and header of each, and the kind of each of its events. The build writes the
// table from the registered classes (component_table_writer), and the generated headers
// check every event kind against the class's real member at compile time.

#include <string>
#include <string_view>
#include <vector>

namespace page_compiler {

// An event type with the C++ parameters its handlers take (the sender first).
struct EventKind {
    std::string_view type;        // e.g. framework::ChangingEvent
    std::string_view parameters;  // e.g. framework::Component* Sender, bool& Allowed
};

struct EventSlot {
    std::string_view name;  // e.g. OnClick
    std::string_view kind;  // an EventKind's type
};

struct ComponentClass {
    std::string_view storedName;  // e.g. TButton
    std::string_view type;        // e.g. framework::TButton
    std::string_view header;      // e.g. framework/buttons.h
    std::vector<EventSlot> events;
};

// Every event kind a handler may serve.
const std::vector<EventKind>& eventKinds();
// Every class a page may hold, in no particular order.
const std::vector<ComponentClass>& componentClasses();
// The event kind of that type, or nullptr.
const EventKind* findEventKind(std::string_view type);
// The class stored under that name, or nullptr.
const ComponentClass* findComponentClass(std::string_view storedName);
// The class every page root stands for: the form with its own events.
const ComponentClass& formClass();

}  // namespace page_compiler
