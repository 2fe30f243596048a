#include "template/rtf/rtf_info.h"

#include "common/dates.h"

namespace lagrull {

double TRtfTime::value() const {
    if (!present || !isValidDate(year, month, day)) return -1;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return -1;
    const long days = Date{year, month, day}.serial();
    return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

void TRtfTimeReader::onWord(const TRtfToken& t) {
    const int v = t.paramOr(0);
    const std::string_view w = t.word();
    if (w == "yr")
        time_.year = v;
    else if (w == "mo")
        time_.month = v;
    else if (w == "dy")
        time_.day = v;
    else if (w == "hr")
        time_.hour = v;
    else if (w == "min")
        time_.minute = v;
    else if (w == "sec")
        time_.second = v;
    else
        return;
    time_.present = true;
}

bool TInfoGroupParser::onDestination(const TRtfToken& first, bool /*ignorable*/) {
    const std::string_view w = first.word();
    std::string* text = nullptr;
    if (w == "title")
        text = &info_.title;
    else if (w == "subject")
        text = &info_.subject;
    else if (w == "author")
        text = &info_.author;
    else if (w == "operator")
        text = &info_.operatorName;
    else if (w == "keywords")
        text = &info_.keywords;
    else if (w == "comment")
        text = &info_.comment;
    else if (w == "doccomm")
        text = &info_.docComment;
    if (text) {
        TRtfString reader(tokens_, page_);
        reader.run();
        *text = trimBlanks(reader.text());
        return true;
    }
    TRtfTime* time = nullptr;
    if (w == "creatim")
        time = &info_.created;
    else if (w == "revtim")
        time = &info_.revised;
    else if (w == "printim")
        time = &info_.printed;
    else if (w == "buptim")
        time = &info_.backedUp;
    if (!time) return false;
    *time = TRtfTime{};
    TRtfTimeReader reader(tokens_, *time);
    reader.run();
    return true;
}

std::string TUserProps::text() const {
    std::string out;
    for (const auto& p : properties) {
        if (!out.empty()) out += ',';
        out += p.name + "=\"" + p.value + "\"";
    }
    return out;
}

std::vector<std::string> TUserProps::valuesOf(std::string_view name) const {
    std::vector<std::string> values;
    const std::string wanted = upperCase(name);
    for (const auto& p : properties)
        if (upperCase(p.name) == wanted) values.push_back(p.value);
    return values;
}

void TUserPropsParser::read() {
    run();
    finishProperty();
}

void TUserPropsParser::finishProperty() {
    if (open_) props_.properties.push_back(std::move(current_));
    current_ = TUserProperty{};
    open_ = false;
}

void TUserPropsParser::onWord(const TRtfToken& t) {
    if (t.is("proptype")) {
        current_.type = t.paramOr(0);
        open_ = true;
    }
}

bool TUserPropsParser::onDestination(const TRtfToken& first, bool /*ignorable*/) {
    const bool name = first.is("propname");
    if (!name && !first.is("staticval")) return false;
    if (name) finishProperty();  // a name without a value still counts
    TRtfString reader(tokens_, page_);
    reader.run();
    if (name) {
        current_.name = trimBlanks(reader.text());
        open_ = true;
    } else {
        current_.value = reader.text();
        open_ = true;
        finishProperty();
    }
    return true;
}

}  // namespace lagrull
