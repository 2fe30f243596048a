// The clearing windows offscreen on a small demo register: the import report
// filled by a real import and printed as PDF, the AvtaleGiro window in both
// modes, and the OCR file report with its sorting.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

#include <cstdio>
#include <fstream>
#include <memory>

#include "clearing/medl_liste.h"
#include "clearing/ui/avtalegiro_form.h"
#include "clearing/ui/bbs_data_form.h"
#include "clearing/ui/bbs_rapport_form.h"
#include "clearing/ui/ocr_menu.h"
#include "data/data_store.h"
#include "data/database.h"
#include "demo_store.h"
#include "ocr_file.h"
#include "scripted_ui.h"
#include "temp_dir.h"
#include "template/grid/ui/grid_print.h"

using namespace lagrull;
using namespace lagrull::clearing;

namespace {

std::string shell(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

QString cellText(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

void screenshot(QWidget& w, const QString& name) {
    const QString shots = qEnvironmentVariable("LAGRULL_SCREENSHOTS");
    if (shots.isEmpty()) return;
    QDir().mkpath(shots);
    w.grab().save(shots + "/" + name);
}

}  // namespace

class OcrFormsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::ScriptedUi> ui;
    std::unique_ptr<data::DataStore> store;

    data::TDatabase& db() { return store->dbLocal(); }
    std::string text(const std::string& sql) {
        data::Statement s = db().prepare(sql);
        return s.step() ? s.columnText(0) : std::string("<ingen rad>");
    }
    // The KIDs of the first claims of the spring due date.
    std::vector<std::string> kids(int count, const std::string& where = "1 = 1") {
        data::Statement s =
            db().prepare("SELECT KID FROM MBETREG WHERE KID <> '' AND DATO = '15032026' AND " +
                         where + " ORDER BY ORGNR, MEDLNR LIMIT " + std::to_string(count));
        std::vector<std::string> out;
        while (s.step()) out.push_back(s.columnText(0));
        return out;
    }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        demo::DemoOptions options;
        options.members = 40;
        options.claims = true;
        test::makeDemoStore(dir->path(), options);
        ui = std::make_unique<test::ScriptedUi>();
        store = std::make_unique<data::DataStore>(*ui, "", dir->str());
        store->start();
    }
    void cleanup() {
        for (QWidget* w : QApplication::topLevelWidgets()) delete w;
        store.reset();
        ui.reset();
        dir.reset();
    }

    void importFillsTheReportWindowAndPrintsAsPdf() {
        const auto k = kids(3, "BETFLAG <> 'X'");
        QCOMPARE(k.size(), std::size_t(3));
        const std::string belop = text("SELECT BELOP FROM MBETREG WHERE KID = '" + k[0] + "'");
        const std::int64_t full = std::llround(std::stod(belop) * 100);
        test::OcrFile file;
        file.payment(k[0], full, "180326")
            .payment(k[1], full / 2, "180326")
            .payment("0990000000099921015201", 5000, "180326")
            .payment(k[2], 0, "180326");
        const auto path = dir->path() / "ocr.txt";
        std::ofstream(path, std::ios::binary) << file.text();
        ui->files.push_back(path.string());
        ui->answers.push_back(Answer::Yes);
        OCRAvtaleGiro1Click(nullptr, *ui, db(), RegisterKind::Members);

        TFormBBSRapport* form = nullptr;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* f = qobject_cast<TFormBBSRapport*>(w)) form = f;
        QVERIFY(form);
        QVERIFY(form->isVisible());
        QVERIFY(!form->isModal());
        QCOMPARE(form->windowTitle(), QString("BBS returfil import"));
        QTableWidget* g = form->grRapport;
        QCOMPARE(g->rowCount(), 5);  // four lines and the empty last row
        QCOMPARE(g->columnWidth(0), 226);
        QCOMPARE(g->horizontalHeaderItem(2)->text(), QString("KID ved innbetaling / Melding"));
        QCOMPARE(cellText(g, 0, 2), QString::fromStdString(k[0]));
        QCOMPARE(cellText(g, 0, 3), QString("15.03.2026"));
        QCOMPARE(cellText(g, 2, 1), QString("Feil: Ukjent organisasjon!!"));
        QCOMPARE(cellText(g, 2, 3), QString());
        QCOMPARE(cellText(g, 3, 5), QString());  // 0 kroner: only who and KID
        QCOMPARE(text("SELECT BETFLAG FROM MBETREG WHERE KID = '" + k[0] + "'"), std::string("X"));
        QCOMPARE(text("SELECT BETFLAG FROM MBETREG WHERE KID = '" + k[1] + "'"), std::string(""));
        screenshot(*form, "bbs_rapport.png");

