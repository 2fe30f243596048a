#pragma once
// The script engine behind TActiveScriptSite: one Lua 5.4 state.
//
// Design notes, the invariants every function here keeps:
//  - Lua reports errors by longjmp. No C++ object with a destructor is alive
//    in a frame that a Lua error can leave: the C functions do their C++
//    work in a body that returns before the error is raised.
//  - The memory limit is applied only while a script runs (inside a
//    protected call); everywhere else an allocation can fail only when the
//    process itself is out of memory.
//  - The instruction budget is renewed for every run; once it is spent the
//    count hook fires on every instruction, so a script that catches the
//    stop with pcall is stopped again at its next instruction outside it.
//  - In safe mode the state has no io, package or debug library, os holds
//    only its clock and date functions, and load reads text chunks only.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "script/script_object.h"

struct lua_State;

namespace lagrull::script_detail {

struct EngineOptions {
    bool safeMode = false;
    std::uint64_t instructionLimit = 0;
    std::size_t memoryLimit = 0;
};

using GlobalObjects = std::vector<std::pair<std::string, std::shared_ptr<TScriptObject>>>;

// A script error as the engine reports it. Line 0: not known.
struct EngineError {
    std::string description;
    int line = 0;
    int position = 0;
};

class LuaEngine {
public:
    // Throws lagrull::Error when the engine cannot be started.
    LuaEngine(const EngineOptions& options, const GlobalObjects& objects);
    ~LuaEngine();
    LuaEngine(const LuaEngine&) = delete;
    LuaEngine& operator=(const LuaEngine&) = delete;

    // Runs a chunk (or one expression) and returns its first result.
    std::variant<ScriptValue, EngineError> run(const std::string& source, bool expression);

    // Shared with the allocator and the count hook, outlives the state.
    struct Budget {
        std::size_t used = 0;
        std::size_t memoryLimit = 0;
        bool limited = false;  // the memory limit applies
        std::uint64_t executed = 0;
        std::uint64_t instructionLimit = 0;
    };

private:
    Budget budget_;
    lua_State* state_ = nullptr;
};

}  // namespace lagrull::script_detail
