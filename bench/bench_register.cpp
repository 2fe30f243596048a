// The main window on a register of 100,000 members in one organisation:
// switching to the members page until its first rows are painted, scrolling
// the member grid a page at a time, and the search by surname. The register
// is built once, outside the timing, and the window runs offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QScrollBar>
#include <QTabWidget>
#include <cstdlib>
#include <filesystem>

#include "data/data_store.h"
#include "data/database.h"
#include "data/ui/db_grid.h"
#include "quiet_ui.h"
#include "register/ui/main_form.h"
#include "services/postnr.h"

namespace {

namespace fs = std::filesystem;
using namespace lagrull;
using namespace lagrull::data;

constexpr int kMembers = 100000;

struct BigRegister {
    bench::QuietUi ui;
    fs::path dir;
    std::unique_ptr<TPostNr> postal;
    std::unique_ptr<DataStore> store;
    std::unique_ptr<TMainForm> form;

    BigRegister() : dir(fs::temp_directory_path() / "lagrull-bench-register") {
        fs::remove_all(dir);
        fs::create_directories(dir);
        postal = std::make_unique<TPostNr>(dir.string());
        store = std::make_unique<DataStore>(ui, (dir / "lagrul.ini").string(), dir.string());
        TMainFormLogic::prepareTables(store->tables());
        store->start();
        {
            TDatabase& db = store->dbLocal();
            Transaction t(db);
            db.exec("INSERT INTO ORGREG (ORGNR, ORGNAVN) VALUES (1, 'Storlaget')");
            Statement s = db.prepare(
                "INSERT INTO MEDLREG (ORGNR, MEDLNR, NMEDLNR, FORNAVN, ENAVN, POSTNR, BETALING) "
                "VALUES (1, ?1, ?2, ?3, ?4, '0150', 2)");
            for (int i = 1; i <= kMembers; ++i) {
                s.bind(1, Value(std::to_string(i)));
                s.bind(2, Value(double(i)));
                s.bind(3, Value("Fornavn" + std::to_string(i % 977)));
                s.bind(4, Value("Etternavn" + std::to_string((i * 7919) % 50000)));
                s.step();
                s.reset();
            }
            t.commit();
        }
        store->tables().OrgTable.refresh();
        form = std::make_unique<TMainForm>(*store, ui, *postal);
        form->show();
        QCoreApplication::processEvents();
    }
    ~BigRegister() {
        form.reset();
        store.reset();
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

BigRegister& bigRegister() {
    static BigRegister r;
    return r;
}

void BM_MembersPageFirstRows(benchmark::State& state) {
    BigRegister& r = bigRegister();
    for (auto _ : state) {
        state.PauseTiming();
        r.form->PageControl->setCurrentIndex(0);
        QCoreApplication::processEvents();
        // A new organisation row makes the member list load anew, as a
        // user's click on another organisation does.
        r.store->tables().MedlTable.refresh();
        state.ResumeTiming();
        r.form->PageControl->setCurrentIndex(1);
        r.form->grMedl->viewport()->repaint();
    }
}
BENCHMARK(BM_MembersPageFirstRows)->Unit(benchmark::kMillisecond);

void BM_ScrollMemberGrid(benchmark::State& state) {
    BigRegister& r = bigRegister();
    r.form->PageControl->setCurrentIndex(1);
    QScrollBar* bar = r.form->grMedl->verticalScrollBar();
    int value = 0;
    for (auto _ : state) {
        value = (value + bar->pageStep()) % bar->maximum();
        bar->setValue(value);
        r.form->grMedl->viewport()->repaint();
    }
}
BENCHMARK(BM_ScrollMemberGrid)->Unit(benchmark::kMicrosecond);

void BM_SurnameSearch(benchmark::State& state) {
    BigRegister& r = bigRegister();
    r.form->PageControl->setCurrentIndex(1);
    int i = 0;
    for (auto _ : state) {
        r.ui.inputs = {"Etternavn" + std::to_string((i++ * 104729) % 50000)};
        r.form->logic().search(1);
    }
}
BENCHMARK(BM_SurnameSearch)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
