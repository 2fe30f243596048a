#pragma once
// TRelasjonDialog: the rules of the member relation dialog ("Ny/oppdater
// relasjon"), without the window. The main window puts its relation table
// into insert or edit state on the current member and opens the dialog; the
// dialog writes the row's name, text and amount and posts it.
//
// Invariants:
// - The relation table leaves the dialog in browse state: the row posted,
//   or cancelled.
// - A name that the organisation's standard list lacks is added to it after
//   the member's row is posted, so the list and the members stay in step.

#include <cstdint>
#include <string>
#include <vector>

namespace lagrull {
class Ui;
}
namespace lagrull::data {
class TOrvTable;
}

namespace lagrull {

class TRelasjonDialog {
public:
    // `relReg` is in insert or edit state on the member's relation row.
    TRelasjonDialog(Ui& ui, data::TOrvTable& relReg, std::int64_t orgNr);

    const std::string& Caption() const { return caption_; }
    bool Inserting() const { return inserting_; }
    // The name drop-down (enabled only for a new row) and its entries.
    bool NameEnabled() const { return inserting_; }
    const std::vector<std::string>& Names() const { return names_; }

    // The dialog's fields.
    std::string Navn, Tekst;
    double Belop = 0;

    // The name text changed: text and amount are taken from the standard
    // list or another member's row of that name.
    void NameChanged(const std::string& name);
    bool OkEnabled() const { return okEnabled_; }

    enum class Close { Closed, StayOpen };
    // "&OK": posts the row; a name the member already has asks whether to
    // give up (Yes closes without the row, No keeps the dialog open).
    Close Ok();
    // Any other way of closing.
    void Cancel();

private:
    Ui& ui_;
    data::TOrvTable& relReg_;
    std::int64_t orgNr_;
    bool inserting_;
    std::string caption_;
    std::vector<std::string> names_;
    bool okEnabled_ = false;
};

}  // namespace lagrull
