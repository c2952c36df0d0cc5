#pragma once

#include "RuntimeError.h"

#include <memory>
#include <utility>

namespace dravena {

// Holds an object whose creation may have failed. Using an object that was never created fails
// with error 91, like any other failing statement, instead of crashing.
template <class T> class ObjectRef {
public:
    ObjectRef() = default;
    explicit ObjectRef(std::unique_ptr<T> object) : object_(std::move(object)) {}
    ObjectRef& operator=(std::unique_ptr<T> object) {
        object_ = std::move(object);
        return *this;
    }

    bool isSet() const { return object_ != nullptr; }
    T* operator->() const { return &get(); }
    T& operator*() const { return get(); }
    T& get() const {
        if (!object_)
            throwObjectNotSet();
        return *object_;
    }
    void reset() { object_.reset(); }

private:
    std::unique_ptr<T> object_;
};

} // namespace dravena
