#pragma once
// TMemberImport: "Importer medlemsliste fra fil" as the main window runs it.
// The window "Importer fil" reads the file into the staging table COPYTAB;
// after its OK the staged rows replace the current organisation's members of
// the same numbers.
//
// Invariants:
// - COPYTAB is empty before and after every import.
// - The transfer runs in one transaction: a failure or a killed process
//   leaves MEDLREG and COPYTAB as they were, never half replaced.
// - Replacing deletes member rows only: claims and relations stay with the
//   number and belong to the new member.
// - An imported member pays by giro (BETALING 2) and has an empty
//   member-since date, notice code and company.

#include <cstdint>

namespace lagrull {
class Ui;
class TPostNr;
class TImportFormLogic;
}  // namespace lagrull
namespace lagrull::data {
struct RegisterTables;
}

namespace lagrull {

// The window "Importer fil": shows the logic's state modally and, on OK,
// has run the import (TImportFormLogic::Run). Qt implements it, lagrul-cli
// and tests fill it from their options.
class TImportFormStep {
public:
    virtual ~TImportFormStep() = default;
    // True when the dialog closed with OK.
    virtual bool ShowModal(TImportFormLogic& logic) = 0;
};

struct TTransferCounts {
    long members = 0;   // members written
    long replaced = 0;  // of them, numbers the organisation had already
};

class TMemberImport {
public:
    TMemberImport(Ui& ui, data::RegisterTables& tables, TPostNr& postal);

    // The whole function on the current organisation; false when nothing was
    // imported (no organisation, cancelled).
    bool Execute(TImportFormStep& window);
    const TTransferCounts& Transferred() const { return transferred_; }

    // Moves the staged rows into the organisation's members.
    TTransferCounts Transfer(std::int64_t orgNr);
    void EmptyStaging();

private:
    Ui& ui_;
    data::RegisterTables& tables_;
    TPostNr& postal_;
    TTransferCounts transferred_;
};

}  // namespace lagrull
