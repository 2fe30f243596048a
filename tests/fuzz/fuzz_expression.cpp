// libFuzzer target for the expression evaluator of the template commands:
// any line evaluates to a finite number or raises lagrull::Error. Names get
// values that are expressions themselves, so self-reference is explored.
#include <cmath>
#include <cstdlib>
#include <string>

#include "common/error.h"
#include "fuzz_support.h"
#include "script/expression.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace fuzz = lagrull::fuzz;
    // The first part is the expression, the second the value of every name.
    const auto [text, value] = fuzz::splitInput(fuzz::asText(data, size));
    lagrull::TExpression expression{};
    expression.setValueGetter([value = std::string(value)](const std::string&) { return value; });
    try {
        expression.setExpression(std::string(text));
        if (!std::isfinite(expression.evaluate())) std::abort();
    } catch (const lagrull::Error&) {
    }
    return 0;
}
