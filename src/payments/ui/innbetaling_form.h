#pragma once
// "Innbetalinger - " + organisation: the claims of a due date or of a
// member, payments registered by hand, claim amounts corrected, claims
// deleted, and the payment report. The window only shows and forwards: the
// rules are TPaymentRegistration's.

#include <functional>
#include <memory>
#include <optional>

#include <QDialog>

#include "payments/payment_registration.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QWidget;

namespace lagrull {

class TPaymentGridModel;

// The two choices of "Rapporter".
enum class ReportTarget { Screen, File };

class TfoInnbetaling : public QDialog {
    Q_OBJECT
public:
    TfoInnbetaling(PaymentContext context, Ui& ui, QWidget* parent = nullptr);
    ~TfoInnbetaling() override;

    TPaymentRegistration& rules() { return *rules_; }

    // "Rapporter": where the report goes; nullopt when cancelled. Tests
    // replace it.
    std::function<std::optional<ReportTarget>()> chooseReportTarget;

    QRadioButton* rbPrForfall;
    QRadioButton* RadioButton1;
    QComboBox* cbForfDato;
    QComboBox* cbBetMaate;
    QComboBox* cbStatus;
    QLineEdit* txTekst;
    QComboBox* cbNavn;
    QLineEdit* txIdnr;
    QLineEdit* txBetMaate;
    QPushButton* btAlleBet;
    QPushButton* btAlleUbet;
    QPushButton* btSlett;
    QTableView* grBetPoster;
    QCheckBox* cbBBSDato;
    QCheckBox* cbKID;
    QCheckBox* cbKontonr;
    QGroupBox* RGSortering;
    QRadioButton* rbNavn;
    QRadioButton* rbNr;
    QLineEdit* EditBelop;
    QLineEdit* EditBetBelop;
    QLineEdit* EditTotal;
    QPushButton* btOK;
    QPushButton* btAvbryt;
    QPushButton* btRapport;

    // The grid and the totals from the rules (after every load and edit).
    void refresh();
    void report();
    void deleteCurrentRow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;  // Esc is "&Avbryt"

private:
    void build();
    void connectAll();
    void guarded(const std::function<void()>& step);
    void switchView(PaymentView view);
    void fillLists();
    void updateColumns();
    void updateTotals();
    void placeTotals();
    void leave();
    void previewReport();

    std::unique_ptr<TPaymentRegistration> rules_;
    Ui& ui_;
    TPaymentGridModel* model_;
    QWidget* datePanel_;
    QWidget* memberPanel_;
    QWidget* totalsPanel_;
    QLabel* laSum_;
    QLabel* laSkyldig_;
    QLabel* laIdnr_;
    bool filling_ = false;  // the lists are being filled: no reloads
};

}  // namespace lagrull
