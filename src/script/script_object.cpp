#include "script/script_object.h"

#include <charconv>
#include <cmath>

#include "common/error.h"

namespace lagrull {

namespace {

std::string numberText(double x) {
    if (std::isnan(x)) return "nan";
    if (std::isinf(x)) return x < 0 ? "-inf" : "inf";
    // Whole numbers print without a decimal part, as far as int64 reaches.
    if (x == std::trunc(x) && std::fabs(x) < 9.2e18)
        return std::to_string(static_cast<std::int64_t>(x));
    char buffer[32];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 14);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::optional<std::string> scriptValueText(const ScriptValue& value) {
    struct Visitor {
        std::optional<std::string> operator()(std::monostate) const { return std::string(); }
        std::optional<std::string> operator()(bool b) const {
            return std::string(b ? "true" : "false");
        }
        std::optional<std::string> operator()(std::int64_t n) const { return std::to_string(n); }
        std::optional<std::string> operator()(double x) const { return numberText(x); }
        std::optional<std::string> operator()(const std::string& s) const { return s; }
        std::optional<std::string> operator()(const std::shared_ptr<TScriptObject>&) const {
            return std::nullopt;
        }
    };
    return std::visit(Visitor{}, value);
}

ScriptValue TScriptObject::property(const std::string& name) {
    throw Error("Objektet har ingen egenskap «" + name + "»");
}

void TScriptObject::setProperty(const std::string& name, const ScriptValue&) {
    throw Error("Egenskapen «" + name + "» kan ikke endres");
}

ScriptValue TScriptObject::call(const std::string& name, const std::vector<ScriptValue>&) {
    throw Error("Objektet har ingen metode «" + name + "»");
}

}  // namespace lagrull
