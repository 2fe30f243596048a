#pragma once
// TRtfExtWordFieldComputer: the word-processor fields of a template
// (MERGEFIELD, "=", IF, COMPARE, DATE, PAGE, INCLUDETEXT, DATABASE, ...).
// A field gives either plain text, written as merged text, or RTF, read in
// place of the field; nullopt keeps the field's stored result. Any failure
// inside a field keeps the stored result, except that a DATABASE failure is
// written into the document.

#include <optional>
#include <string>
#include <vector>

#include "template/rtf/rtf_field.h"
#include "template/rtf/rtf_file_parser.h"

namespace lagrull {

class TActiveScriptSite;
class TRtfExtended;
class TMergeDatabase;

struct TFieldResult {
    enum Kind {
        Text,       // UTF-8 text, written as merged text
        Rtf,        // RTF read in place (merge fields and commands in it work)
        RawRtf,     // RTF written as it is (merged data, page words)
        Document,   // a whole RTF document, included like a linked file
        KeepField,  // the field stays a field with its stored result (FILLIN, form fields)
    } kind = Text;
    std::string text;
};

// One field instruction: the type, the arguments and the switches.
struct TFieldInstruction {
    std::string type;                                    // upper-cased first word
    std::vector<std::string> args;                       // quoted or not, quotes removed
    std::vector<std::pair<char, std::string>> switches;  // "\#" "0,00" -> ('#', "0,00")
    std::string rest;                                    // the text after the type
    const std::string* switchValue(char name) const;
    bool hasSwitch(char name) const { return switchValue(name) != nullptr; }
};
TFieldInstruction parseFieldInstruction(const std::string& text);

class TRtfExtWordFieldComputer {
public:
    TRtfExtWordFieldComputer(TRtfExtended& engine, TActiveScriptSite& script,
                             TMergeDatabase* database);

    std::optional<TFieldResult> compute(const TRtfField& field, const TRtfHeader& header);
    // A field inside the instruction of another, `nesting` levels down.
    std::optional<TFieldResult> computeNested(const TRtfField& field, const TRtfHeader& header,
                                              int nesting);
    // The name evaluated by the script host; "" on any error.
    std::string evaluateScript(const std::string& expression);

private:
    std::optional<TFieldResult> computeType(const TFieldInstruction& f, const TRtfField& field,
                                            const TRtfHeader& header);
    // Compares two IF/COMPARE operands and logs the comparison.
    bool compare(const std::string& a, const std::string& op, const std::string& b);
    std::optional<TFieldResult> includeText(const std::string& file);
    std::optional<TFieldResult> includePicture(const std::string& file);
    std::optional<TFieldResult> privateField(const TFieldInstruction& f, const TRtfField& field);
    TFieldResult databaseField(const TFieldInstruction& f, const std::string& storedResult,
                               const std::string& sql);

    TRtfExtended& engine_;
    TActiveScriptSite& script_;
    TMergeDatabase* database_;
};

// "\@" date pictures: d, dd, ddd, dddd, M, MM, MMM, MMMM, yy, yyyy, h, hh,
// H, HH, m/n, mm/nn, s, ss, with Norwegian day and month names.
std::string formatDatePicture(const std::string& picture, int year, int month, int day, int hour,
                              int minute, int second);
// "\#" number pictures: "0", "#", "," as decimal, "." or blank as grouping.
std::string formatNumberPicture(const std::string& picture, double value);

}  // namespace lagrull
