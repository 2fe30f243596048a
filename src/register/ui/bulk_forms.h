#pragma once
// The windows of the member register's bulk functions: the relation step
// of the standard-list wizard (TfoRelasjoner), the member relation dialog
// (TfoRelasjon) and the copy/delete step (TfoStartKopier). Each shows the
// state its logic class holds and hands the user's entries back to it.

#include <QDialog>
#include <memory>

#include "common/settings_keys.h"
#include "register/kopier.h"
#include "register/relation_dialog.h"
#include "register/relations.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace lagrull {

// Help topics of these windows.
inline constexpr int kHelpSletting = 26;
inline constexpr int kHelpKopiering = 31;
inline constexpr int kHelpRelasjoner = 32;
inline constexpr int kHelpRelasjon = 33;

// An amount as the user types it ("1.234,50"); 0 when empty.
double typedAmount(const QString& text);
QString amountForEdit(double amount);

class TfoRelasjoner : public QDialog, public TRelasjonerStep {
    Q_OBJECT
public:
    TfoRelasjoner(RegisterKind registerKind, QWidget* parent = nullptr);
    int ShowModal() override;

    QLineEdit* edNavn;
    QLineEdit* edBeskrivelse;
    QLineEdit* edBelop;
    QLabel* laBeskrivelse;
    QLabel* laBelop;
    QPushButton* btForrige;
    QPushButton* btNeste;
    QPushButton* btAvbryt;

protected:
    void SetupChanged() override;
};

class TfoRelasjon : public QDialog {
    Q_OBJECT
public:
    TfoRelasjon(TRelasjonDialog& logic, RegisterKind registerKind, QWidget* parent = nullptr);

    QComboBox* cbRelasjon;
    QLabel* laHint;
    QPlainTextEdit* edTekst;
    QLineEdit* edBelop;
    QPushButton* btOk;
    QPushButton* btAvbryt;

    void done(int result) override;

private:
    void showLogic();
    TRelasjonDialog& logic_;
};

class TfoStartKopier : public QDialog, public TStartKopierStep {
    Q_OBJECT
public:
    TfoStartKopier(TKopierMode mode, RegisterKind registerKind, QWidget* parent = nullptr);
    int ShowModal() override;

    QLabel* laFraOrg;
    QGroupBox* gbTil;
    QComboBox* cbOrganisasjon;
    QComboBox* cbKategori;
    QComboBox* cbBetaling;
    QPushButton* btForrige;
    QPushButton* btNeste;
    QPushButton* btAvbryt;

protected:
    void SetupChanged() override;
    void CategoriesChanged() override;
};

}  // namespace lagrull
