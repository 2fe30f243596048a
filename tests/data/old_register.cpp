#include "old_register.h"

#include <fstream>
#include <string>

#include "data/database.h"
#include "temp_dir.h"

namespace lagrull::test {

void writeOldRegister(const std::filesystem::path& directory, int members) {
    data::TDatabase db;
    db.setPath(directory.string());
    db.connect();
    std::ifstream script(testData() / "datastore" / "old29.sql");
    for (std::string line; std::getline(script, line);)
        if (!line.empty() && line[0] != '#') db.exec(line);
    data::Transaction transaction(db);
    data::Statement add = db.prepare(
        "insert into medlreg (orgnr, medlnr, enavn, fornavn, fdato, nmedlnr) "
        "values (1, ?1, ?2, 'Kari', ?3, ?4)");
    for (int i = 1; i <= members; ++i) {
        add.bindText(1, std::to_string(1000 + i));
        add.bindText(2, "Navn " + std::to_string(i % 997));
        add.bindText(3, "0101" + std::to_string(i % 90 + 10));  // the short form
        add.bind(4, data::Value(static_cast<double>(1000 + i)));
        add.execute();
        add.reset();
    }
    transaction.commit();
}

}  // namespace lagrull::test
