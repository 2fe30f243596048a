#pragma once
// What the main window's rules ask of the window itself. The Qt window
// implements it; the tests use a recording fake.

#include <array>
#include <string>
#include <vector>

namespace lagrull {

// The fields the rules put the cursor on.
enum class FormField { OrgNavn, Kategori, KategoriBelop, MedlNr, Fornavn };

class MainFormView {
public:
    virtual ~MainFormView() = default;

    virtual void focusField(FormField field) = 0;
    // The member-number field can be typed in only for a new member of an
    // organisation without automatic numbering.
    virtual void setMemberNumberEditable(bool editable) = 0;
    // The category panel's edit strip; the name is editable only for a new one.
    virtual void setCategoryStrip(bool visible, bool nameEditable) = 0;
    // The members page's heading: name and member count.
    virtual void setHeading(const std::string& heading) = 0;
    // The category lock: "Kontingent" shows the category's fixed amount,
    // read-only, or the member's own amount, editable.
    virtual void setMemberAmountFromCategory(bool fromCategory, double categoryAmount) = 0;
    virtual void setNoticeVisible(bool visible) = 0;
    virtual void setMemberCount(long long count) = 0;
    // The category drop-down on the members page.
    virtual void setCategoryNames(const std::vector<std::string>& names,
                                  const std::string& current) = 0;
    // One label per extra field; an empty label collapses its row.
    virtual void setExtraFieldLabels(const std::array<std::string, 10>& labels) = 0;
    // The members page has a search submenu, the organisations page one entry.
    virtual void setSearchSubmenu(bool submenu) = 0;
};

}  // namespace lagrull
