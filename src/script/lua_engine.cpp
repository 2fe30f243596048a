#include "script/lua_engine.h"

#include <lua.hpp>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/error.h"
#include "script/lua_values.h"
#include "script/pattern_work.h"

namespace lagrull::script_detail {

namespace {

// Name of every chunk the site runs; errors read "skript:LINE: text".
constexpr const char* kChunkName = "=skript";
constexpr const char* kChunkPrefix = "skript:";
// The count hook runs every so many instructions until the budget is spent.
constexpr int kHookStep = 1000;

// Safe mode: no files, processes, modules or debug access. os keeps only
// the clock and the calendar; load accepts text chunks only (binary chunks
// can break the engine). A finalizer (__gc) would run script code outside
// the run and its budgets, whenever the collector or the close calls it, so
// setmetatable refuses one.
constexpr const char* kSafeSetup = R"lua(
local rawload, select, os = load, select, os
dofile, loadfile, print = nil, nil, nil
load = function(chunk, name, mode, ...)
  if select('#', ...) > 0 then return rawload(chunk, name, 't', (...)) end
  return rawload(chunk, name, 't')
end
_G.os = { clock = os.clock, date = os.date, time = os.time, difftime = os.difftime }
local rawsetmetatable, rawget, type, error = setmetatable, rawget, type, error
setmetatable = function(t, mt)
  if type(mt) == 'table' and rawget(mt, '__gc') ~= nil then
    error('__gc er ikke tillatt i sikre skript', 2)
  end
  return rawsetmetatable(t, mt)
end
)lua";

LuaEngine::Budget& budgetOf(lua_State* L) {
    void* ud = nullptr;
    lua_getallocf(L, &ud);
    return *static_cast<LuaEngine::Budget*>(ud);
}

void* allocate(void* ud, void* ptr, std::size_t osize, std::size_t nsize) {
    auto& budget = *static_cast<LuaEngine::Budget*>(ud);
    const std::size_t old = ptr ? osize : 0;  // without ptr, osize is a type code
    if (nsize == 0) {
        std::free(ptr);
        budget.used -= old;
        return nullptr;
    }
    if (budget.limited && nsize > old && budget.used - old + nsize > budget.memoryLimit)
        return nullptr;
    void* block = std::realloc(ptr, nsize);
    if (block) budget.used = budget.used - old + nsize;
    return block;
}

void countHook(lua_State* L, lua_Debug*) {
    LuaEngine::Budget& budget = budgetOf(L);
    budget.executed += kHookStep;
    if (budget.executed <= budget.instructionLimit) return;
    lua_sethook(L, countHook, LUA_MASKCOUNT, 1);
    char text[160];
    std::snprintf(text, sizeof text,
                  "Skriptet ble stoppet etter %llu instruksjoner (endeløs løkke?)",
                  static_cast<unsigned long long>(budget.instructionLimit));
    lua_pushstring(L, text);
    lua_error(L);
}

// Gives an error without a position in the script the line of the script
// that was running.
int messageHandler(lua_State* L) {
    const char* message = lua_tostring(L, 1);
    if (!message) {
        if (luaL_callmeta(L, 1, "__tostring") && lua_type(L, -1) == LUA_TSTRING)
            message = lua_tostring(L, -1);
        else
            message = "Skriptfeil uten tekst";
    }
    if (std::strncmp(message, kChunkPrefix, std::strlen(kChunkPrefix)) == 0) {
        lua_pushstring(L, message);
        return 1;
    }
    int line = 0;
    lua_Debug ar;
    for (int level = 1; lua_getstack(L, level, &ar); ++level) {
        lua_getinfo(L, "Sl", &ar);
        if (ar.currentline > 0 && std::strcmp(ar.source, kChunkName) == 0) {
            line = ar.currentline;
            break;
        }
    }
    lua_pushfstring(L, "%s%d: %s", kChunkPrefix, line, message);
    return 1;
}

// string.find, match, gmatch and gsub in safe mode: the original (upvalue 1)
// once the work of the pattern on the subject is known to be bounded. Upvalue
// 2 is true for find, whose fourth argument asks for a plain search.
int guardedPatternFunction(lua_State* L) {
    const bool plainFind = lua_toboolean(L, lua_upvalueindex(2)) && lua_toboolean(L, 4);
    if (lua_type(L, 2) == LUA_TSTRING && !plainFind) {
        std::size_t patternLength = 0;
        const char* pattern = lua_tolstring(L, 2, &patternLength);
        // A number subject is turned into a short text by the original.
        const std::size_t subjectLength =
            lua_type(L, 1) == LUA_TSTRING ? lua_rawlen(L, 1) : std::size_t{64};
        if (patternWorkBound({pattern, patternLength}, subjectLength) > kPatternWorkLimit)
            return luaL_error(L, "mønsteret er for krevende for en tekst på %d tegn",
                              static_cast<int>(subjectLength));
    }
    lua_pushvalue(L, lua_upvalueindex(1));
    lua_insert(L, 1);
    lua_call(L, lua_gettop(L) - 1, LUA_MULTRET);
    return lua_gettop(L);
}

void guardPatternFunctions(lua_State* L) {
    lua_getglobal(L, LUA_STRLIBNAME);
    for (const char* name : {"find", "match", "gmatch", "gsub"}) {
        lua_getfield(L, -1, name);
        lua_pushboolean(L, std::strcmp(name, "find") == 0);
        lua_pushcclosure(L, guardedPatternFunction, 2);
        lua_setfield(L, -2, name);
    }
    lua_pop(L, 1);
}

struct StartArgs {
    const EngineOptions* options;
    const GlobalObjects* objects;
};

int startState(lua_State* L) {
    const auto& args = *static_cast<const StartArgs*>(lua_touserdata(L, 1));
    if (args.options->safeMode) {
        static const luaL_Reg libraries[] = {
            {LUA_GNAME, luaopen_base},       {LUA_STRLIBNAME, luaopen_string},
            {LUA_TABLIBNAME, luaopen_table}, {LUA_MATHLIBNAME, luaopen_math},
            {LUA_UTF8LIBNAME, luaopen_utf8}, {LUA_COLIBNAME, luaopen_coroutine},
            {LUA_OSLIBNAME, luaopen_os},
        };
        for (const luaL_Reg& library : libraries) {
            luaL_requiref(L, library.name, library.func, 1);
            lua_pop(L, 1);
        }
        if (luaL_dostring(L, kSafeSetup) != LUA_OK) return lua_error(L);
        guardPatternFunctions(L);
    } else {
        luaL_openlibs(L);
    }
    registerObjectType(L);
    for (const auto& [name, object] : *args.objects) {
        pushValue(L, object);
        lua_setglobal(L, name.c_str());
    }
    return 0;
}

EngineError engineError(lua_State* L, int status) {
    if (status == LUA_ERRMEM) return {"Skriptet brukte mer minne enn tillatt", 0, 0};
    const char* text = lua_tostring(L, -1);
    std::string message = text ? text : "Ukjent skriptfeil";
    EngineError error{message, 0, 0};
    // "skript:LINE: description"
    const std::size_t prefix = std::strlen(kChunkPrefix);
    if (message.compare(0, prefix, kChunkPrefix) == 0) {
        std::size_t i = prefix;
        int line = 0;
        while (i < message.size() && message[i] >= '0' && message[i] <= '9' && line < 100000000)
            line = line * 10 + (message[i++] - '0');
        if (i > prefix && message.compare(i, 2, ": ") == 0) {
            error.line = line;
            error.description = message.substr(i + 2);
        }
    }
    return error;
}

// The memory limit applies while a script runs.
class MemoryLimit {
public:
    explicit MemoryLimit(LuaEngine::Budget& budget) : budget_(budget) { budget_.limited = true; }
    ~MemoryLimit() { budget_.limited = false; }
    MemoryLimit(const MemoryLimit&) = delete;
    MemoryLimit& operator=(const MemoryLimit&) = delete;

private:
    LuaEngine::Budget& budget_;
};

}  // namespace

