#include "reports/member_selection.h"

namespace lagrull::reports {

TMedlemsutvalg::TMedlemsutvalg(TSelectionStepFactory& factory, data::TOrvDbMng& dbMng,
                               data::TOrvTable& organisations, data::TOrvTable& members) {
    wizard_.SetStep(1, CriteriaStep(factory, dbMng, organisations, members));
}

bool TMedlemsutvalg::Execute() { return wizard_.Run(*this, this); }

TUtvalgskriterierStep* TMedlemsutvalg::CriteriaWindow() const {
    return wizard_.Window<TUtvalgskriterierStep>(1);
}

const TStringList& TMedlemsutvalg::SelectItems() {
    select_ = {"m.medlnr,m.enavn,m.fornavn"};
    return select_;
}

const TStringList& TMedlemsutvalg::FromItems() {
    from_ = {"medlreg m"};
    return from_;
}

const TStringList& TMedlemsutvalg::WhereItems() {
    where_.clear();
    return where_;
}

const TQueryParamList& TMedlemsutvalg::ParamItems() {
    params_.Clear();
    return params_;
}

const TStringList& TMedlemsutvalg::OrderByItems() {
    orderBy_ = {"m.enavn,m.fornavn,m.medlnr"};
    return orderBy_;
}

}  // namespace lagrull::reports
