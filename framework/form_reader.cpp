#include "form_reader.h"

namespace framework {

namespace {

[[noreturn]] void failAt(const std::string& where, int line, const std::string& message) {
    throw EReadingError("Error reading " + where + " (line " + std::to_string(line) +
                        "): " + message);
}

// A component reference waits until every component of the page exists.
struct PendingReference {
    Persistent* object;
    const PropertyInfo* info;
    std::string componentName;
    std::string where;
    int line;
};

class Reader {
public:
    explicit Reader(TForm& form) : m_form(form) {}

    void read(const ObjectNode& root) {
        setProperties(m_form, root);
        createChildren(root, &m_form);
        resolveReferences();
    }

private:
    void setProperties(Component& component, const ObjectNode& node) {
        for (const PropertyNode& p : node.properties) {
            const std::string where = node.name + "." + p.name;
            const PropertyTarget target = resolveProperty(component, p.name);
            if (target.info == nullptr || !target.info->set) {
                failAt(where, p.line, "Property does not exist");
            }
            try {
                setProperty(target, p, where);
            } catch (const EReadingError&) {
                throw;
            } catch (const EPropertyError& e) {
                failAt(where, p.line, e.what());
            }
        }
    }

    void setProperty(const PropertyTarget& target, const PropertyNode& p,
                     const std::string& where) {
        switch (target.info->kind) {
            case PropertyKind::Event: {
                const std::string method = toIdentifier(p.value, p.name);
                const MethodReference* found = m_form.findMethod(method);
                if (found == nullptr) failAt(where, p.line, "Method " + method + " not found");
                target.info->set(*target.object, *found);
                break;
            }
            case PropertyKind::Reference:
                m_pending.push_back(
                    {target.object, target.info, toIdentifier(p.value, p.name), where, p.line});
                break;
            default: target.info->set(*target.object, p.value);
        }
    }

    void createChildren(const ObjectNode& node, TControl* parent) {
        for (const ObjectNode& child : node.children) {
            if (!ClassRegistry::instance().contains(child.className)) {
                failAt(child.name, child.line, "Class " + child.className + " not found");
            }
            if (m_form.findComponent(child.name) != nullptr) {
                failAt(child.name, child.line,
                       "A component named " + child.name + " already exists");
            }
            Component* component = ClassRegistry::instance().create(child.className, &m_form);
            component->setState(csReading, true);
            component->setState(csLoading, true);
            component->setName(child.name);
            auto* control = dynamic_cast<TControl*>(component);
            if (control != nullptr) control->setParentControl(parent);
            setProperties(*component, child);
            if (!child.children.empty()) {
                if (control == nullptr || !control->acceptsChildControls()) {
                    failAt(child.name, child.line, child.className + " cannot hold controls");
                }
                createChildren(child, control);
            }
            component->setState(csReading, false);
        }
    }

    // A reference names a component of the page, or the page itself.
    void resolveReferences() {
        for (const PendingReference& r : m_pending) {
            Component* target =
                r.componentName == m_form.name() ? &m_form : m_form.findComponent(r.componentName);
            if (target == nullptr)
                failAt(r.where, r.line, "Component " + r.componentName + " not found");
            try {
                r.info->set(*r.object, target);
            } catch (const EPropertyError& e) {
                failAt(r.where, r.line, e.what());
            }
        }
    }

    TForm& m_form;
    std::vector<PendingReference> m_pending;
};

}  // namespace

void readForm(TForm& form, const ObjectNode& root) {
    if (root.className != form.className()) {
        failAt(root.name, root.line,
               "the definition is of " + root.className + ", not of " + form.className());
    }
    form.setState(csReading, true);
    form.setState(csLoading, true);
    form.setName(root.name);
    Reader(form).read(root);
    form.setState(csReading, false);
}

}  // namespace framework
