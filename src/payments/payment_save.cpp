#include "payments/payment_save.h"

#include "common/ui.h"
#include "data/orv_query.h"

namespace lagrull {

int saveChangedRows(data::TDatabase& db, std::int64_t orgNr, const std::vector<PaymentRow>& rows,
                    Ui& ui) {
    data::TOrvQuery update(db);
    update.setSql(
        "update mbetreg set belop = :belop, betbelop = :betbelop, betdato = :betdato,\n"
        "differansebelop = :rest, betflag = :betflag\n"
        "where orgnr = :orgnr and medlnr = :medlnr and dato = :dato");
    update.setParamInt("orgnr", orgNr);
    int skipped = 0;
    EventPump pump(ui);
    data::Transaction transaction(db);
    for (const PaymentRow& r : rows) {
        if (!r.changed) continue;
        update.setParam("belop", data::Value(r.krav.kroner()));
        update.setParam("betbelop", data::Value(r.innbetalt.kroner()));
        update.setParamText("betdato", r.betDato);
        update.setParam("rest", data::Value(r.rest ? r.rest->kroner() : 0.0));
        update.setParamText("betflag", r.betalt ? "X" : "");
        update.setParamText("medlnr", r.medlNr);
        update.setParamText("dato", r.dato);
        if (update.execSQL() == 0) ++skipped;
        pump.tick();
    }
    transaction.commit();
    return skipped;
}

}  // namespace lagrull
