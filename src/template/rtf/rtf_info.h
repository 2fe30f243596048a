#pragma once
// The document properties of an RTF header: the information group and the
// user properties.

#include <string>
#include <vector>

#include "template/rtf/rtf_parser.h"

namespace lagrull {

// A time of the information group ("creatim", "revtim", ...).
struct TRtfTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    bool present = false;

    // Days since 30 December 1899 with the time as fraction; -1 for a date
    // or time that does not exist (or a time not given).
    double value() const;
};

// Reads the rest of a time group: "yr", "mo", "dy", "hr", "min", "sec".
class TRtfTimeReader : public TRtfGroupParser {
public:
    TRtfTimeReader(TRtfTokenizer& tokens, TRtfTime& time) : TRtfGroupParser(tokens), time_(time) {}

protected:
    void onWord(const TRtfToken& t) override;

private:
    TRtfTime& time_;
};

struct TRtfInfo {
    std::string title, subject, author, operatorName, keywords, comment, docComment;
    TRtfTime created, revised, printed, backedUp;
};

// Reads the rest of an "info" group.
class TInfoGroupParser : public TRtfGroupParser {
public:
    TInfoGroupParser(TRtfTokenizer& tokens, TRtfInfo& info, CodePage page)
        : TRtfGroupParser(tokens), info_(info), page_(page) {}

protected:
    bool onDestination(const TRtfToken& first, bool ignorable) override;

private:
    TRtfInfo& info_;
    CodePage page_;
};

struct TUserProperty {
    std::string name;
    int type = 0;  // "proptype": 3 integer, 5 real, 11 boolean, 30 text, 64 date
    std::string value;
};

struct TUserProps {
    std::vector<TUserProperty> properties;

    // name="value" for every property, comma-separated.
    std::string text() const;
    // Values of the properties named INCLUDEFILE, INCLUDETEXT, EXECSQL
    // (case ignored), in order.
    std::vector<std::string> valuesOf(std::string_view name) const;
    std::vector<std::string> includeFiles() const { return valuesOf("INCLUDEFILE"); }
    std::vector<std::string> includeTexts() const { return valuesOf("INCLUDETEXT"); }
    std::vector<std::string> queries() const { return valuesOf("EXECSQL"); }
};

// Reads the rest of a "userprops" group: "propname", "proptype",
// "staticval"; a property ends with its value.
class TUserPropsParser : public TRtfGroupParser {
public:
    TUserPropsParser(TRtfTokenizer& tokens, TUserProps& props, CodePage page)
        : TRtfGroupParser(tokens), props_(props), page_(page) {}
    void read();

protected:
    void onWord(const TRtfToken& t) override;
    bool onDestination(const TRtfToken& first, bool ignorable) override;

private:
    void finishProperty();

    TUserProps& props_;
    CodePage page_;
    TUserProperty current_;
    bool open_ = false;
};

}  // namespace lagrull
