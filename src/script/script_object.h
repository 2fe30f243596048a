#pragma once
// What scripts and the program hand each other: plain values and objects
// the program makes visible to scripts by name (the automation objects of
// the script host).

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace lagrull {

class TScriptObject;

// Empty (no value), a truth value, a whole number, a real number, a text or
// an object.
using ScriptValue = std::variant<std::monostate, bool, std::int64_t, double, std::string,
                                 std::shared_ptr<TScriptObject>>;

// The text of a value: "" for empty, "true"/"false", whole numbers without
// a decimal part, other numbers with up to 14 significant digits and "." as
// the decimal point. An object has no text: nullopt.
std::optional<std::string> scriptValueText(const ScriptValue& value);

// An object a script reaches by name. A script reads a property as
// obj.Name, sets it as obj.Name = v and calls a method as obj.Name(args) or
// obj:Name(args). Failures are thrown as lagrull::Error and reach the script
// as its run-time error.
class TScriptObject {
public:
    enum class Member { None, Property, Method };

    virtual ~TScriptObject() = default;

    virtual Member member(const std::string& name) const = 0;
    virtual ScriptValue property(const std::string& name);
    virtual void setProperty(const std::string& name, const ScriptValue& value);
    virtual ScriptValue call(const std::string& name, const std::vector<ScriptValue>& args);
};

}  // namespace lagrull
