#pragma once
// String lists edited in place: memo lines, list-box, combo-box and check-list rows all
// offer this interface, so that putting a row's text keeps what else the row carries
// (its check mark, its selection). A page stores a list as `Items = ('a' 'b')`, which
// assigns all rows at once.

#include <functional>
#include <string>

#include "property.h"

namespace framework {

class TStrings : public Persistent {
    FRAMEWORK_CLASS(Persistent)

    virtual int count() const = 0;
    // Index errors raise EPropertyError "List index out of bounds (n)".
    virtual std::string get(int index) const = 0;
    // Replaces the text of one row only.
    virtual void put(int index, const std::string& text) = 0;
    // A new row before index (count() appends).
    virtual void insert(int index, const std::string& text) = 0;
    virtual void remove(int index) = 0;
    virtual void clear();
    // Appends a row and returns its index.
    int add(const std::string& text);
    int indexOf(const std::string& text) const;

    // Between the first beginUpdate and the last endUpdate a list may hold back repaints
    // and change notifications.
    void beginUpdate();
    void endUpdate();
    bool updating() const { return m_updates > 0; }

    StringList toList() const;
    // Replaces every row, inside one update.
    virtual void assign(const StringList& rows);

    void assignValue(const PropertyValue& value) override;
    PropertyValue storedValue() const override;

protected:
    // Called when updating starts (true) and when it ends (false).
    virtual void setUpdateState(bool /*updating*/) {}
    // Raises the index error unless 0 <= index < count() (or <= count() for an insert).
    void checkIndex(int index, bool forInsert = false) const;

private:
    int m_updates = 0;
};

// A plain list of strings, for components that keep lists of their own. onChange runs
// after every change, or once at the end of an update.
class TStringList : public TStrings {
    FRAMEWORK_CLASS(TStrings)

    TStringList() = default;
    int count() const override { return static_cast<int>(m_rows.size()); }
    std::string get(int index) const override;
    void put(int index, const std::string& text) override;
    void insert(int index, const std::string& text) override;
    void remove(int index) override;
    void clear() override;

    std::function<void()> onChange;

protected:
    void setUpdateState(bool updating) override;

private:
    void changed();
    StringList m_rows;
    bool m_changedWhileUpdating = false;
};

}  // namespace framework
