// The payment window driven as the user drives it: the edge cases of
// payment registration once through the widgets, offscreen.
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

#include "claim_fixture.h"
#include "payments/ui/innbetaling_form.h"
#include "scripted_ui.h"
#include "temp_dir.h"

using namespace lagrull;
using namespace lagrull::test;

namespace {

struct World {
    TempDir dir;
    ScriptedUi ui;
    ClaimRegister reg{ui, dir.str()};
    World() {
        reg.member("1", "Aas", "Kari");
        reg.member("2", "Berg", "Ola");
        reg.member("10", "Dahl", "Siv");
        reg.member("4", "Eik", "Siri");
        reg.claim({"1", "01032026", 300});
        reg.claim({"2", "01032026", 300});
        reg.claim({"10", "01032026", 150, 3, "X", 150, "28022026"});
        reg.claim({"4", "01032026", 1000, 1, "", 0, "", 2});
        reg.claim({"1", "01092025", 250});
    }
    std::string stored(const std::string& medlnr, const std::string& dato,
                       const std::string& field) {
        data::TOrvQuery q(reg.db());
        q.setSql("select " + field + " from mbetreg where medlnr = '" + medlnr + "' and dato = '" +
                 dato + "'");
        q.open();
        return q.eof() ? "(borte)" : data::valueToText(q.field(0), q.value(0));
    }
};

QString cell(TfoInnbetaling& form, int row, PaymentColumn column, int role = Qt::DisplayRole) {
    return form.grBetPoster->model()->index(row, int(column)).data(role).toString();
}

QColor restColour(TfoInnbetaling& form, int row) {
    return form.grBetPoster->model()
        ->index(row, int(PaymentColumn::Rest))
        .data(Qt::ForegroundRole)
        .value<QBrush>()
        .color();
}

int checkState(TfoInnbetaling& form, int row) {
    return form.grBetPoster->model()
        ->index(row, int(PaymentColumn::Betalt))
        .data(Qt::CheckStateRole)
        .toInt();
}

void edit(TfoInnbetaling& form, int row, PaymentColumn column, const QVariant& value,
          int role = Qt::EditRole) {
    QAbstractItemModel* m = form.grBetPoster->model();
    QVERIFY(m->setData(m->index(row, int(column)), value, role));
}

void saveScreenshot(QWidget& w, const QString& name) {
    const QString dir = qEnvironmentVariable("LAGRULL_SCREENSHOTS");
    if (dir.isEmpty()) return;
    QDir().mkpath(dir);
    w.grab().save(dir + "/" + name);
}

}  // namespace

class InnbetalingFormTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void editsColoursAndTotals() {
        World w;
        TfoInnbetaling form(w.reg.context(), w.ui);
        form.show();
        QCOMPARE(form.windowTitle(), QStringLiteral("Innbetalinger - Idrettslaget Ørn"));
        QCOMPARE(form.grBetPoster->model()->rowCount(), 4);
        QVERIFY(form.grBetPoster->isColumnHidden(int(PaymentColumn::ForfDato)));
        QVERIFY(!form.grBetPoster->isColumnHidden(int(PaymentColumn::Navn)));
        QVERIFY(!form.btOK->isEnabled());
        // The claim with a deletion request stays out of the loaded totals.
        QCOMPARE(form.EditBelop->text(), QStringLiteral("750,00"));

        edit(form, 0, PaymentColumn::Innbetalt, "200");  // Aas: 300 claimed
        QCOMPARE(cell(form, 0, PaymentColumn::Rest), QStringLiteral("100,00"));
        QCOMPARE(restColour(form, 0), QColor(Qt::red));
        QCOMPARE(checkState(form, 0), int(Qt::Unchecked));
        QVERIFY(form.btOK->isEnabled());
        // Counted once edited: 750 + 1000.
        QCOMPARE(form.EditBelop->text(), QStringLiteral("1.750,00"));

        edit(form, 1, PaymentColumn::Innbetalt, "350");  // Berg: 300 claimed
        QCOMPARE(cell(form, 1, PaymentColumn::Rest), QStringLiteral("-50,00"));
        QCOMPARE(restColour(form, 1), QColor(Qt::blue));
        QCOMPARE(checkState(form, 1), int(Qt::Checked));
        saveScreenshot(form, "innbetaling.png");

        form.btOK->click();
        QCOMPARE(w.stored("1", "01032026", "differansebelop"), std::string("100"));
        QCOMPARE(w.stored("2", "01032026", "betflag"), std::string("X"));
        QVERIFY(!form.btOK->isEnabled());

