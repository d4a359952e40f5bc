#include "tcontain.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace mltlang {

namespace {

struct Registration {
    std::string key;  // the name in lower case, cut to 63 characters
    tRegisterRec record;
};

std::vector<Registration>& registry() {
    static std::vector<Registration> entries;  // sorted by key
    return entries;
}

std::string registryKey(std::string_view name) {
    std::string key(name.substr(0, kMaxClassName));
    for (char& c : key) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return key;
}

std::vector<Registration>::iterator lowerBound(const std::string& key) {
    auto& entries = registry();
    return std::lower_bound(entries.begin(), entries.end(), key,
                            [](const Registration& r, const std::string& k) { return r.key < k; });
}

// Stored formats nest objects two deep (a dictionary and its entries); a stream that nests
// them deeper is refused before it can exhaust the stack.
constexpr int kMaxNesting = 8;
thread_local int readNesting = 0;

class NestingGuard {
public:
    NestingGuard() {
        if (readNesting >= kMaxNesting) throw EReadError("Objects nested too deeply");
        ++readNesting;
    }
    ~NestingGuard() { --readNesting; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;
};

std::string readClassName(TStream& stream) {
    const std::uint8_t length = stream.ReadByte();
    if (length > kMaxClassName) {
        throw EReadError("Class name of " + std::to_string(length) + " characters in stream");
    }
    std::string name(length, '\0');
    stream.ReadBuffer(name.data(), length);
    return name;
}

}  // namespace

void RegisterStreamClass(LoadProc load, StoreProc store, std::string_view className,
                         ObjectFactory factory) {
    const std::string key = registryKey(className);
    const tRegisterRec record{factory, load, store};
    auto it = lowerBound(key);
    if (it != registry().end() && it->key == key) {
        it->record = record;
    } else {
        registry().insert(it, Registration{key, record});
    }
}

const tRegisterRec* FindRegisteredClass(std::string_view name) {
    const std::string key = registryKey(name);
    auto it = lowerBound(key);
    return it != registry().end() && it->key == key ? &it->record : nullptr;
}

std::size_t RegisteredClassCount() { return registry().size(); }

void WriteObject(const TObject* object, TStream& stream) {
    if (object == nullptr) throw EClassNotFound("Nil Source Class!");
    const std::string_view name = object->ClassName().substr(0, kMaxClassName);
    const tRegisterRec* record = FindRegisteredClass(name);
    if (record == nullptr) {
        throw EClassNotFound("Source Class <" + std::string(name) + "> not registered");
    }
    std::string encoded(1, static_cast<char>(name.size()));
    encoded += name;
    stream.WriteBuffer(encoded.data(), encoded.size());
    record->Store(*object, stream);
}

std::unique_ptr<TObject> ReadObject(TStream& stream) {
    NestingGuard guard;
    const std::string name = readClassName(stream);
    const tRegisterRec* record = FindRegisteredClass(name);
    if (record == nullptr) throw EClassNotFound("Class <" + name + "> not registered");
    std::unique_ptr<TObject> object = record->ObjClass();
    record->Load(*object, stream);
    return object;
}

std::unique_ptr<TObject> CloneObject(const TObject* object) {
    if (object == nullptr) throw EClassNotFound("Nil Source Class!");
    TMemoryStream stream;
    WriteObject(object, stream);
    stream.Seek(0);
    return ReadObject(stream);
}

const framework::ClassInfo& TObjectList::staticClassInfo() {
    return framework::declareClass<TObjectList>("TObjectList", [] {
        return std::vector<framework::PropertyInfo>{framework::valueProperty(
            "ObjectContainer", &TObjectList::ObjectContainer, &TObjectList::SetObjectContainer)};
    });
}

TObjectList::~TObjectList() { FreeAll(); }

void TObjectList::Error() const { throw EListError("tObjectList Index Eror!"); }

void TObjectList::Grow() {
    const int capacity = Capacity();
    const int step = capacity > 8 ? 16 : capacity > 4 ? 8 : 4;
    SetCapacity(capacity + step);
}

int TObjectList::Put(int index, TObject* object) {
    if (index < 0 || index >= m_count) Error();
    TObject* replaced = std::exchange(m_slots[static_cast<std::size_t>(index)], object);
    forgetIfGone(replaced);
    return index;
}

// An entry made here that is no longer in the list is the caller's now.
void TObjectList::forgetIfGone(TObject* object) {
    if (object != nullptr && !m_created.empty() && IndexOf(object) < 0) m_created.erase(object);
}

void TObjectList::FreeItem(TObject* object) {
    const bool readByUs = m_created.erase(object) > 0;
    if (OwnsObjects != 0 || readByUs) delete object;
}

int TObjectList::Add(TObject* object) {
    if (m_count == Capacity()) Grow();
    m_slots[static_cast<std::size_t>(m_count)] = object;
    return m_count++;
}

int TObjectList::AddNew(std::unique_ptr<TObject> object) {
    const int position = Add(object.get());
    TObject* added = object.release();
    if (OwnsObjects == 0) m_created.insert(added);
    return position;
}

void TObjectList::Clear() {
    m_count = 0;
    std::vector<TObject*>().swap(m_slots);
    m_created.clear();
}

int TObjectList::IndexOf(const TObject* object) const {
    for (int i = 0; i < m_count; ++i) {
        if (m_slots[static_cast<std::size_t>(i)] == object) return i;
    }
    return -1;
}

void TObjectList::Insert(int index, TObject* object) {
    if (index < 0 || index > m_count) Error();
    if (m_count == Capacity()) Grow();
    auto at = m_slots.begin() + index;
    std::move_backward(at, m_slots.begin() + m_count, m_slots.begin() + m_count + 1);
    *at = object;
    ++m_count;
}

void TObjectList::ReadData(TStream& stream) {
    OwnsObjects = stream.ReadByte();
    const int n = stream.ReadInt16();
    if (n < 0) Error();
    if (Capacity() - m_count < n) SetCapacity(m_count + n);
    for (int i = 0; i < n; ++i) {
        std::unique_ptr<TObject> object = ReadObject(stream);
        CheckEntry(*object);
        AddNew(std::move(object));
    }
}

void TObjectList::WriteData(TStream& stream) const {
    stream.WriteByte(OwnsObjects);
    stream.WriteInt16(static_cast<std::int16_t>(m_count));
    for (int i = 0; i < m_count; ++i) WriteObject(m_slots[static_cast<std::size_t>(i)], stream);
}

TObject* TObjectList::First() const {
    if (m_count == 0) Error();
    return m_slots.front();
}

TObject* TObjectList::Last() const {
    if (m_count == 0) Error();
    return m_slots[static_cast<std::size_t>(m_count - 1)];
}

TObject* TObjectList::Neighbour(const TObject* object, bool forward) const {
    if (object == nullptr) return forward ? First() : Last();
    const int i = IndexOf(object);
    if (i < 0) {
        throw EListError("tObject " + std::string(object->ClassName()) + " not in item list");
    }
    const int j = forward ? i + 1 : i - 1;
    return j >= 0 && j < m_count ? m_slots[static_cast<std::size_t>(j)] : nullptr;
}

TObject* TObjectList::Get(int index) const {
    if (index < 0 || index >= m_count) Error();
    return m_slots[static_cast<std::size_t>(index)];
}

void TObjectList::Delete(int index) {
    if (index < 0 || index >= m_count) Error();
    TObject* taken = m_slots[static_cast<std::size_t>(index)];
    std::move(m_slots.begin() + index + 1, m_slots.begin() + m_count, m_slots.begin() + index);
    m_slots[static_cast<std::size_t>(--m_count)] = nullptr;
    forgetIfGone(taken);
}

void TObjectList::FreeAll() {
    for (int i = 0; i < m_count; ++i) FreeItem(m_slots[static_cast<std::size_t>(i)]);
    Clear();
}

void TObjectList::Pack() {
    for (int i = m_count - 1; i >= 0; --i) {
        if (m_slots[static_cast<std::size_t>(i)] == nullptr) Delete(i);
    }
}

void TObjectList::SetCapacity(int capacity) {
    if (capacity == Capacity()) return;
    if (capacity < m_count || capacity >= kCapacityLimit) Error();
    std::vector<TObject*> slots(static_cast<std::size_t>(capacity), nullptr);
    std::copy(m_slots.begin(), m_slots.begin() + m_count, slots.begin());
    m_slots.swap(slots);
}

void TObjectList::SetCount(int count) {
    if (count < 0 || count >= kCapacityLimit) Error();
    if (count > Capacity()) SetCapacity(count);
    const std::vector<TObject*> cut(m_slots.begin() + std::min(count, m_count),
                                    m_slots.begin() + m_count);
    for (int i = m_count; i < count; ++i) m_slots[static_cast<std::size_t>(i)] = nullptr;
    m_count = count;
    for (TObject* object : cut) forgetIfGone(object);
}

std::vector<std::uint8_t> TObjectList::ObjectContainer() const {
    TMemoryStream stream;
    WriteData(stream);
    return stream.Bytes();
}

void TObjectList::SetObjectContainer(const std::vector<std::uint8_t>& bytes) {
    TMemoryStream stream(bytes);
    ReadData(stream);
    if (stream.Remaining() != 0) throw EReadError("Bytes after the end of the object container");
}

void TObjectList::CheckEntry(const TObject&) const {}

}  // namespace mltlang
