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
#include <typeindex>
#include <utility>

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
    // generations share their codes), that record stays under the key and
    // T's own record is kept beside it.
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
    // The property of the given type kept beside the one stored under key,
    // inserted when absent.
    template <class Make>
    PropertyBase* Beside(int32_t key, std::type_index type, Make make) {
        auto& slot = m_Beside[{key, type}];
        if (!slot) slot = make();
        return slot.get();
    }
    void Clear() {
        m_Map.clear();
        m_Beside.clear();
    }
    size_t Size() const { return m_Map.size(); }

private:
    std::map<int32_t, std::unique_ptr<PropertyBase>> m_Map;
    std::map<std::pair<int32_t, std::type_index>, std::unique_ptr<PropertyBase>> m_Beside;
};

template <class T>
T& Property<T>::Get(TDevice* device) {
    PropertyMap& map = GetPropertyMap(device);
    PropertyBase* base = map.Find(T::Key);
    if (!base) base = map.Insert(T::Key, std::make_unique<Property<T>>());
    else if (!dynamic_cast<Property<T>*>(base))
        base = map.Beside(T::Key, typeid(Property<T>), [] { return std::make_unique<Property<T>>(); });
    return static_cast<Property<T>*>(base)->value;
}

} // namespace Intp
