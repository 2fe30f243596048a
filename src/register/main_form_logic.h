#pragma once
// The main window's behaviour as logic: how its tables are ordered and
// linked, the record rules of organisations, members and fee categories,
// the page change, the heading, the category lock, the payment method and
// postal code rules, member numbering and the quick searches.
//
// Invariants:
// - MedlTable, KontTable and tbRelRegStandard follow OrgTable on ORGNR;
//   tbRelReg follows MedlTable on ORGNR and MEDLNR.
// - The member number can be typed only while memberNumberEditable() holds:
//   for a new member of an organisation without automatic numbering.
// - Every message goes through the Ui; every cursor move through the view.

#include <memory>
#include <string>

#include "common/settings_keys.h"
#include "data/data_store.h"

namespace lagrull {

class Ui;
class MainFormView;
class TPostNr;

// The main window's pages, in the order of its tabs.
enum class MainPage { Organisations = 0, Members = 1 };

// What a search on the members page looks for (the organisations page
// always searches by name).
enum class SearchKind { Surname, MemberNumber, Company };

class TMainFormLogic {
public:
    TMainFormLogic(data::DataStore& store, Ui& ui, MainFormView& view, TPostNr& postal);
    ~TMainFormLogic();
    TMainFormLogic(const TMainFormLogic&) = delete;
    TMainFormLogic& operator=(const TMainFormLogic&) = delete;

    // Before the tables open: the members' calculated display name.
    static void prepareTables(data::RegisterTables& tables);
    // After they opened: orders, links and record rules.
    void attach();
    // The orders and master links of the opened tables, on the first
    // organisation: what attach() sets up, for a caller without the window.
    static void linkTables(data::RegisterTables& tables);

    data::RegisterTables& tables() { return store_.tables(); }
    RegisterKind registerKind() const { return kind_; }

    MainPage page() const { return page_; }
    void changePage(MainPage newPage);

    // ORGNAVN + " (" + members + " stk)".
    std::string heading();
    void writeHeading();

    // The category lock for a category name (see the view).
    void applyCategoryLock(const std::string& category);
    // The user chose or typed a category on the members page.
    void categoryChosen(const std::string& category);
    void paymentMethodChanged();

    // A postal-code field was entered / left (organisation or member).
    void postalCodeEntered(bool member, const std::string& text);
    void postalCodeLeft(bool member, const std::string& text);
    // A code the postal register does not know (the place stays empty).
    bool postalCodeUnknown(const std::string& text);

    // Entering the category or standard-relations header posts a pending
    // organisation edit.
    void leavingOrganisationFields();
    // The category navigator's edit button.
    void editCategory();

    bool memberNumberEditable() const { return memberNumberEditable_; }

    // Asks for the text and searches the current page.
    void search(SearchKind kind);

    // The member display name of the current member row.
    static std::string memberDisplayName(const std::string& surname, const std::string& firstName);

private:
    // Record rules, one handler per table event.
    void installOrganisationRules();
    void installMemberRules();
    void installCategoryRules();
    bool memberBeforePost(data::TOrvTable& t);
    bool numberMember(data::TOrvTable& t);
    bool organisationBeforeDelete(data::TOrvTable& t);
    void organisationDependentsDelete(data::TOrvTable& t);
    bool memberBeforeDelete(data::TOrvTable& t);
    void memberDependentsDelete(data::TOrvTable& t);
    void memberRowMoved();
    void setMemberNumberEditable(bool editable);

    void searchOrganisation(const std::string& text);
    void searchSurname(const std::string& text);
    bool positionOnNumber(const std::string& number);
    void searchNumber(const std::string& text);
    void searchCompany(const std::string& text);

    std::int64_t orgNr();

    data::DataStore& store_;
    Ui& ui_;
    MainFormView& view_;
    TPostNr& postal_;
    RegisterKind kind_;
    MainPage page_ = MainPage::Organisations;
    bool memberNumberEditable_ = false;
    bool inMemberMove_ = false;
    std::string orgPostalAtEntry_;
    std::string memberPostalAtEntry_;
    data::Subscription memberMoves_;
    data::Subscription organisationMoves_;
};

}  // namespace lagrull
