#pragma once
// The persistence layer of the multi-language subsystem: a registry of streamable classes
// (separate from the framework's component classes), objects written as their class name
// followed by their payload, and TObjectList, an optionally owning list with 16-bit count
// and capacity that streams itself as a whole and is stored in a page definition as the
// binary property ObjectContainer.

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "base/errors.h"
#include "framework/property.h"
#include "stream.h"

namespace mltlang {

class EClassNotFound : public base::Exception {
public:
    using Exception::Exception;
};

class EListError : public base::Exception {
public:
    using Exception::Exception;
};

// The root of everything the registry streams.
class TObject {
public:
    virtual ~TObject() = default;
    virtual std::string_view ClassName() const = 0;
};

using LoadProc = void (*)(TObject& object, TStream& stream);
using StoreProc = void (*)(const TObject& object, TStream& stream);
using ObjectFactory = std::unique_ptr<TObject> (*)();

struct tRegisterRec {
    ObjectFactory ObjClass;  // makes an object in the state its load procedure starts from
    LoadProc Load;
    StoreProc Store;
};

// Longest class name the stream format holds; longer names are cut before writing and
// before lookup.
constexpr std::size_t kMaxClassName = 63;

// Adds, or replaces, the record of the class name (compared without regard to case).
void RegisterStreamClass(LoadProc load, StoreProc store, std::string_view className,
                         ObjectFactory factory);
template <class T>
void RegisterStreamClass(LoadProc load, StoreProc store) {
    RegisterStreamClass(load, store, T::StaticClassName(),
                        [] { return std::unique_ptr<TObject>(std::make_unique<T>()); });
}
// The record registered under the first 63 characters of name, or nullptr.
const tRegisterRec* FindRegisteredClass(std::string_view name);
// Number of registered names (one per name, whatever its case).
std::size_t RegisteredClassCount();

// Writes one length byte, the class name and the payload. Raises EClassNotFound for
// nullptr ("Nil Source Class!") and for an unregistered class.
void WriteObject(const TObject* object, TStream& stream);
// Reads a class name and a payload; the caller owns the result. A name that is not
// registered raises EClassNotFound, a name longer than 63 characters and objects nested
// deeper than any stored format nests them raise EReadError.
std::unique_ptr<TObject> ReadObject(TStream& stream);
// A new object equal to the given one, made by writing it and reading it back.
std::unique_ptr<TObject> CloneObject(const TObject* object);

// An optionally owning list of objects. Entries are raw references; the list frees an
// entry only through FreeItem, FreeAll and its destruction, and only when OwnsObjects is
// non-zero. Entries the list made itself (by reading, AddNew) while its owns byte is 0 are
// the exception: nobody else holds them, so the list releases them (through FreeItem,
// FreeAll or its destruction) while keeping the flag as read for writing back. Such an
// entry that Delete, Put, Clear or SetCount takes out of the list belongs to the caller
// from then on, as any entry of a list that does not own its entries.
//
// As the value of an object property P a list is stored in a page definition as the binary
// property P.ObjectContainer, which holds the list body.
class TObjectList : public TObject, public framework::Persistent {
    FRAMEWORK_CLASS(framework::Persistent)

    static constexpr int kCapacityLimit = 16384;  // capacities and counts stay below it

    TObjectList() = default;
    ~TObjectList() override;

    static std::string_view StaticClassName() { return "TObjectList"; }
    std::string_view ClassName() const override { return StaticClassName(); }

    std::uint8_t OwnsObjects = 1;
    int Count() const { return m_count; }
    int Capacity() const { return static_cast<int>(m_slots.size()); }

    // Raises EListError "tObjectList Index Eror!".
    [[noreturn]] virtual void Error() const;
    virtual void Grow();
    // Replaces the entry at index without freeing the old one; returns index.
    virtual int Put(int index, TObject* object);
    virtual void FreeItem(TObject* object);
    virtual int Add(TObject* object);
    // Appends an object this list made itself: it is released with the list even when the
    // list does not own what callers add.
    int AddNew(std::unique_ptr<TObject> object);
    // Count and Capacity become 0; no entry is freed.
    virtual void Clear();
    virtual int IndexOf(const TObject* object) const;
    virtual void Insert(int index, TObject* object);
    // Appends the entries of a list body; never clears the list first.
    virtual void ReadData(TStream& stream);
    virtual void WriteData(TStream& stream) const;
    virtual TObject* First() const;
    virtual TObject* Last() const;
    // The entry after (forward) or before the object, nullptr past either end; for
    // nullptr, First or Last. Raises EListError when the object is not in the list.
    virtual TObject* Neighbour(const TObject* object, bool forward) const;

    TObject* Get(int index) const;
    void Delete(int index);
    void FreeAll();
    void Pack();
    void SetCapacity(int capacity);
    void SetCount(int count);

    // The binary property ObjectContainer: present only when the list has entries.
    bool HasObjectContainer() const { return m_count > 0; }
    std::vector<std::uint8_t> ObjectContainer() const;
    // Reads the property's bytes, which must hold exactly one list body (EReadError).
    void SetObjectContainer(const std::vector<std::uint8_t>& bytes);

protected:
    // Typed lists refuse entries of other classes while reading (EListError).
    virtual void CheckEntry(const TObject& object) const;

private:
    void forgetIfGone(TObject* object);

    std::vector<TObject*> m_slots;  // Capacity slots, the first Count in use
    int m_count = 0;
    std::unordered_set<TObject*> m_created;  // made here while not owning; released by us
};

}  // namespace mltlang
