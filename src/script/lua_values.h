#pragma once
// Values across the border between Lua and the program, and the Lua type of
// the program's objects (a userdata holding a shared_ptr<TScriptObject>).

#include "script/script_object.h"

struct lua_State;

namespace lagrull::script_detail {

// Creates the metatable of the object type in the registry.
void registerObjectType(lua_State* L);

// Pushes one value; an object becomes a userdata of the object type.
void pushValue(lua_State* L, const ScriptValue& value);

// Reads the value at `index`. False for values that cannot leave the
// script (tables, functions, threads, foreign userdata).
bool readValue(lua_State* L, int index, ScriptValue& out);

}  // namespace lagrull::script_detail
