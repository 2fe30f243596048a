// The object type's metamethods run C++ code (the objects' own operations)
// from inside Lua. Each one does that work in guarded(): C++ exceptions are
// caught there and become the script's run-time error, raised only after
// every C++ object of the call is gone.
#include "script/lua_values.h"

#include <lua.hpp>

#include <new>
#include <string>
#include <vector>

#include "common/error.h"
#include "script/lua_engine.h"

namespace lagrull::script_detail {

namespace {

constexpr const char* kObjectType = "lagrull.object";

using ObjectPtr = std::shared_ptr<TScriptObject>;

LuaEngine::Budget& budgetOf(lua_State* L) {
    void* ud = nullptr;
    lua_getallocf(L, &ud);
    return *static_cast<LuaEngine::Budget*>(ud);
}

// Runs body(L) -> number of results with the memory limit lifted (the
// program's own allocations are not the script's), turning a thrown
// exception into a Lua error.
template <class Body>
int guarded(lua_State* L, Body body) {
    LuaEngine::Budget& budget = budgetOf(L);
    const bool wasLimited = budget.limited;
    budget.limited = false;
    int results = -1;
    try {
        results = body(L);
    } catch (const std::exception& e) {
        lua_pushstring(L, e.what());
    } catch (...) {
        lua_pushstring(L, "Ukjent feil i objektet");
    }
    budget.limited = wasLimited;
    if (results < 0) return lua_error(L);
    return results;
}

ObjectPtr* objectSlot(lua_State* L, int index) {
    return static_cast<ObjectPtr*>(luaL_testudata(L, index, kObjectType));
}

TScriptObject& objectAt(lua_State* L, int index) {
    ObjectPtr* slot = objectSlot(L, index);
    if (!slot || !*slot) throw Error("Objektet finnes ikke lenger");
    return **slot;
}

std::string keyAt(lua_State* L, int index) {
    if (lua_type(L, index) != LUA_TSTRING) throw Error("Objektets medlemmer har navn av tekst");
    std::size_t length = 0;
    const char* text = lua_tolstring(L, index, &length);
    return std::string(text, length);
}

int callMethod(lua_State* state) {
    return guarded(state, [](lua_State* L) {
        TScriptObject& object = objectAt(L, lua_upvalueindex(1));
        const std::string name = keyAt(L, lua_upvalueindex(2));
        // obj:Name(...) passes the object itself first.
        const int first = lua_rawequal(L, 1, lua_upvalueindex(1)) ? 2 : 1;
        std::vector<ScriptValue> args;
        for (int i = first; i <= lua_gettop(L); ++i) {
            ScriptValue value;
            if (!readValue(L, i, value))
                throw Error("Argument nr. " + std::to_string(i - first + 1) + " til «" + name +
                            "» kan ikke gis til objektet (" + luaL_typename(L, i) + ")");
            args.push_back(std::move(value));
        }
        pushValue(L, object.call(name, args));
        return 1;
    });
}

int objectIndex(lua_State* state) {
    return guarded(state, [](lua_State* L) {
        TScriptObject& object = objectAt(L, 1);
        const std::string name = keyAt(L, 2);
        switch (object.member(name)) {
            case TScriptObject::Member::Property: pushValue(L, object.property(name)); return 1;
            case TScriptObject::Member::Method:
                lua_pushvalue(L, 1);
                lua_pushvalue(L, 2);
                lua_pushcclosure(L, callMethod, 2);
                return 1;
            case TScriptObject::Member::None: break;
        }
        throw Error("Objektet har ikke medlemmet «" + name + "»");
    });
}

int objectNewIndex(lua_State* state) {
    return guarded(state, [](lua_State* L) {
        TScriptObject& object = objectAt(L, 1);
        const std::string name = keyAt(L, 2);
        if (object.member(name) != TScriptObject::Member::Property)
            throw Error("Objektet har ingen egenskap «" + name + "»");
        ScriptValue value;
        if (!readValue(L, 3, value))
            throw Error(std::string("Egenskapen «") + name + "» kan ikke få en verdi av typen " +
                        luaL_typename(L, 3));
        object.setProperty(name, value);
        return 0;
    });
}

int objectCollect(lua_State* L) {
    if (ObjectPtr* slot = objectSlot(L, 1)) slot->reset();
    return 0;
}

}  // namespace

void registerObjectType(lua_State* L) {
    luaL_newmetatable(L, kObjectType);
    static const luaL_Reg methods[] = {{"__index", objectIndex},
                                       {"__newindex", objectNewIndex},
                                       {"__gc", objectCollect},
                                       {nullptr, nullptr}};
    luaL_setfuncs(L, methods, 0);
    // Scripts may not reach the metatable (and call __gc by hand).
    lua_pushliteral(L, "objekt");
    lua_setfield(L, -2, "__metatable");
    lua_pop(L, 1);
}

void pushValue(lua_State* L, const ScriptValue& value) {
    const ObjectPtr* object = std::get_if<ObjectPtr>(&value);
    // Nothing and a reference to no object are both nil in Lua.
    if (std::holds_alternative<std::monostate>(value) || (object && !*object))
        lua_pushnil(L);
    else if (auto* b = std::get_if<bool>(&value))
        lua_pushboolean(L, *b);
    else if (auto* n = std::get_if<std::int64_t>(&value))
        lua_pushinteger(L, *n);
    else if (auto* x = std::get_if<double>(&value))
        lua_pushnumber(L, *x);
    else if (auto* s = std::get_if<std::string>(&value))
        lua_pushlstring(L, s->data(), s->size());
    else {
        void* memory = lua_newuserdatauv(L, sizeof(ObjectPtr), 0);
        new (memory) ObjectPtr(*object);
        luaL_setmetatable(L, kObjectType);
    }
}

bool readValue(lua_State* L, int index, ScriptValue& out) {
    switch (lua_type(L, index)) {
        case LUA_TNIL:
        case LUA_TNONE: out = std::monostate(); return true;
        case LUA_TBOOLEAN: out = lua_toboolean(L, index) != 0; return true;
        case LUA_TNUMBER:
            if (lua_isinteger(L, index))
                out = static_cast<std::int64_t>(lua_tointeger(L, index));
            else
                out = static_cast<double>(lua_tonumber(L, index));
            return true;
        case LUA_TSTRING: {
            std::size_t length = 0;
            const char* text = lua_tolstring(L, index, &length);
            out = std::string(text, length);
            return true;
        }
        case LUA_TUSERDATA:
            if (ObjectPtr* slot = objectSlot(L, index)) {
                out = *slot;
                return true;
            }
            return false;
        default: return false;
    }
}

}  // namespace lagrull::script_detail