        // a second import opens a second window
        ui->files.push_back(path.string());
        ui->answers.push_back(Answer::Yes);
        OCRAvtaleGiro1Click(nullptr, *ui, db(), RegisterKind::Members);
        int reports = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<TFormBBSRapport*>(w) && w->isVisible()) ++reports;
        QCOMPARE(reports, 2);

        const std::string pdf = (dir->path() / "rapport.pdf").string();
        QCOMPARE(grid::SaveGridPdf("BBS rapport", *g, true, pdf), 1);
        if (!shell("command -v pdftotext").empty()) {
            const std::string words = shell("pdftotext -layout '" + pdf + "' -");
            for (const char* expected : {"BBS rapport", "Medlem av", "Side 1", "15.03.2026"})
                QVERIFY2(words.find(expected) != std::string::npos, expected);
        }
        const QString shots = qEnvironmentVariable("LAGRULL_SCREENSHOTS");
        if (!shots.isEmpty() && !shell("command -v pdftoppm").empty())
            shell("pdftoppm -r 60 -png -singlefile '" + pdf + "' '" + shots.toStdString() +
                  "/bbs_rapport_pdf'");
    }

    void avtaleGiroWindowInBothModes() {
        data::Statement s = db().prepare("SELECT ORGNR FROM ORGREG ORDER BY ORGNR");
        QVERIFY(s.step());
        const std::int64_t org = s.columnInt(0);
        s.reset();
        const Date due{2026, 3, 15};
        const std::string settings = (dir->path() / "lagrul.ini").string();
        std::ofstream(settings) << "[Setup]\r\nKundeenhetsID=12345678\r\nKontonr=98765432109\r\n";

        auto liste = hentAvtaleGiroListe(*ui, db(), org, due);
        QVERIFY(liste);
        TfoAvtaleGiro krav(*ui, db(), org, due, AvtaleGiroModus::Krav, settings, *liste,
                           RegisterKind::Members);
        krav.show();
        QCOMPARE(krav.windowTitle(), QString("Avtalegiro"));
        QCOMPARE(krav.edAntall->text(), QString::number(liste->Antall()));
        QVERIFY(krav.grBetalingsposter->isColumnHidden(kSlettes));
        QVERIFY(!krav.grBetalingsposter->isColumnHidden(kEgetVarsel));
        QVERIFY(!krav.btSletteanmodning->isVisible());
        screenshot(krav, "avtalegiro.png");
        // a wrong name keeps the dialog open; then the right one
        const std::string file = (dir->path() / "dirdeb.bbs").string();
        ui->files.push_back((dir->path() / "krav.bbs").string());
        ui->files.push_back(file);
        krav.btSendLagre->click();
        QVERIFY(std::filesystem::exists(file));
        QCOMPARE(QString::fromStdString(ui->messages.at(0).text),
                 QString("BBS-fil må ha navn dirdeb.bbs!"));
        QVERIFY(ui->messages.back().text.rfind("Forsendelsesnr er ", 0) == 0);

        TfoAvtaleGiro sletting(*ui, db(), org, due, AvtaleGiroModus::Sletting, settings, *liste,
                               RegisterKind::Members);
        QCOMPARE(sletting.windowTitle(), QString("Sletteposter"));
        ui->files.push_back((dir->path() / "sletting.bbs").string());
        sletting.btSletteanmodning->click();
        QCOMPARE(QString::fromStdString(ui->messages.back().text),
                 QString("Ingen betalingsposter er merket for sletting"));
        sletting.btSlettAlle->click();
        QCOMPARE(cellText(sletting.grBetalingsposter, 0, kSlettes), QString("1"));
        ui->files.push_back((dir->path() / "sletting.bbs").string());
        sletting.btSletteanmodning->click();
        QVERIFY(std::filesystem::exists(dir->path() / "sletting.bbs"));
        QCOMPARE(text("SELECT SLETTEFLAG FROM MBETREG WHERE KID = '" + liste->poster[0].kid + "'"),
                 std::string("1"));
    }

    void fileReportTabsAndSorting() {
        const auto k = kids(3);
        test::OcrFile file;
        file.payment(k[2], 10090, "200326").payment(k[0], 10010, "180326");
        file.payment(k[1], 5000, "190326").agreement('1', k[0], 'J');
        const auto path = dir->path() / "ocr.txt";
        std::ofstream(path, std::ios::binary) << file.text();
        TBBSReturAlle reader(*ui, dir->path());
        reader.LoadFromFile(path);
        TFormBBSData form(*ui, fyllBBSData(reader, TMedlListe(db())), RegisterKind::Members);
        form.show();
        QCOMPARE(form.windowTitle(), QString::fromUtf8("Returdata frå BBS"));
        QCOMPARE(form.pages->currentIndex(), 0);
        QCOMPARE(form.grInnbet->rowCount(), 3);
        QCOMPARE(form.grAvtaleEndring->rowCount(), 1);
        QCOMPARE(cellText(form.grAvtaleEndring, 0, 3), QString("Ny"));
        QCOMPARE(form.grAvtaleStatus->rowCount(), 1);  // one empty row
        QCOMPARE(cellText(form.grAvtaleStatus, 0, 0), QString());
        form.sortInnbetalt(InnbetaltKolonne::BetaltDato);
        QCOMPARE(cellText(form.grInnbet, 0, 4), QString("18.03.2026"));
        screenshot(form, "bbs_data.png");
    }
};

QTEST_MAIN(OcrFormsTest)
#include "ocr_forms_test.moc"
