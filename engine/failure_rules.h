#pragma once
// What a failing step of the install or the uninstall does. Each procedure keeps one table
// that gives every step whose failure is handled its rule; runStep applies it.

#include <cstddef>
#include <exception>
#include <utility>

#include "setup_ui.h"

namespace engine {

enum class OnFailure {
    Ends,        // the error goes to the framework, which shows it; the later steps and the
                 // finish page do not come, and what was done stays
    Shown,       // its message is shown and the procedure goes on
    PassedOver,  // nothing is shown and the procedure goes on
};

// The rule a table gives the step; a step the table forgets ends the procedure.
template <typename Step, std::size_t Count>
constexpr OnFailure ruleOf(const std::pair<Step, OnFailure> (&rules)[Count], Step step) {
    for (const auto& [ruled, rule] : rules) {
        if (ruled == step) return rule;
    }
    return OnFailure::Ends;
}

// Runs one step and applies the rule to what it raises.
template <typename Action>
void runStep(SetupUi& ui, OnFailure rule, Action&& action) {
    try {
        action();
    } catch (const std::exception& error) {
        switch (rule) {
            case OnFailure::Ends: throw;
            case OnFailure::Shown: ui.showMessage(error.what()); break;
            case OnFailure::PassedOver: break;
        }
    }
}

}  // namespace engine
