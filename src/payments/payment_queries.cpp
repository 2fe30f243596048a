#include "payments/payment_queries.h"

namespace lagrull {

const std::string& startingSelectSql() {
    static const std::string text =
        "SELECT m.medlnr as IDnr, m.enavn,m.fornavn,m.adresse,\n"
        "m.adresse2,m.postnr,m.poststed,m.bankkonto,m.nmedlnr,b.belop,\n"
        "b.betbelop,b.Differansebelop,b.betdato,b.betaling,b.kid,b.betflag,b.sletteflag,b.dato,"
        "b.tekst,\n"
        "substring(b.dato from 5 for 4) || substring(b.dato from 3 for 2)\n"
        "|| substring(b.dato from 1 for 2) as odato,m.adresse3,b.rel1,b.rel2,b.rel3,b.rel4,b.rel5\n"
        "FROM mbetreg b, medlreg m\n"
        "WHERE b.dato = :dato\n"
        "AND b.betaling >= :bet1\n"
        "AND b.betaling <= :bet2\n"
        "AND b.betflag = ''\n"
        "AND b.orgnr = :orgnr\n"
        "AND b.orgnr = m.orgnr\n"
        "AND b.medlnr = m.medlnr\n"
        "order by odato, m.enavn,m.fornavn\n"
        " \n"
        " \n"
        " ";
    return text;
}

const std::string& startingDeleteSql() {
    static const std::string text =
        "DELETE FROM mbetreg\n"
        "WHERE dato = :dato\n"
        "AND betaling >= :bet1\n"
        "AND betaling <= :bet2\n"
        "AND betflag = ''\n"
        "AND orgnr = :orgnr";
    return text;
}

void TPaymentQueries::restore() {
    IBSelectQuery.setSql(startingSelectSql());
    IBSelectQuery.clearParams();
    IBDeleteQuery.setSql(startingDeleteSql());
    IBDeleteQuery.clearParams();
}

}  // namespace lagrull
