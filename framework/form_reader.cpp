#include "form_reader.h"

namespace framework {

namespace {

[[noreturn]] void failAt(const std::string& where, int line, const std::string& message) {
    throw EPropertyError("Error reading " + where + " (line " + std::to_string(line) +
                         "): " + message);
}

void setProperties(Component& component, const ObjectNode& node, const TForm& form) {
    for (const PropertyNode& p : node.properties) {
        const std::string where = node.name + "." + p.name;
        const PropertyInfo* info = component.findProperty(p.name);
        if (info == nullptr || !info->set) failAt(where, p.line, "Property does not exist");
        try {
            if (info->kind == PropertyKind::Event) {
                std::string method = toIdentifier(p.value, p.name);
                NotifyEvent handler = form.methodAddress(method);
                if (!handler) failAt(where, p.line, "Method " + method + " not found");
                info->set(component, handler);
            } else {
                info->set(component, p.value);
            }
        } catch (const EPropertyError& e) {
            if (std::string_view(e.what()).starts_with("Error reading")) throw;
            failAt(where, p.line, e.what());
        }
    }
}

void createChildren(TForm& form, const ObjectNode& node, TControl* parent) {
    for (const ObjectNode& child : node.children) {
        if (!ClassRegistry::instance().contains(child.className)) {
            failAt(child.name, child.line, "Class " + child.className + " not found");
        }
        Component* component = ClassRegistry::instance().create(child.className, &form);
        component->setState(csReading, true);
        component->setState(csLoading, true);
        component->setName(child.name);
        auto* control = dynamic_cast<TControl*>(component);
        if (control != nullptr) control->setParentControl(parent);
        setProperties(*component, child, form);
        if (!child.children.empty()) {
            if (control == nullptr || !control->acceptsChildControls()) {
                failAt(child.name, child.line, child.className + " cannot hold controls");
            }
            createChildren(form, child, control);
        }
        component->setState(csReading, false);
    }
}

}  // namespace

void readForm(TForm& form, const ObjectNode& root) {
    if (root.className != form.className()) {
        failAt(root.name, root.line, "the definition is of " + root.className + ", not of " +
                                         form.className());
    }
    form.setState(csReading, true);
    form.setState(csLoading, true);
    form.setName(root.name);
    setProperties(form, root, form);
    createChildren(form, root, &form);
    form.setState(csReading, false);
}

}  // namespace framework
