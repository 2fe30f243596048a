#pragma once
// Writes the changed claims of the payment window to MBETREG, found by the
// primary key (ORGNR, MEDLNR, DATO), in one transaction: every changed row
// or none. A row whose claim is gone is skipped; the count of those is
// returned so the user can be told. A manual payment never sets BETDATO: it
// keeps the clearing house's date the claim had.

#include <cstdint>
#include <vector>

#include "data/database.h"
#include "payments/payment_rows.h"

namespace lagrull {

class Ui;

int saveChangedRows(data::TDatabase& db, std::int64_t orgNr, const std::vector<PaymentRow>& rows,
                    Ui& ui);

}  // namespace lagrull
