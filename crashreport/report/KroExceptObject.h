#pragma once

#include <string>
#include <string_view>
#include <typeinfo>

// An exception object as the reporter receives it: the thrown object and its dynamic type, as the C++ runtime keeps
// them while the exception is in flight. Either may be null ("no object": a fault reported without one). The reporter
// reads both with care: a report may be made about an object that is already half destroyed.
struct TExceptObject {
    const void* Object = nullptr;
    const std::type_info* Type = nullptr;

    bool Empty() const noexcept { return Object == nullptr || Type == nullptr; }

    // The object of a value thrown or caught as T.
    template <typename T> static TExceptObject Of(const T& Value) noexcept { return {&Value, &typeid(Value)}; }
};

// Whether the object's class, or any class it derives from, is named exactly Name (the name as the source writes it:
// "KroException", "std::runtime_error"). False for no object or an unreadable type.
bool IsClassNamed(const TExceptObject& Except, std::string_view Name);

// The object's message: a KroException's Message, the what() of anything derived from std::exception, otherwise the
// class name. "Unknown" for no object, an empty message, or an object or type that cannot be read.
std::string ExceptMessageText(const TExceptObject& Except);

// The object's class name; "Unknown" for no type, or one that cannot be read.
std::string ExceptClassText(const TExceptObject& Except);
