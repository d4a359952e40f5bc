#include "form_messages.h"

#include <algorithm>

namespace framework {

SizeKind sizeKindOf(WindowState state) {
    switch (state) {
        case WindowState::Minimized: return SizeKind::Minimized;
        case WindowState::Maximized: return SizeKind::Maximized;
        default: return SizeKind::Restored;
    }
}

MessageHookHandle::MessageHookHandle(std::weak_ptr<MessageHookChain> chain, int id)
    : m_chain(std::move(chain)), m_id(id) {}

MessageHookHandle::~MessageHookHandle() { reset(); }

MessageHookHandle::MessageHookHandle(MessageHookHandle&& other) noexcept
    : m_chain(std::move(other.m_chain)), m_id(other.m_id) {
    other.m_id = 0;
}

MessageHookHandle& MessageHookHandle::operator=(MessageHookHandle&& other) noexcept {
    if (this != &other) {
        reset();
        m_chain = std::move(other.m_chain);
        m_id = other.m_id;
        other.m_id = 0;
    }
    return *this;
}

void MessageHookHandle::reset() {
    if (auto chain = m_chain.lock()) chain->remove(m_id);
    m_chain.reset();
    m_id = 0;
}

bool MessageHookHandle::installed() const {
    auto chain = m_chain.lock();
    return chain && chain->contains(m_id);
}

int MessageHookChain::add(FormMessageHook hook) {
    const int id = m_nextId++;
    m_hooks.push_back({id, std::make_shared<const FormMessageHook>(std::move(hook))});
    return id;
}

void MessageHookChain::remove(int id) {
    std::erase_if(m_hooks, [id](const Entry& entry) { return entry.id == id; });
}

bool MessageHookChain::contains(int id) const {
    return std::any_of(m_hooks.begin(), m_hooks.end(),
                       [id](const Entry& entry) { return entry.id == id; });
}

void MessageHookChain::deliver(const FormMessage& message) const {
    // A snapshot, so that hooks can change the chain; each is checked before its call.
    const std::vector<Entry> snapshot = m_hooks;
    for (auto entry = snapshot.rbegin(); entry != snapshot.rend(); ++entry) {
        if (!contains(entry->id)) continue;
        (*entry->hook)(message);
    }
}

}  // namespace framework
