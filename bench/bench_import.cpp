// The member import of a UTF-8 file of 100,000 members with 20 columns, the
// postal places looked up, staged and moved into an organisation that holds
// half of the numbers already. It runs beside its naive baseline: the file
// read line by line with a query object per staged row, per member and per
// postal look-up, in the same one transaction; the ratio is naive / import.
// The process's peak resident memory is reported as peak_mb.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "data/data_store.h"
#include "data/field_access.h"
#include "data/orv_query.h"
#include "import_form.h"
#include "quiet_ui.h"
#include "services/import_form_logic.h"
#include "services/member_import.h"
#include "services/postnr.h"

namespace {

namespace fs = std::filesystem;
using namespace lagrull;
using namespace lagrull::data;

constexpr int kMembers = 100000;
constexpr const char* kPostalNumbers[] = {"0150", "5003", "7030", "9008", "4006",
                                          "2615", "1360", "3015", "6800", "8006"};

struct Register {
    bench::QuietUi ui;
    fs::path dir = fs::temp_directory_path() / "lagrull-bench-import";
    std::string file = (dir / "medlemmer.csv").string();
    std::unique_ptr<DataStore> store;
    TPostNr postal{LAGRULL_POSTNR_DIR};

    Register() {
        fs::remove_all(dir);
        fs::create_directories(dir);
        store = std::make_unique<DataStore>(ui, (dir / "lagrul.ini").string(), dir.string());
        store->start();
        writeFile();
    }
    ~Register() {
        store.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    TDatabase& db() { return store->dbLocal(); }

    void writeFile() const {
        std::ofstream out(file, std::ios::binary);
        out << "Medlnr;Fornavn;Etternavn;Adresse;Adresse2;Postnr;Telefon;Bankkonto;Fødselsdato;"
               "Kategori;Tekst;Beløp;Adresse3;E-post;Ekstra1;Ekstra2;Ekstra3;Ekstra4;Ekstra5;"
               "Ekstra6\n";
        for (int i = 1; i <= kMembers; ++i)
            out << i << ";Bjørn" << i % 977 << ";Ødegård" << (i * 7919) % 50000 << ";\"Storgata "
                << i % 200 << "; 2. etg\";;" << kPostalNumbers[i % 10] << ";22 33 44 55;"
                << "1234.56.78903;01.02.1970;Senior;Merknad om medlemmet;1 234,50;;m" << i
                << "@example.no;Ski;Fotball;;Styret;;Æ\n";
    }

    // Organisation 1 with the even numbers; staging empty.
    void reset() {
        Transaction t(db());
        db().exec("DELETE FROM MEDLREG; DELETE FROM COPYTAB; DELETE FROM ORGREG");
        db().exec("INSERT INTO ORGREG (ORGNR, ORGNAVN) VALUES (1, 'Storlaget')");
        Statement s = db().prepare(
            "INSERT INTO MEDLREG (ORGNR, MEDLNR, NMEDLNR, ENAVN) VALUES (1, ?1, ?2, 'Gammel')");
        for (int i = 2; i <= kMembers; i += 2) {
            s.bind(1, Value(std::to_string(i)));
            s.bind(2, Value(double(i)));
            s.step();
            s.reset();
        }
        t.commit();
        store->tables().OrgTable.refresh();
        store->tables().OrgTable.first();
    }
};

double seconds(const std::function<void()>& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The same work with the plainest tools: a query object per statement.
void naiveImport(Register& r) {
    constexpr const char* kFields[] = {"MEDLNR",  "FORNAVN", "ENAVN",     "ADRESSE", "ADRESSE2",
                                       "POSTNR",  "TELEFON", "BANKKONTO", "FDATO",   "KATEGORI",
                                       "TEKST",   "BELOP",   "ADRESSE3",  "EMAIL",   "EKSTRA1",
                                       "EKSTRA2", "EKSTRA3", "EKSTRA4",   "EKSTRA5", "EKSTRA6"};
    Transaction t(r.db());
    std::ifstream in(r.file, std::ios::binary);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::vector<std::string> values;
        std::stringstream split(line);
        for (std::string v; std::getline(split, v, ';');) values.push_back(v);
        TOrvQuery find(r.db());
        find.setSql("select medlnr from copytab where medlnr = :medlnr");
        find.setParamText("medlnr", values[0]);
        find.open();
        std::string names, params;
        TOrvQuery insert(r.db());
        for (std::size_t i = 0; i < values.size() && i < std::size(kFields); ++i) {
            names += std::string(i ? ", " : "") + kFields[i];
            params += std::string(i ? ", :" : ":") + kFields[i];
        }
        std::string sql = "insert into copytab (";
        sql.append(names).append(") values (").append(params).append(")");
        insert.setSql(sql);
        for (std::size_t i = 0; i < values.size() && i < std::size(kFields); ++i)
            insert.setParamText(kFields[i],
                                kFields[i] == std::string("BELOP") ? "1234" : values[i]);
        insert.execSQL();
    }
    TOrvQuery staged(r.db());
    staged.setSql("select * from copytab");
    staged.open();
    for (; !staged.eof(); staged.next()) {
        TOrvQuery drop(r.db());
        drop.setSql("delete from medlreg where orgnr = 1 and medlnr = :medlnr");
        drop.setParamText("medlnr", FieldText(staged, "MEDLNR"));
        drop.execSQL();
        TOrvQuery add(r.db());
        add.setSql(
            "insert into medlreg (orgnr, medlnr, nmedlnr, enavn, poststed, betaling) values "
            "(1, :medlnr, :nmedlnr, :enavn, :poststed, 2)");
        add.setParamText("medlnr", FieldText(staged, "MEDLNR"));
        add.setParam("nmedlnr", Value(FieldFloat(staged, "MEDLNR")));
        add.setParamText("enavn", FieldText(staged, "ENAVN"));
        add.setParamText("poststed", r.postal.lookUpPlace(FieldText(staged, "POSTNR")));
        add.execSQL();
    }
    r.db().exec("DELETE FROM COPYTAB");
    t.commit();
}

void BM_Import100000Members(benchmark::State& state) {
    static Register r;
    double import = 0, naive = 0;
    for (auto _ : state) {
        state.PauseTiming();
        r.reset();
        state.ResumeTiming();
        import = seconds([&] {
            TMemberImport run(r.ui, r.store->tables(), r.postal);
        test::OkForm form(r.file);
        if (!run.Execute(form) || run.Transferred().members != kMembers)
            state.SkipWithError("the import did not take every member");
    });
    state.PauseTiming();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_mb"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    r.reset();
    naive = seconds([&] { naiveImport(r); });
    state.ResumeTiming();
}
state.counters["import_s"] = import;
state.counters["naive_s"] = naive;
state.counters["naive_over_import"] = naive / import;
}  // namespace
BENCHMARK(BM_Import100000Members)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace
