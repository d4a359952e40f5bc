#pragma once
// The registry store as the engine sees it: keys and their string values (platform/registry.h
// has the rules of names, case and hives).

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

namespace engine {

using platform::RootKey;

class RegistryStore {
public:
    virtual ~RegistryStore() = default;

    virtual bool keyExists(RootKey root, std::string_view key, bool fullAccess) = 0;
    virtual std::optional<std::string> readString(RootKey root, std::string_view key,
                                                  std::string_view name) = 0;
    // Raises platform::ERegistryError when the value cannot be written.
    virtual void writeString(RootKey root, std::string_view key, std::string_view name,
                             std::string_view data) = 0;
    virtual bool deleteKeyTree(RootKey root, std::string_view key) = 0;
};

}  // namespace engine
