#include "strings.h"

#include <algorithm>

namespace framework {

const ClassInfo& TStrings::staticClassInfo() {
    return declareClass<TStrings>("TStrings", [] { return std::vector<PropertyInfo>{}; });
}

void TStrings::clear() {
    beginUpdate();
    for (int i = count() - 1; i >= 0; --i) remove(i);
    endUpdate();
}

int TStrings::add(const std::string& text) {
    const int index = count();
    insert(index, text);
    return index;
}

int TStrings::indexOf(const std::string& text) const {
    for (int i = 0; i < count(); ++i) {
        if (get(i) == text) return i;
    }
    return -1;
}

void TStrings::beginUpdate() {
    if (m_updates++ == 0) setUpdateState(true);
}

void TStrings::endUpdate() {
    if (m_updates > 0 && --m_updates == 0) setUpdateState(false);
}

StringList TStrings::toList() const {
    StringList out;
    out.reserve(static_cast<std::size_t>(count()));
    for (int i = 0; i < count(); ++i) out.push_back(get(i));
    return out;
}

void TStrings::assign(const StringList& rows) {
    beginUpdate();
    clear();
    for (const std::string& row : rows) add(row);
    endUpdate();
}

void TStrings::assignValue(const PropertyValue& value) { assign(toStringList(value, "Strings")); }

PropertyValue TStrings::storedValue() const { return toList(); }

void TStrings::checkIndex(int index, bool forInsert) const {
    const int limit = forInsert ? count() + 1 : count();
    if (index < 0 || index >= limit) {
        throw EPropertyError("List index out of bounds (" + std::to_string(index) + ")");
    }
}

const ClassInfo& TStringList::staticClassInfo() {
    return declareClass<TStringList>("TStringList", [] { return std::vector<PropertyInfo>{}; });
}

std::string TStringList::get(int index) const {
    checkIndex(index);
    return m_rows[static_cast<std::size_t>(index)];
}

void TStringList::put(int index, const std::string& text) {
    checkIndex(index);
    m_rows[static_cast<std::size_t>(index)] = text;
    changed();
}

void TStringList::insert(int index, const std::string& text) {
    checkIndex(index, true);
    m_rows.insert(m_rows.begin() + index, text);
    changed();
}

void TStringList::remove(int index) {
    checkIndex(index);
    m_rows.erase(m_rows.begin() + index);
    changed();
}

void TStringList::clear() {
    if (m_rows.empty()) return;
    m_rows.clear();
    changed();
}

void TStringList::setUpdateState(bool updating) {
    if (updating || !m_changedWhileUpdating) return;
    m_changedWhileUpdating = false;
    if (onChange) onChange();
}

void TStringList::changed() {
    if (updating()) {
        m_changedWhileUpdating = true;
    } else if (onChange) {
        onChange();
    }
}

}  // namespace framework
