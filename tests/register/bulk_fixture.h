#pragma once
// The demo register with fake wizard windows for the member register's
// bulk functions: relations, copying and deleting. Each fake takes the
// answers a test gives it and goes on.

#include <deque>

#include "../reports/selection_fixture.h"
#include "register/kopier.h"
#include "register/relations.h"

namespace lagrull::test {

// A who-step that answers with the given choice and results ("&Neste" once
// the list is used up).
class ScriptedWho : public reports::TKravTilHvemStep {
public:
    ScriptedWho(int choice, std::deque<int>* results) : choice_(choice), results_(results) {}
    int ShowModal() override {
        SetChoice(choice_);
        if (results_->empty()) return reports::kStepNext;
        const int r = results_->front();
        results_->pop_front();
        return r;
    }

private:
    int choice_;
    std::deque<int>* results_;
};

class BulkSteps : public ScriptedSteps {
public:
    int choice = 0;
    std::deque<int> whoResults;
    std::unique_ptr<reports::TKravTilHvemStep> CreateKravTilHvem() override {
        return std::make_unique<ScriptedWho>(choice, &whoResults);
    }
};

class ScriptedRelasjoner : public TRelasjonerStep {
public:
    explicit ScriptedRelasjoner(std::function<int(TRelasjonerStep&)> answer)
        : answer_(std::move(answer)) {}
    int ShowModal() override { return answer_(*this); }

private:
    std::function<int(TRelasjonerStep&)> answer_;
};

class ScriptedStartKopier : public TStartKopierStep {
public:
    explicit ScriptedStartKopier(std::function<int(TStartKopierStep&)> answer)
        : answer_(std::move(answer)) {}
    int ShowModal() override { return answer_(*this); }

private:
    std::function<int(TStartKopierStep&)> answer_;
};

// The register in a directory as the main window prepares it for a bulk
// function: the tables opened and linked, the first organisation current.
struct BulkRegister {
    BulkRegister(Ui& ui, const std::string& directory) : store(ui, "", directory) {
        TMainFormLogic::prepareTables(store.tables());
        store.start();
        TMainFormLogic::linkTables(store.tables());
        store.tables().OrgTable.first();
    }
    data::RegisterTables& tables() { return store.tables(); }
    data::DataStore store;
};

class BulkTest : public SelectionTest {
protected:
    std::int64_t count(const std::string& sql, const std::vector<data::Value>& values = {}) {
        data::TOrvQuery q(db());
        q.setSql(sql);
        for (std::size_t i = 0; i < values.size(); ++i)
            q.setParam("p" + std::to_string(i), values[i]);
        q.open();
        return data::FieldInt(q, q.field(0).name);
    }
    std::int64_t members(std::int64_t org) {
        return count("select count(*) from medlreg where orgnr = :p0", {data::Value(org)});
    }
    // Moves the organisation table to the organisation.
    void chooseOrg(std::int64_t org) {
        data::TOrvTable& t = tables().OrgTable;
        for (t.first(); !t.eof(); t.next())
            if (data::FieldInt(t, "ORGNR") == org) return;
        FAIL() << "no organisation " << org;
    }

    BulkSteps steps;
};

}  // namespace lagrull::test
