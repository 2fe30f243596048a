// The look-up lists the claim, giro, payment, selection and relation windows
// fill their choice boxes from.
#include <algorithm>
#include <set>

#include "common/dates.h"
#include "data/app_db_mng.h"
#include "data/field_access.h"
#include "data/norwegian_order.h"
#include "data/orv_query.h"

namespace lagrull::data {

void GetRelationNames(TDatabase& db, std::int64_t orgNr, std::vector<std::string>& list) {
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const char* table : {"relreg", "relregstandard"}) {
        TOrvQuery q(db);
        q.setSql(std::string("select distinct relasjon from ") + table +
                 " where orgnr = " + std::to_string(orgNr));
        q.open();
        for (; !q.eof(); q.next()) {
            std::string name = FieldText(q, "relasjon");
            if (seen.insert(name).second) names.push_back(std::move(name));
        }
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return compareNorwegian(a, b) < 0;
    });
    list = std::move(names);
}

void GetMemberList(TDatabase& db, std::int64_t orgNr, std::vector<std::string>& list) {
    list.clear();
    TOrvQuery q(db);
    q.setSql("select distinct medlnr,enavn,fornavn from medlreg where orgnr=" +
             std::to_string(orgNr) + " " + "order by enavn,fornavn");
    q.open();
    for (; !q.eof(); q.next())
        list.push_back(FieldText(q, "medlnr") + "=" + FieldText(q, "enavn") + ", " +
                       FieldText(q, "fornavn"));
}

void GetClaimDates(TDatabase& db, std::int64_t orgNr, std::vector<std::string>& list) {
    TOrvQuery q(db);
    q.setSql(
        "select distinct dato,substring(dato from 5 for 4) || substring(dato from 3 for 2) || "
        "substring(dato from 1 for 2) as odato from mbetreg where orgnr = " +
        std::to_string(orgNr) + " order by odato desc ");
    q.open();
    for (; !q.eof(); q.next()) {
        const std::string date = FieldText(q, "dato");
        if (date.empty()) continue;
        const std::string shown = storedToShown(date);
        list.push_back(shown.empty() ? date : shown);
    }
}

}  // namespace lagrull::data
