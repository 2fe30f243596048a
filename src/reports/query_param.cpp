#include "reports/query_param.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <string_view>

#include "common/error.h"
#include "common/text_codec.h"
#include "data/orv_query.h"

namespace lagrull::reports {

namespace {

[[noreturn]] void notANumber(const TQueryParam& p) {
    throw Error("'" + p.Value + "' er ikke en gyldig verdi for parameteren " + p.Name + ".");
}

}  // namespace

data::Value TQueryParam::TypedValue() const {
    switch (Type) {
        case qpInteger: {
            const char* begin = Value.c_str();
            char* end = nullptr;
            errno = 0;
            const long long n = std::strtoll(begin, &end, 10);
            if (Value.empty() || end != begin + Value.size() || errno == ERANGE) notANumber(*this);
            return data::Value(static_cast<std::int64_t>(n));
        }
        case qpFloat: {
            std::string text = Value;
            if (const std::size_t comma = text.find(','); comma != std::string::npos)
                text[comma] = '.';
            const char* begin = text.c_str();
            char* end = nullptr;
            errno = 0;
            const double d = std::strtod(begin, &end);
            if (text.empty() || end != begin + text.size() || errno == ERANGE) notANumber(*this);
            return data::Value(d);
        }
        case qpBoolean: {
            const char first =
                Value.empty()
                    ? ' '
                    : static_cast<char>(std::toupper(static_cast<unsigned char>(Value[0])));
            const bool yes = std::string_view("1JSTXY").find(first) != std::string_view::npos;
            return data::Value(static_cast<std::int64_t>(yes ? 1 : 0));
        }
        default: return data::Value(Value);
    }
}

int TQueryParamList::Add(const std::string& name, const std::string& value, std::int32_t type) {
    items_.push_back({name, value, type});
    return Count() - 1;
}

int TQueryParamList::AddString(const std::string& name, const std::string& value) {
    return Add(name, value, qpString);
}

int TQueryParamList::AddInteger(const std::string& name, std::int64_t value) {
    return Add(name, std::to_string(value), qpInteger);
}

int TQueryParamList::IndexOfName(const std::string& name) const {
    const std::string wanted = upperCase(name);
    for (int i = 0; i < Count(); ++i)
        if (upperCase(Items(i).Name) == wanted) return i;
    return -1;
}

void TQueryParamList::ApplyParam(data::TOrvQuery& query, const std::string& name) const {
    const int index = IndexOfName(name);
    if (index >= 0) query.setParam(name, Items(index).TypedValue());
}

}  // namespace lagrull::reports
