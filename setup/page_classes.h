#pragma once
// The component classes the page definitions may name, registered with the framework so
// that the form reader can create them. The page compiler's table of classes and events is
// written at build time from these same registrations.

namespace setup {

// Registers every class the page definitions use; idempotent.
void registerPageClasses();

}  // namespace setup
