#pragma once
// The words the demo register is made of: Norwegian names, streets and the
// kinds of club it shows (categories, standard relations, extra fields).

#include <string>
#include <vector>

namespace lagrull::demo {

struct DemoCategory {
    std::string name;
    double amount;
    bool fixedAmount;  // every member pays the category's amount
    int bornFrom = 0;  // the years of birth the category is for
    int bornTo = 9999;
};

struct DemoRelation {
    std::string name;
    std::string text;
    double amount;
};

// One kind of organisation: a sports club, a choir, a residents' association.
struct DemoProfile {
    std::string kind;  // follows the place in the organisation's name
    std::vector<DemoCategory> categories;
    std::vector<DemoRelation> standardRelations;
    std::vector<std::string> extraNames;                // EKSTRANAVN1…; "" hides that field
    std::vector<std::vector<std::string>> extraValues;  // per named field
    std::string claimText;                              // claim description, the half-year appended
};

struct DemoWords {
    std::vector<std::string> womensNames, mensNames, surnames, streets, places;
    std::vector<std::string> mailDomains, employers, notes, bankPrefixes;
    // Relations members have beyond the standard ones, with their own amounts.
    std::vector<DemoRelation> personalRelations;
    std::vector<DemoProfile> profiles;
};

const DemoWords& demoWords();

// A name as it may stand in an e-mail address: lower case, æøå spelt out
// ("Bjørnstad" → "bjornstad"), blanks dropped.
std::string mailName(const std::string& name);

}  // namespace lagrull::demo
