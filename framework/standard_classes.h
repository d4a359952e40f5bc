#pragma once

namespace framework {

// Registers the framework's controls under their stored class names; idempotent.
void registerStandardClasses();

}  // namespace framework