LuaEngine::LuaEngine(const EngineOptions& options, const GlobalObjects& objects) {
    budget_.memoryLimit = options.memoryLimit;
    budget_.instructionLimit = options.instructionLimit;
    state_ = lua_newstate(allocate, &budget_);
    if (!state_) throw Error("Skriptmotoren kunne ikke startes: for lite minne");
    StartArgs args{&options, &objects};
    lua_pushcfunction(state_, startState);
    lua_pushlightuserdata(state_, &args);
    if (lua_pcall(state_, 1, 0, 0) != LUA_OK) {
        const char* text = lua_tostring(state_, -1);
        const std::string message = text ? text : "ukjent feil";
        lua_close(state_);
        state_ = nullptr;
        throw Error("Skriptmotoren kunne ikke startes: " + message);
    }
}

LuaEngine::~LuaEngine() {
    // Finalizers of the script still run at close, with a fresh budget and
    // within the memory limit (each runs protected, so a refused allocation
    // ends only that finalizer).
    budget_.executed = 0;
    lua_sethook(state_, countHook, LUA_MASKCOUNT, kHookStep);
    MemoryLimit limit(budget_);
    lua_close(state_);
}

std::variant<ScriptValue, EngineError> LuaEngine::run(const std::string& source, bool expression) {
    lua_State* L = state_;
    lua_settop(L, 0);
    budget_.executed = 0;
    lua_sethook(L, countHook, LUA_MASKCOUNT, kHookStep);
    lua_pushcfunction(L, messageHandler);
    const std::string chunk = expression ? "return " + source : source;
    int status = LUA_OK;
    {
        MemoryLimit limit(budget_);
        status = luaL_loadbufferx(L, chunk.data(), chunk.size(), kChunkName, "t");
        if (status == LUA_OK) status = lua_pcall(L, 0, 1, 1);
    }
    std::variant<ScriptValue, EngineError> result;
    if (status != LUA_OK) {
        result = engineError(L, status);
    } else {
        ScriptValue value;
        if (readValue(L, -1, value))
            result = std::move(value);
        else
            result = EngineError{std::string("Resultatet kan ikke brukes utenfor skriptet (") +
                                     luaL_typename(L, -1) + ")",
                                 0, 0};
    }
    lua_settop(L, 0);
    return result;
}

}  // namespace lagrull::script_detail
