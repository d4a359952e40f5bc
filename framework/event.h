#pragma once
// Events as method references with a signature. Every event passes its sender first;
// NotifyEvent passes nothing else, others add parameters, e.g. ChangingEvent's
// (Sender, bool& allowed). A page definition stores the name of a published method;
// assigning one whose parameters differ from the event's is an EPropertyError. A few
// events of plain fields pass no sender (PlainEvent).
//
// An event is raised only through raiseEvent, which calls it when assigned and shows an
// exception escaping the handler in the error box, so that no handler's failure leaves the
// event loop and ends the program: the events themselves cannot be called.

#include <exception>
#include <functional>
#include <string>
#include <utility>

#include "framework/property_value.h"
#include "framework/thread/handler_failure.h"

namespace framework {

// How a parameter type reads in messages ("(Sender, bool&)").
template <class T>
constexpr std::string_view parameterName() {
    if constexpr (std::is_same_v<T, bool&>)
        return "bool&";
    else if constexpr (std::is_same_v<T, bool>)
        return "bool";
    else if constexpr (std::is_same_v<T, int>)
        return "int";
    else if constexpr (std::is_same_v<T, int&>)
        return "int&";
    else if constexpr (std::is_same_v<T, const std::string&>)
        return "const string&";
    else if constexpr (std::is_same_v<T, std::string&>)
        return "string&";
    else if constexpr (std::is_pointer_v<T>)
        return "pointer";
    else
        return "value";
}

template <class... Args>
std::string parameterList() {
    std::string out = "(Sender";
    ((out += ", ", out += parameterName<Args>()), ...);
    return out + ")";
}

template <class... Args>
class Event;
template <class... Args>
class PlainEvent;

// Raises the event when assigned. False when its handler failed (the error was shown):
// what it was to decide, such as an allowed flag, counts as refused.
template <class... Args, class... Actual>
bool raiseEvent(const Event<Args...>& event, Component* sender, Actual&&... args);
template <class... Args, class... Actual>
bool raiseEvent(const PlainEvent<Args...>& event, Actual&&... args);

template <class... Args>
class Event {
public:
    using Signature = void(Component* sender, Args...);
    using Handler = std::function<Signature>;

    Event() = default;
    Event(std::nullptr_t) {}
    template <class F>
    requires(std::is_invocable_v<F&, Component*, Args...> &&
             !std::is_same_v<std::decay_t<F>, Event>) Event(F handler)
        : m_handler(std::move(handler)) {}

    explicit operator bool() const { return static_cast<bool>(m_handler); }

    // The published method assigned from a page definition; empty for handlers set in code.
    const std::string& methodName() const { return m_methodName; }

    // Takes a published method; one with other parameters is refused, naming both lists.
    void assign(const MethodReference& method, std::string_view eventName) {
        if (method.signature == nullptr || *method.signature != typeid(Signature)) {
            throw EPropertyError("Method " + method.name + " has parameters " + method.parameters +
                                 ", " + std::string(eventName) + " needs " +
                                 parameterList<Args...>());
        }
        m_handler = *static_cast<const Handler*>(method.handler.get());
        m_methodName = method.name;
    }

private:
    template <class... A, class... Actual>
    friend bool raiseEvent(const Event<A...>& event, Component* sender, Actual&&... args);

    Handler m_handler;
    std::string m_methodName;
};

// An event of a plain field whose handler takes no sender.
template <class... Args>
class PlainEvent {
public:
    using Handler = std::function<void(Args...)>;

    PlainEvent() = default;
    PlainEvent(std::nullptr_t) {}
    template <class F>
    requires(std::is_invocable_v<F&, Args...> && !std::is_same_v<std::decay_t<F>, PlainEvent>)
        PlainEvent(F handler)
        : m_handler(std::move(handler)) {}

    explicit operator bool() const { return static_cast<bool>(m_handler); }

private:
    template <class... A, class... Actual>
    friend bool raiseEvent(const PlainEvent<A...>& event, Actual&&... args);

    Handler m_handler;
};

template <class... Args, class... Actual>
bool raiseEvent(const Event<Args...>& event, Component* sender, Actual&&... args) {
    if (!event) return true;
    // A copy: the handler may free the component and with it the event.
    const typename Event<Args...>::Handler handler = event.m_handler;
    return callHandler([&] { handler(sender, std::forward<Actual>(args)...); });
}

template <class... Args, class... Actual>
bool raiseEvent(const PlainEvent<Args...>& event, Actual&&... args) {
    if (!event) return true;
    const typename PlainEvent<Args...>::Handler handler = event.m_handler;
    return callHandler([&] { handler(std::forward<Actual>(args)...); });
}

using NotifyEvent = Event<>;
// Raised before a change; a handler clears allowed to refuse it.
using ChangingEvent = Event<bool&>;

// A method reference for a callable of the given event signature.
template <class... Args>
MethodReference makeMethodReference(
    std::string name, std::type_identity_t<std::function<void(Component*, Args...)>> handler) {
    using Handler = std::function<void(Component*, Args...)>;
    return {std::move(name), &typeid(void(Component*, Args...)), parameterList<Args...>(),
            std::make_shared<const Handler>(std::move(handler))};
}

}  // namespace framework
