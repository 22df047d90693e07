// Objects of other components reached through IDispatch late binding, by
// member name, with tagged values for arguments and results (Windows only).
//
// Apartments: every AutomationObject joins the calling thread to a
// single-threaded apartment (CoInitializeEx) for as long as it lives and
// leaves it when it is released, so the library needs no set-up from its
// caller. Inside a host the thread is already initialised and the calls
// only count; a thread already in the multithreaded apartment is used as it
// is. An object belongs to the thread that made it: it is called and
// released on that thread only.
//
// Failures are qx::Error: a creation that fails is 429; a failure of the
// object is its own number (0x800A0000 + n read back as the run-time number
// n) and its own description; an unknown member is 438.
#pragma once

#include <initializer_list>
#include <memory>
#include <string_view>

#include "platform/value.h"

struct IDispatch;

namespace qx {

class AutomationObject : public Object {
public:
    // A new object of the class registered under the ProgID; 429 when there
    // is none or it cannot be made.
    static std::shared_ptr<AutomationObject> create(std::string_view progId);
    // Takes a reference of its own on an interface handed over; none for null.
    static std::shared_ptr<AutomationObject> attach(IDispatch* dispatch);
    // The object a value refers to: none for Empty and Nothing, 13 for an
    // object that was not reached through automation or for any other value.
    static std::shared_ptr<AutomationObject> of(const Value& value);

    ~AutomationObject() override;
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    // Reads a property, with index arguments if any.
    Value get(std::string_view member, std::initializer_list<Value> arguments = {});
    // Writes a property; an object value is assigned by reference.
    void put(std::string_view member, const Value& value);
    // Calls a method and gives its result (Empty for a procedure).
    Value call(std::string_view member, std::initializer_list<Value> arguments = {});

    // The interface itself, without a new reference: valid while this lives.
    IDispatch* dispatch() const noexcept { return dispatch_; }

private:
    // Joins the calling thread's apartment; the interface is set afterwards.
    AutomationObject();
    Value invoke(std::string_view member, unsigned short flags,
                 std::initializer_list<Value> arguments, const Value* assigned);

    bool joined_;  // a successful CoInitializeEx, balanced on release
    IDispatch* dispatch_ = nullptr;
};

}  // namespace qx