        // An amount that is none is refused with a message.
        QAbstractItemModel* m = form.grBetPoster->model();
        QVERIFY(!m->setData(m->index(0, int(PaymentColumn::Innbetalt)), "tolv"));
        QCOMPARE(w.ui.messages.back().caption, std::string("Feil!"));
    }

    void tickingBetaltAndTheSaveQuestionOnAFilterChange() {
        World w;
        TfoInnbetaling form(w.reg.context(), w.ui);
        edit(form, 0, PaymentColumn::Betalt, Qt::Checked, Qt::CheckStateRole);
        QCOMPARE(cell(form, 0, PaymentColumn::Innbetalt), QStringLiteral("300,00"));
        QCOMPARE(cell(form, 0, PaymentColumn::Rest), QString());
        w.ui.answers = {Answer::Yes};
        form.cbBetMaate->setCurrentIndex(form.cbBetMaate->findText("Giro"));
        QCOMPARE(w.ui.messages.size(), std::size_t(1));
        QCOMPARE(w.ui.messages[0].text, std::string("Lagre endringer?"));
        QCOMPARE(w.stored("1", "01032026", "betflag"), std::string("X"));
        QCOMPARE(w.stored("1", "01032026", "differansebelop"), std::string("0"));
        QCOMPARE(form.grBetPoster->model()->rowCount(), 2);  // the giro claims
    }

    void slettAlleWithTheStatusFilter() {
        World w;
        TfoInnbetaling form(w.reg.context(), w.ui);
        form.cbStatus->setCurrentIndex(form.cbStatus->findText("Ikke betalt"));
        QCOMPARE(form.grBetPoster->model()->rowCount(), 3);
        w.ui.answers = {Answer::Yes};
        form.btSlett->click();
        QCOMPARE(w.ui.messages.back().text,
                 std::string("Skal betalingspostene slettes (3 poster)?"));
        QCOMPARE(w.stored("10", "01032026", "belop"), std::string("150"));  // paid: kept
        QCOMPARE(w.stored("1", "01032026", "belop"), std::string("(borte)"));
        QVERIFY(!form.grBetPoster->isEnabled());  // nothing left: an empty grid
        QCOMPARE(form.EditBelop->text(), QStringLiteral("0,00"));
    }

    void memberViewCtrlDeleteAndNrOrder() {
        World w;
        TfoInnbetaling form(w.reg.context(), w.ui);
        form.show();
        form.rbNr->setChecked(true);
        QCOMPARE(cell(form, 2, PaymentColumn::MedlNr), QStringLiteral("4"));
        QCOMPARE(cell(form, 3, PaymentColumn::MedlNr), QStringLiteral("10"));

        form.RadioButton1->setChecked(true);
        QVERIFY(!form.RGSortering->isVisible());
        QCOMPARE(form.cbNavn->currentText(), QStringLiteral("Aas, Kari"));
        QCOMPARE(form.grBetPoster->model()->rowCount(), 2);
        QVERIFY(form.grBetPoster->isColumnHidden(int(PaymentColumn::MedlNr)));
        form.grBetPoster->setFocus();
        form.grBetPoster->setCurrentIndex(
            form.grBetPoster->model()->index(0, int(PaymentColumn::Kravbelop)));
        w.ui.answers = {Answer::Yes};
        QTest::keyClick(form.grBetPoster, Qt::Key_Delete, Qt::ControlModifier);
        QVERIFY(!w.ui.messages.empty());
        QCOMPARE(w.ui.messages.back().text,
                 std::string("Vil du slette forf.dato 01.09.2025 (kr 250,00) ? "));
        QCOMPARE(w.stored("1", "01092025", "belop"), std::string("(borte)"));
        QCOMPARE(form.grBetPoster->model()->rowCount(), 1);
    }

    void quickSearchAndReportToFile() {
        World w;
        TfoInnbetaling form(w.reg.context(), w.ui);
        form.show();
        form.grBetPoster->setFocus();
        form.grBetPoster->setCurrentIndex(
            form.grBetPoster->model()->index(0, int(PaymentColumn::Navn)));
        QTest::keyClicks(form.grBetPoster, "da");
        QCOMPARE(form.grBetPoster->currentIndex().row(), 2);
        QCOMPARE(form.rules().searchText(), std::string("da"));
        QTest::keyClick(form.grBetPoster, Qt::Key_Down);
        QCOMPARE(form.rules().searchText(), std::string());

        form.chooseReportTarget = [] { return std::optional<ReportTarget>(ReportTarget::File); };
        w.ui.files = {w.dir.str() + "/innbetalinger.txt"};
        form.btRapport->click();
        const std::string text = w.dir.read("innbetalinger.txt");
        QVERIFY(text.rfind("Medl.nr\tNavn\tKravbeløp\tInnbetalt\tRest\tBetalt\r\n", 0) == 0);
        QVERIFY(text.find("10\tDahl, Siv\t150,00\t150,00\t\tX\r\n") != std::string::npos);
    }

    void leavingAsksAboutEdits() {
        World w;
        TfoInnbetaling form(w.reg.context(), w.ui);
        form.show();
        edit(form, 0, PaymentColumn::Kravbelop, "310");
        w.ui.answers = {Answer::No};
        form.btAvbryt->click();
        QCOMPARE(w.ui.texts(), std::vector<std::string>{"Lagre endringer?"});
        QVERIFY(!form.isVisible());
        QCOMPARE(w.stored("1", "01032026", "belop"), std::string("300"));
    }
};

QTEST_MAIN(InnbetalingFormTest)
#include "innbetaling_form_test.moc"
