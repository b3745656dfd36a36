// Per-device cache of decoded features.
//
// A feature record is a plain struct whose first member is `bool valid` and
// which names its cache key as a static constant:
//
//     struct TPropertyQos {
//         static constexpr int32_t Key = PropertyKey(ccQosGet);
//         bool valid = false;
//         ...
//     };
//
// Records copy by value (arrays as std::vector, tables as std::vector or
// std::list), so a copy owns its own arrays.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include "intp/Codes.h"

namespace Intp {

class TDevice;
class PropertyMap;
PropertyMap& GetPropertyMap(TDevice* device);

class PropertyBase {
public:
    virtual ~PropertyBase() = default;
    // Copies the value of another property of the same record type; a
    // property of another type is ignored.
    virtual void Assign(const PropertyBase& other) = 0;
};

template <class T>
class Property : public PropertyBase {
public:
    T value{};

    void Assign(const PropertyBase& other) override {
        if (&other == this) return;
        if (auto* p = dynamic_cast<const Property<T>*>(&other)) value = p->value;
    }

    // The device's record of feature T, created empty (not valid) on first
    // use. When the key holds a record of another type (the two trunk
    // generations), that record is replaced by an empty one of type T.
    static T& Get(TDevice* device);
};

class PropertyMap {
public:
    PropertyMap() = default;
    PropertyMap(const PropertyMap&) = delete;
    PropertyMap& operator=(const PropertyMap&) = delete;
    virtual ~PropertyMap() { Clear(); }

    PropertyBase* Find(int32_t key) const {
        auto it = m_Map.find(key);
        return it == m_Map.end() ? nullptr : it->second.get();
    }
    // Inserts unless the key is present; returns the property under the key.
    PropertyBase* Insert(int32_t key, std::unique_ptr<PropertyBase> property) {
        auto [it, inserted] = m_Map.try_emplace(key, std::move(property));
        return it->second.get();
    }
    // Stores property under key, replacing any other.
    PropertyBase* Replace(int32_t key, std::unique_ptr<PropertyBase> property) {
        auto& slot = m_Map[key];
        slot = std::move(property);
        return slot.get();
    }
    void Clear() { m_Map.clear(); }
    size_t Size() const { return m_Map.size(); }

private:
    std::map<int32_t, std::unique_ptr<PropertyBase>> m_Map;
};

template <class T>
T& Property<T>::Get(TDevice* device) {
    PropertyMap& map = GetPropertyMap(device);
    PropertyBase* base = map.Find(T::Key);
    if (auto* p = dynamic_cast<Property<T>*>(base)) return p->value;
    auto fresh = std::make_unique<Property<T>>();
    T& value = fresh->value;
    if (base) map.Replace(T::Key, std::move(fresh));
    else map.Insert(T::Key, std::move(fresh));
    return value;
}

} // namespace Intp
