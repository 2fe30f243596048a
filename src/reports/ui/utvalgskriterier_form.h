#pragma once
// TfoUtvalgskriterier ("Utvalgskriterier"): the criteria window of the bulk
// functions. Everything it decides is in TUtvalgskriterier (its
// Criteria()); the window shows the criteria, writes the controls back
// before "&Neste", and forwards the picking by hand.

#include <QDialog>
#include <array>

#include "reports/selection_steps.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStackedWidget;
class QWidget;

namespace lagrull {

class Ui;
class TDBGrid;
class TMalEdit;

class TfoUtvalgskriterier : public QDialog, public reports::TUtvalgskriterierStep {
    Q_OBJECT
public:
    TfoUtvalgskriterier(data::TOrvDbMng& dbMng, Ui& ui, int registerKind,
                        QWidget* parent = nullptr);

    QLineEdit* edNrFra;
    QLineEdit* edNrTil;
    QLineEdit* edPostnrFra;
    QLineEdit* edPostnrTil;
    QComboBox* cbKategori;
    QComboBox* cbBetalingstype;
    QComboBox* cbRelMedl;
    QComboBox* cbForfDato;
    QLabel* laBetStatus;
    QComboBox* cbBetStatus;
    TMalEdit* edMedlFraDato;
    TMalEdit* edDatoFra;
    TMalEdit* edDatoTil;
    QWidget* pnEkstra;
    std::array<QWidget*, reports::kExtraFieldCount> pnEkstraRow;
    std::array<QLabel*, reports::kExtraFieldCount> laEkstra;
    std::array<QLineEdit*, reports::kExtraFieldCount> edEkstra;
    TDBGrid* grMedlReg = nullptr;  // made by InitSelection, on the member data set
    QListWidget* lbValgtNavn;
    QLabel* laAlle;
    QPushButton* btAdd;
    QPushButton* btDelete;
    QPushButton* btDeleteAll;
    QPushButton* btForrige;
    QPushButton* btNeste;
    QPushButton* btAvbryt;

protected:
    void CriteriaReset() override;
    int Execute() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void next();
    void writeCriteria();
    void showPicks();
    void pick();
    void removeSelected();
    void forfDatoChanged(int index);
    void fitHeight();

    Ui& ui_;
    int registerKind_;
    QWidget* gridHolder_;
    QStackedWidget* pickStack_;
};

// The program's selection steps: the Qt windows above, owned by the wizard.
class TQtSelectionSteps : public reports::TSelectionStepFactory {
public:
    TQtSelectionSteps(Ui& ui, int registerKind, QWidget* parent = nullptr)
        : ui_(ui), registerKind_(registerKind), parent_(parent) {}
    std::unique_ptr<reports::TKravTilHvemStep> CreateKravTilHvem() override;
    std::unique_ptr<reports::TUtvalgskriterierStep> CreateUtvalgskriterier(
        data::TOrvDbMng& dbMng) override;

private:
    Ui& ui_;
    int registerKind_;
    QWidget* parent_;
};

}  // namespace lagrull
