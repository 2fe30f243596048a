#pragma once
// TMedlemsutvalg: the plainest bulk function, the selection alone: one step,
// the criteria window, and a query for the members it selects (member
// number, surname, first name, by name). lagrul-cli utvalg runs it, and the
// tests check the criteria through it.

#include "reports/selection_steps.h"

namespace lagrull::reports {

class TMedlemsutvalg : public TQueryBuilder, private TSelectionContributor {
public:
    TMedlemsutvalg(TSelectionStepFactory& factory, data::TOrvDbMng& dbMng,
                   data::TOrvTable& organisations, data::TOrvTable& members);

    // Runs the wizard; true when the selection was confirmed and the query
    // built.
    bool Execute();
    TUtvalgskriterierStep* CriteriaWindow() const;

private:
    const TStringList& SelectItems() override;
    const TStringList& FromItems() override;
    const TStringList& WhereItems() override;
    const TQueryParamList& ParamItems() override;
    const TStringList& OrderByItems() override;

    TWizard wizard_{1, 1};
    TStringList select_, from_, where_, orderBy_;
    TQueryParamList params_;
};

}  // namespace lagrull::reports
