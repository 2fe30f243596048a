#include "script/active_script_site.h"

#include <algorithm>

#include "script/lua_engine.h"

namespace lagrull {

void TpsvScriptGlobalObjects::add(const std::string& name, std::shared_ptr<TScriptObject> object) {
    if (name.empty()) throw Error("Et skriptobjekt må ha et navn");
    auto it = std::find_if(items_.begin(), items_.end(),
                           [&](const Item& item) { return item.first == name; });
    if (it != items_.end())
        it->second = std::move(object);
    else
        items_.emplace_back(name, std::move(object));
}

std::shared_ptr<TScriptObject> TpsvScriptGlobalObjects::find(const std::string& name) const {
    for (const Item& item : items_)
        if (item.first == name) return item.second;
    return nullptr;
}

TActiveScriptSite::TActiveScriptSite() = default;
TActiveScriptSite::~TActiveScriptSite() = default;

void TActiveScriptSite::setSafeMode(bool on) {
    if (on == safeMode_) return;
    safeMode_ = on;
    reset();
}

void TActiveScriptSite::addGlobalObject(const std::string& name,
                                        std::shared_ptr<TScriptObject> object) {
    globals_.add(name, std::move(object));
}

void TActiveScriptSite::reset() { engine_.reset(); }

void TActiveScriptSite::raise(std::string description, int line, int position) {
    lastError_.text =
        description + " i linje " + std::to_string(line) + " pos. " + std::to_string(position);
    lastError_.description = std::move(description);
    lastError_.line = line;
    lastError_.position = position;
    throw EActiveScript(lastError_);
}

ScriptValue TActiveScriptSite::run(const std::string& source, bool expression) {
    if (!engine_) {
        script_detail::EngineOptions options;
        options.safeMode = safeMode_;
        options.instructionLimit = instructionLimit_;
        options.memoryLimit = memoryLimit_;
        engine_ = std::make_unique<script_detail::LuaEngine>(options, globals_.items());
    }
    auto outcome = engine_->run(source, expression);
    if (auto* error = std::get_if<script_detail::EngineError>(&outcome))
        raise(std::move(error->description), error->line, error->position);
    return std::get<ScriptValue>(std::move(outcome));
}

std::string TActiveScriptSite::evaluate(const std::string& expression) {
    const ScriptValue value = run(expression, true);
    std::optional<std::string> text = scriptValueText(value);
    if (!text) raise("Resultatet er et objekt uten tekst", 0, 0);
    return *std::move(text);
}

ScriptValue TActiveScriptSite::execute(const std::string& language, const std::string& script) {
    setLanguage(language);
    return run(script, false);
}

}  // namespace lagrull
