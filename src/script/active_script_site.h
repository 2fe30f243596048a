#pragma once
// The script host of the field computer: evaluates script expressions
// ("2*3" gives "6") and runs scripts on the platform's script engine, Lua.
// Every language name is served by that one engine.
//
// The engine is started on first use and released by reset(); the global
// objects are kept and made visible again at each start. Safe mode (for
// templates, whose scripts come from anywhere) leaves scripts no file,
// process, OS or module access. A script that runs away is stopped after a
// bounded number of instructions, and one that eats memory at a bound too.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/error.h"
#include "script/script_object.h"

namespace lagrull {

namespace script_detail {
class LuaEngine;
}

// The last script error: text is "<description> i linje <line> pos. <position>".
struct TScriptError {
    std::string text;
    std::string description;
    int line = 0;
    int position = 0;  // 0: the engine does not know it
};

class EActiveScript : public Error {
public:
    explicit EActiveScript(const TScriptError& error)
        : Error("Scriptfeil: " + error.text), line_(error.line), position_(error.position) {}
    int line() const { return line_; }
    int position() const { return position_; }

private:
    int line_;
    int position_;
};

// The objects made visible to scripts, by name. Adding a name again
// replaces its object.
class TpsvScriptGlobalObjects {
public:
    using Item = std::pair<std::string, std::shared_ptr<TScriptObject>>;

    void add(const std::string& name, std::shared_ptr<TScriptObject> object);
    std::shared_ptr<TScriptObject> find(const std::string& name) const;
    const std::vector<Item>& items() const { return items_; }

private:
    std::vector<Item> items_;
};

class TActiveScriptSite {
public:
    static constexpr std::uint64_t kDefaultInstructionLimit = 10'000'000;
    static constexpr std::size_t kDefaultMemoryLimit = std::size_t(64) << 20;

    TActiveScriptSite();
    ~TActiveScriptSite();
    TActiveScriptSite(const TActiveScriptSite&) = delete;
    TActiveScriptSite& operator=(const TActiveScriptSite&) = delete;

    const std::string& language() const { return language_; }
    void setLanguage(const std::string& language) { language_ = language; }

    // Changing safe mode restarts the engine at next use, so a running
    // engine never has more rights than the flag says.
    bool safeMode() const { return safeMode_; }
    void setSafeMode(bool on);

    // Bounds of one evaluation or execution; they apply from the next start.
    void setInstructionLimit(std::uint64_t instructions) { instructionLimit_ = instructions; }
    void setMemoryLimit(std::size_t bytes) { memoryLimit_ = bytes; }

    // Registers an object for the next start of the engine.
    void addGlobalObject(const std::string& name, std::shared_ptr<TScriptObject> object);
    const TpsvScriptGlobalObjects& globalObjects() const { return globals_; }

    // Evaluates one expression and returns its value as text. Raises
    // EActiveScript for a script error (also for a value that has no text).
    std::string evaluate(const std::string& expression);
    // Sets the language and runs the script; returns its first returned value.
    ScriptValue execute(const std::string& language, const std::string& script);

    // Closes and releases the engine; the next call starts a new one.
    void reset();
    bool started() const { return engine_ != nullptr; }

    const TScriptError& lastError() const { return lastError_; }

private:
    ScriptValue run(const std::string& source, bool expression);
    [[noreturn]] void raise(std::string description, int line, int position);

    std::string language_ = "Lua";
    bool safeMode_ = false;
    std::uint64_t instructionLimit_ = kDefaultInstructionLimit;
    std::size_t memoryLimit_ = kDefaultMemoryLimit;
    TpsvScriptGlobalObjects globals_;
    std::unique_ptr<script_detail::LuaEngine> engine_;
    TScriptError lastError_;
};

}  // namespace lagrull
