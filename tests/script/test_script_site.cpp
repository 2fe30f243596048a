#include <gtest/gtest.h>

#include <chrono>

#include "script/active_script_site.h"

using namespace lagrull;

namespace {

// A member as the field computer might show it to scripts.
class MemberObject : public TScriptObject {
public:
    std::string name = "Kari Nordmann";
    int calls = 0;

    Member member(const std::string& key) const override {
        if (key == "Navn" || key == "Belop") return Member::Property;
        if (key == "Hils" || key == "Feil" || key == "Selv") return Member::Method;
        return Member::None;
    }
    ScriptValue property(const std::string& key) override {
        if (key == "Navn") return name;
        return 350.5;
    }
    void setProperty(const std::string& key, const ScriptValue& value) override {
        if (key != "Navn") TScriptObject::setProperty(key, value);
        name = std::get<std::string>(value);
    }
    ScriptValue call(const std::string& key, const std::vector<ScriptValue>& args) override {
        ++calls;
        if (key == "Feil") throw Error("Medlemmet finnes ikke");
        if (key == "Selv") return args.empty() ? ScriptValue() : args[0];
        std::string who = args.empty() ? "" : *scriptValueText(args[0]);
        return "Hei, " + who + " (" + std::to_string(args.size()) + ")";
    }
};

// The error of an expression, or of a whole script with `script`.
EActiveScript errorOf(TActiveScriptSite& site, const std::string& expression, bool script = false) {
    try {
        if (script)
            site.execute("Lua", expression);
        else
            site.evaluate(expression);
    } catch (const EActiveScript& e) {
        return e;
    }
    ADD_FAILURE() << "no script error for " << expression;
    return EActiveScript(TScriptError{});
}

TEST(ScriptSite, EvaluatesExpressionsToText) {
    TActiveScriptSite site;
    EXPECT_FALSE(site.started());
    EXPECT_EQ(site.evaluate("2*3"), "6");
    EXPECT_TRUE(site.started());
    EXPECT_EQ(site.evaluate("6/2"), "3");  // a whole real number has no decimal part
    EXPECT_EQ(site.evaluate("10/4"), "2.5");
    EXPECT_EQ(site.evaluate("0.1+0.2"), "0.3");
    EXPECT_EQ(site.evaluate("2^62"), "4611686018427387904");
    EXPECT_EQ(site.evaluate("1e300*10"), "1e+301");
    EXPECT_EQ(site.evaluate("-7 // 2"), "-4");
    EXPECT_EQ(site.evaluate("'Sum: ' .. 12"), "Sum: 12");
    EXPECT_EQ(site.evaluate("'blåbær'"), "blåbær");
    EXPECT_EQ(site.evaluate("3 > 2"), "true");
    EXPECT_EQ(site.evaluate("nil"), "");
    EXPECT_EQ(site.evaluate("UKJENT_FELT"), "");  // unknown names are empty
    EXPECT_EQ(site.evaluate(""), "");
    EXPECT_EQ(site.evaluate("math.max(3, 9, 4)"), "9");
    EXPECT_EQ(site.evaluate("string.format('%.2f', 1234.5)"), "1234.50");
}

TEST(ScriptSite, ExecuteKeepsStateUntilReset) {
    TActiveScriptSite site;
    const ScriptValue result = site.execute("Lua", "x = 20\nreturn x + 1");
    EXPECT_EQ(std::get<std::int64_t>(result), 21);
    EXPECT_EQ(site.language(), "Lua");
    EXPECT_EQ(site.evaluate("x * 2"), "40");
    EXPECT_TRUE(std::holds_alternative<std::monostate>(site.execute("VBScript", "y = 1")));
    EXPECT_EQ(site.language(), "VBScript");
    site.reset();
    EXPECT_FALSE(site.started());
    EXPECT_EQ(site.evaluate("x"), "");
}

TEST(ScriptSite, SyntaxErrorsCarryLineAndPosition) {
    TActiveScriptSite site;
    const EActiveScript e = errorOf(site, "2 *");
    EXPECT_STREQ(e.what(), "Scriptfeil: unexpected symbol near <eof> i linje 1 pos. 0");
    EXPECT_EQ(e.line(), 1);
    EXPECT_EQ(e.position(), 0);
    EXPECT_EQ(site.lastError().text, "unexpected symbol near <eof> i linje 1 pos. 0");
    EXPECT_EQ(site.lastError().description, "unexpected symbol near <eof>");

    // A statement is no expression.
    EXPECT_STREQ(errorOf(site, "1; x = 2").what(),
                 "Scriptfeil: <eof> expected near 'x' i linje 1 pos. 0");
    EXPECT_EQ(site.evaluate("x"), "");

    try {
        site.execute("Lua", "local a = 1\nlocal b = 2\nif a then\n");
        FAIL() << "no script error";
    } catch (const EActiveScript& unclosed) {
        EXPECT_STREQ(unclosed.what(),
                     "Scriptfeil: 'end' expected (to close 'if' at line 3) near <eof> "
                     "i linje 4 pos. 0");
        EXPECT_EQ(unclosed.line(), 4);
    }
    // The site goes on after an error.
    EXPECT_EQ(site.evaluate("1+1"), "2");
}

TEST(ScriptSite, RunTimeErrorsCarryTheLine) {
    TActiveScriptSite site;
    try {
        site.execute("Lua", "local t = nil\n\nreturn t.felt");
        FAIL() << "no script error";
    } catch (const EActiveScript& e) {
        EXPECT_STREQ(e.what(),
                     "Scriptfeil: attempt to index a nil value (local 't') i linje 3 pos. 0");
        EXPECT_EQ(e.line(), 3);
    }
    // An error without a position gets the line that was running.
    try {
        site.execute("Lua", "\nerror('stopp', 0)");
        FAIL() << "no script error";
    } catch (const EActiveScript& e) {
        EXPECT_STREQ(e.what(), "Scriptfeil: stopp i linje 2 pos. 0");
    }
    // So does an error raised inside a library function.
    EXPECT_STREQ(errorOf(site, "string.rep()").what(),
                 "Scriptfeil: bad argument #1 to 'rep' (string expected, got no value) "
                 "i linje 1 pos. 0");
    EXPECT_STREQ(errorOf(site, "{}").what(),
                 "Scriptfeil: Resultatet kan ikke brukes utenfor skriptet (table) i linje 0 "
                 "pos. 0");
}

TEST(ScriptSite, GlobalObjectsAreVisibleAndComeBackAfterReset) {
    TActiveScriptSite site;
    auto member = std::make_shared<MemberObject>();
    site.addGlobalObject("Medlem", member);
    EXPECT_EQ(site.evaluate("Medlem.Navn"), "Kari Nordmann");
    EXPECT_EQ(site.evaluate("Medlem.Belop * 2"), "701");
    EXPECT_EQ(site.evaluate("Medlem.Hils('Ola', 2)"), "Hei, Ola (2)");
    EXPECT_EQ(site.evaluate("Medlem:Hils('Per')"), "Hei, Per (1)");
    EXPECT_EQ(site.evaluate("Medlem.Selv(Medlem) == Medlem"), "false");  // a new userdata
    site.execute("Lua", "Medlem.Navn = 'Ola ' .. 'Hansen'");
    EXPECT_EQ(member->name, "Ola Hansen");

    site.reset();
    EXPECT_EQ(site.evaluate("Medlem.Navn"), "Ola Hansen");
    // Objects added while the engine runs appear at its next start.
    site.addGlobalObject("Annet", std::make_shared<MemberObject>());
    EXPECT_EQ(site.evaluate("Annet"), "");
    site.reset();
    EXPECT_EQ(site.evaluate("Annet.Navn"), "Kari Nordmann");
    EXPECT_EQ(site.globalObjects().items().size(), 2u);
    EXPECT_EQ(site.globalObjects().find("Medlem"), member);
}

TEST(ScriptSite, ObjectFailuresBecomeScriptErrors) {
    TActiveScriptSite site;
    site.addGlobalObject("Medlem", std::make_shared<MemberObject>());
    EXPECT_STREQ(errorOf(site, "Medlem.Feil()").what(),
                 "Scriptfeil: Medlemmet finnes ikke i linje 1 pos. 0");
    EXPECT_STREQ(errorOf(site, "Medlem.Adresse").what(),
                 "Scriptfeil: Objektet har ikke medlemmet «Adresse» i linje 1 pos. 0");
    EXPECT_STREQ(errorOf(site, "Medlem.Hils({})").what(),
                 "Scriptfeil: Argument nr. 1 til «Hils» kan ikke gis til objektet (table) "
                 "i linje 1 pos. 0");
    EXPECT_THROW(site.execute("Lua", "Medlem.Belop = 5"), EActiveScript);
    EXPECT_THROW(site.execute("Lua", "getmetatable(Medlem).__gc(Medlem)"), EActiveScript);
    EXPECT_STREQ(errorOf(site, "Medlem").what(),
                 "Scriptfeil: Resultatet er et objekt uten tekst i linje 0 pos. 0");
    EXPECT_EQ(site.evaluate("Medlem.Navn"), "Kari Nordmann");
}

TEST(ScriptSite, SafeModeRefusesFilesProcessesAndModules) {
    TActiveScriptSite site;
    EXPECT_FALSE(site.safeMode());
    EXPECT_EQ(site.evaluate("type(io)"), "table");
    site.setSafeMode(true);
    EXPECT_FALSE(site.started());  // the unsafe engine is gone
    for (const char* name :
         {"io", "package", "require", "debug", "dofile", "loadfile", "print", "os.execute",
          "os.remove", "os.getenv", "os.exit", "os.rename", "os.tmpname"})
        EXPECT_EQ(site.evaluate("type(" + std::string(name) + ")"), "nil") << name;
    EXPECT_THROW(site.execute("Lua", "io.open('/etc/passwd')"), EActiveScript);
    EXPECT_THROW(site.execute("Lua", "os.execute('true')"), EActiveScript);
    // Binary chunks are refused; text chunks work.
    EXPECT_EQ(site.evaluate("select(2, load(string.dump(function() return 1 end)))"),
              "attempt to load a binary chunk (mode is 't')");
    EXPECT_EQ(site.evaluate("load('return 2+2')()"), "4");
    EXPECT_EQ(site.evaluate("load('return x', 'c', 't', {x = 5})()"), "5");
    // The harmless parts stay.
    EXPECT_EQ(site.evaluate("os.date('%Y', 0) + 0 >= 1969"), "true");
    EXPECT_EQ(site.evaluate("string.upper('abc') .. table.concat({1, 2}, '-')"), "ABC1-2");
}

TEST(ScriptSite, EndlessLoopIsStopped) {
    TActiveScriptSite site;
    site.setSafeMode(true);
    site.setInstructionLimit(200'000);
    const auto start = std::chrono::steady_clock::now();
    try {
        site.execute("Lua", "local n = 0\nwhile true do\n  n = n + 1\nend");
        FAIL() << "not stopped";
    } catch (const EActiveScript& e) {
        EXPECT_NE(std::string(e.what()).find("Skriptet ble stoppet etter 200000 instruksjoner"),
                  std::string::npos)
            << e.what();
        EXPECT_GE(e.line(), 2);
        EXPECT_LE(e.line(), 4);
    }
    // Catching the stop does not help the script.
    EXPECT_THROW(site.execute("Lua", "while true do pcall(function() while true do end end) end"),
                 EActiveScript);
    EXPECT_THROW(
        site.execute("Lua", "local co = coroutine.wrap(function() while true do end end)\nco()"),
        EActiveScript);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    // The next run has its full budget again.
    EXPECT_EQ(site.evaluate("(function() local s = 0 for i = 1, 1000 do s = s + i end "
                            "return s end)()"),
              "500500");
}

TEST(ScriptSite, MemoryIsBounded) {
    TActiveScriptSite site;
    site.setMemoryLimit(4 << 20);
    EXPECT_STREQ(errorOf(site, "#string.rep('x', 100000000)").what(),
                 "Scriptfeil: Skriptet brukte mer minne enn tillatt i linje 0 pos. 0");
    EXPECT_THROW(site.execute("Lua", "local t = {} for i = 1, 1e8 do t[i] = i end"), EActiveScript);
    EXPECT_EQ(site.evaluate("#string.rep('x', 1000)"), "1000");
}

// The matcher runs within one instruction: a pattern that backtracks over a
// long text would run for hours past the instruction budget.
TEST(ScriptSite, SafeModeBoundsPatternMatching) {
    TActiveScriptSite site;
    site.setSafeMode(true);
    for (const char* script : {"return string.rep('a', 30000):find('.-.-.-b')",
                               "return string.rep('a', 1e6):gsub('a*b', '')",
                               "for w in string.rep('a', 1e5):gmatch('a-b') do end",
                               "return string.rep('a', 40):match(string.rep('a?', 40) .. 'b')"})
        EXPECT_NE(std::string(errorOf(site, script, true).what()).find("mønsteret er for krevende"),
                  std::string::npos)
            << script;
    // Ordinary matching, a plain search on a long text and gsub's count stay.
    EXPECT_EQ(site.evaluate("('Kari Nordmann'):match('^(%S+)')"), "Kari");
    EXPECT_EQ(site.evaluate("select(2, string.rep('a b ', 2000):gsub('%s+', ' '))"), "4000");
    EXPECT_EQ(site.evaluate("string.rep('a', 1e6):find('b', 1, true) == nil"), "true");
    EXPECT_EQ(site.evaluate("('aaa'):gsub('a', 'b', 2)"), "bba");
    EXPECT_EQ(site.evaluate("string.find(12345, '3')"), "3");
}

// A finalizer runs when the collector or the close calls it, outside the
// run and its budgets: a safe script may not have one.
TEST(ScriptSite, SafeModeRefusesFinalizers) {
    TActiveScriptSite site;
    site.setSafeMode(true);
    EXPECT_NE(std::string(errorOf(site, "setmetatable({}, {__gc = function() end})", true).what())
                  .find("__gc er ikke tillatt"),
              std::string::npos);
    EXPECT_EQ(site.evaluate("setmetatable({}, {__index = function() return 7 end}).x"), "7");
}

// Finalizers of a trusted script still run at close, within the memory limit.
TEST(ScriptSite, FinalizersAtCloseStayWithinTheMemoryLimit) {
    auto member = std::make_shared<MemberObject>();
    TActiveScriptSite site;
    site.setMemoryLimit(4 << 20);
    site.addGlobalObject("Medlem", member);
    site.execute("Lua",
                 "setmetatable({}, {__gc = function()"
                 " Medlem.Navn = tostring(#string.rep('x', 100000000)) end})");
    site.reset();
    EXPECT_EQ(member->name, "Kari Nordmann");
}

}  // namespace
